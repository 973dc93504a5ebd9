#include "text/EditorStrings.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "platform/FileIo.h"

namespace ze {

TRowCol RowColAtOffset(const TEditorScreenStrings& rows, int firstRow, long long offset,
                       const TColumnSettings& cs) {
  int r = std::max(firstRow, 0);
  for (; r < rows.Count(); ++r) {
    const ByteString& text = rows.Ref(r);
    TRowEnd end = rows.RowAttribute(r);
    long long span = static_cast<long long>(text.size()) +
                     (end == reLineBreak ? 2 : end == reEndOfText ? 1 : 0);
    if (offset < span || end == reEndOfText) {
      size_t bytes = static_cast<size_t>(std::clamp<long long>(offset, 0, static_cast<long long>(text.size())));
      int col = std::min(StrWidth(text.view().substr(0, bytes), cs), StrWidth(text.view(), cs));
      return {r, col};
    }
    offset -= span;
  }
  return {rows.Count(), 0};
}

// ---------------------------------------------------------------- lines

void TEditorStrings::CheckLine(int i, bool allowEnd) const {
  int n = GetCount();
  if (i < 0 || i > n || (i == n && !allowEnd)) throw EStringListError(kListIndexError);
}

int TEditorStrings::FirstRowOfLogicalLine(int i) const {
  if (!store_->WordWrap()) return i;
  if (i == 0) return 0;
  const int rows = store_->Count();
  int lines = 0;
  for (int r = 0; r < rows; ++r) {
    if (store_->RowAttribute(r) == reLineBreak || r == rows - 1) {
      if (++lines == i) return r + 1;
    }
  }
  throw EStringListError(kListIndexError);
}

int TEditorStrings::GetCount() const {
  const int rows = store_->Count();
  if (!store_->WordWrap()) return rows;
  int n = 0;
  for (int r = 0; r < rows; ++r) n += store_->RowAttribute(r) != reWrapped;
  if (rows > 0 && store_->RowAttribute(rows - 1) == reWrapped) ++n;
  return n;
}

ByteString TEditorStrings::Get(int i) const {
  if (!store_->WordWrap()) return store_->Get(i);
  CheckLine(i, false);
  TLogicalText t = store_->GetLogicalText(FirstRowOfLogicalLine(i), -1);
  std::string_view v = t.Text.view();
  size_t n = v.size();
  while (n >= 2 && v[n - 2] == '\r' && v[n - 1] == '\n') n -= 2;
  return n == v.size() ? t.Text : ByteString(v.substr(0, n));
}

template <class Edit> void TEditorStrings::Edited(int start, long long offset, Edit edit) {
  if (editor_) editor_->CancelSelection();
  struct Caret {
    TEditorView* v;
    ~Caret() {
      if (v) v->CaretEndUpdate();
    }
  } caret{editor_};
  if (editor_) editor_->CaretBeginUpdate();
  edit();
  if (editor_) editor_->SetCaretByOffset(start, offset);
}

void TEditorStrings::Put(int i, const ByteString& s) {
  CheckLine(i, false);
  int a = FirstRowOfLogicalLine(i);
  int b = store_->LastRowOfLine(a);
  std::string text = s.str();
  if (store_->RowAttribute(b) == reLineBreak) text += "\r\n";
  Edited(a, static_cast<long long>(text.size()), [&] { store_->ReplaceText(a, b - a + 1, text); });
}

void TEditorStrings::Insert(int i, const ByteString& s) {
  CheckLine(i, true);
  int r = FirstRowOfLogicalLine(i);
  if (r >= store_->Count()) {
    Add(s);
    return;
  }
  std::string text = s.str() + "\r\n";
  Edited(r, static_cast<long long>(text.size()), [&] { store_->ReplaceText(r, 0, text); });
}

int TEditorStrings::Add(const ByteString& s) {
  const int before = GetCount();
  const int n = store_->Count();
  if (n > 0 && store_->RowAttribute(n - 1) != reLineBreak) {
    std::string text = store_->Ref(n - 1).str() + "\r\n" + s.str();
    Edited(n - 1, static_cast<long long>(text.size()),
           [&] { store_->ReplaceText(n - 1, 1, text); });
  } else {
    std::string text = s.str() + "\r\n";
    Edited(n, static_cast<long long>(text.size()), [&] { store_->ReplaceText(n, 0, text); });
  }
  return before;
}

void TEditorStrings::Delete(int i) {
  CheckLine(i, false);
  int a = FirstRowOfLogicalLine(i);
  int b = store_->LastRowOfLine(a);
  Edited(a, 0, [&] { store_->ReplaceText(a, b - a + 1, {}); });
}

void TEditorStrings::Clear() { store_->Clear(); }

ByteString TEditorStrings::Text() const {
  return store_->GetLogicalText(0, store_->Count()).Text;
}

void TEditorStrings::SetText(std::string_view text) {
  UpdateGuard<TStrings> update(*this);
  store_->Clear();
  size_t i = 0, n = text.size();
  int lines = 0;
  while (i < n) {
    while (i < n && text[i] != '\r' && text[i] != '\n') ++i;
    ++lines;
    if (i < n && text[i] == '\r') ++i;
    if (i < n && text[i] == '\n') ++i;
  }
  store_->AppendEmptyRows(lines);
  ByteStringArena arena;
  i = 0;
  for (int row = 0; i < n; ++row) {
    size_t start = i;
    while (i < n && text[i] != '\r' && text[i] != '\n') ++i;
    store_->SetLoadedText(row, arena.Make(text.substr(start, i - start)));
    if (i < n && text[i] == '\r') ++i;
    if (i < n && text[i] == '\n') ++i;
  }
  if (!text.empty() && text.back() != '\r' && text.back() != '\n')
    store_->SetRowAttribute(store_->Count() - 1, reEndOfText);
  if (store_->WordWrap()) store_->WrapAll();
  store_->ReparseAll();
}

void TEditorStrings::CopyFrom(const TPersistent* source) {
  auto* src = dynamic_cast<const TStrings*>(source);
  if (!src) return TStrings::CopyFrom(source);
  if (src == this) return;
  SetText(src->Text().view());
  if (editor_) {
    editor_->SetRow(store_->Count());
    editor_->SetCol(0);
  }
}

void TEditorStrings::SetUpdateState(bool updating) {
  if (updating) {
    store_->BeginUpdate();
    if (editor_) editor_->BeginBulkUpdate();
  } else {
    store_->EndUpdate();
    if (editor_) editor_->EndBulkUpdate();
    store_->UpdateAllViews();
  }
}

// ---------------------------------------------------------------- files

namespace {

class BlockReader {
public:
  explicit BlockReader(const std::string& path) : path_(path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) Fail("open");
  }
  ~BlockReader() {
    if (fd_ >= 0) ::close(fd_);
  }
  BlockReader(const BlockReader&) = delete;
  BlockReader& operator=(const BlockReader&) = delete;
  void Rewind() {
    if (::lseek(fd_, 0, SEEK_SET) != 0) Fail("read");
  }
  // Bytes read into buf (at most size); 0 at the end of the file.
  size_t Read(char* buf, size_t size) {
    for (;;) {
      ssize_t n = ::read(fd_, buf, size);
      if (n >= 0) return static_cast<size_t>(n);
      if (errno != EINTR) Fail("read");
    }
  }

private:
  [[noreturn]] void Fail(const char* what) {
    throw EFileError(std::string("Cannot ") + what + " file \"" + path_ + "\": " +
                     std::strerror(errno));
  }
  std::string path_;
  int fd_ = -1;
};

// Cuts the file into lines block by block: onLine(bytes) for each line
// ended by CR, LF or CR LF (a CR at the end of one block and an LF at the
// start of the next are one line break); returns the text after the last
// line break, up to the end of the file or byte 26. Both loading passes
// use this one scanner, so they always agree on the rows.
template <class OnLine> std::string ScanLines(BlockReader& in, OnLine onLine) {
  constexpr size_t kBlock = 8192;
  char buf[kBlock];
  std::string pending;
  bool skipLf = false;
  for (;;) {
    size_t n = in.Read(buf, kBlock);
    if (n == 0) break;
    size_t i = 0;
    if (skipLf && buf[0] == '\n') i = 1;
    skipLf = false;
    while (i < n) {
      size_t start = i;
      while (i < n && buf[i] != '\r' && buf[i] != '\n' && buf[i] != '\x1A') ++i;
      std::string_view seg(buf + start, i - start);
      if (i == n) {
        pending.append(seg);
        break;
      }
      if (buf[i] == '\x1A') {
        pending.append(seg);
        return pending;
      }
      if (pending.empty()) {
        onLine(seg);
      } else {
        pending.append(seg);
        onLine(std::string_view(pending));
        pending.clear();
      }
      if (buf[i] == '\r') {
        ++i;
        if (i == n) skipLf = true;
        else if (buf[i] == '\n') ++i;
      } else {
        ++i;
      }
    }
  }
  return pending;
}

} // namespace

void TEditorStrings::LoadFromFile(const std::string& path) {
  UpdateGuard<TStrings> update(*this);
  store_->Clear();
  try {
    BlockReader in(path);
    int lines = 0;
    std::string tail = ScanLines(in, [&](std::string_view) { ++lines; });
    if (!tail.empty()) ++lines;
    store_->AppendEmptyRows(lines);
    in.Rewind();
    int row = 0;
    ByteStringArena arena;
    auto store = [&](std::string_view line) {
      // The file may have grown between the passes: never drop a line.
      if (row >= store_->Count()) store_->AppendEmptyRows(1);
      store_->SetLoadedText(row++, arena.Make(line));
    };
    tail = ScanLines(in, store);
    if (!tail.empty()) {
      store(tail);
      store_->SetRowAttribute(row - 1, reEndOfText);
    }
    if (row < store_->Count()) store_->DeleteRows(row, store_->Count() - row);
  } catch (...) {
    store_->Clear();
    throw;
  }
  if (store_->WordWrap()) store_->WrapAll();
  store_->ReparseAll();
}

void TEditorStrings::SaveToFile(const std::string& path) const {
  AtomicFileWriter out(path);
  for (int r = 0, n = store_->Count(); r < n; ++r) {
    out.Write(store_->Ref(r).view());
    if (store_->RowAttribute(r) == reLineBreak) out.Write("\r\n");
  }
  out.Commit();
}

std::vector<ByteString> TEditorStrings::StreamedStrings() const {
  std::vector<ByteString> out;
  const int rows = store_->Count();
  std::string line;
  for (int r = 0; r < rows; ++r) {
    line += store_->Ref(r).view();
    if (store_->RowAttribute(r) != reWrapped || r == rows - 1) {
      out.emplace_back(line);
      line.clear();
    }
  }
  return out;
}

void TEditorStrings::ReadStreamedStrings(const std::vector<ByteString>& lines) {
  UpdateGuard<TStrings> update(*this);
  store_->Clear();
  store_->AppendEmptyRows(static_cast<int>(lines.size()));
  for (size_t i = 0; i < lines.size(); ++i) store_->SetLoadedText(static_cast<int>(i), lines[i]);
}

} // namespace ze
