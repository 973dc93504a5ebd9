#include "text/EditorStrings.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/CodePage.h"
#include "platform/FileIo.h"
#include "platform/FileRead.h"

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

// The first CR or LF in [p, end), or end.
const char* FindLineEnd(const char* p, const char* end) {
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  while (end - p >= 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    int hits = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
    if (hits != 0) return p + __builtin_ctz(static_cast<unsigned>(hits));
    p += 16;
  }
#endif
  while (p < end && *p != '\r' && *p != '\n') ++p;
  return p;
}

// Memory a loaded text takes: its bytes, and per row its place in the row
// arrays, the string's terminator (and size word, when long), and some room
// for the arena's ends.
uint64_t LoadNeed(uint64_t bytes, uint64_t rows) {
  return bytes + rows * (TEditorStringList::RowBytes() + 12);
}

// Line breaks as they were found.
struct TBreakCounts {
  long long CrLf = 0, Lf = 0, Cr = 0;
};

// Cuts text into rows at CR LF, LF and CR, counting the breaks; a last
// line without a break becomes a reEndOfText row. With pending, a line
// begun in an earlier piece continues; skipLf says the earlier piece ended
// with CR. Returns the unfinished last line's bytes through pending.
void CutRows(const char* p, const char* end, TEditorStringList& rows, ByteStringArena& arena,
             std::string& pending, bool& skipLf, TBreakCounts& breaks) {
  if (skipLf && p < end) {
    if (*p == '\n') {
      ++p;
      ++breaks.CrLf;
    } else {
      ++breaks.Cr;
    }
    skipLf = false;
  }
  while (p < end) {
    const char* e = FindLineEnd(p, end);
    if (e == end) {
      pending.append(p, static_cast<size_t>(e - p));
      break;
    }
    if (pending.empty()) {
      rows.AppendSilently(arena.Make(std::string_view(p, static_cast<size_t>(e - p))));
    } else {
      pending.append(p, static_cast<size_t>(e - p));
      rows.AppendSilently(arena.Make(pending));
      pending.clear();
      pending.shrink_to_fit();
    }
    if (*e++ == '\r') {
      if (e == end) skipLf = true;
      else if (*e == '\n') ++e, ++breaks.CrLf;
      else ++breaks.Cr;
    } else {
      ++breaks.Lf;
    }
    p = e;
  }
}

void FinishRows(TEditorStringList& rows, ByteStringArena& arena, std::string& pending,
                bool skipLf, TBreakCounts& breaks) {
  if (skipLf) ++breaks.Cr;
  if (!pending.empty()) {
    rows.AppendSilently(arena.Make(pending));
    rows.SetRowAttribute(rows.Count() - 1, reEndOfText);
  }
}

constexpr size_t kBlock = size_t{1} << 20;
constexpr size_t kUtf8Block = size_t{1} << 18;

// Characters in CP932 bytes without a line break, as a column counts them.
long long CharCount(std::string_view s) {
  long long n = 0;
  for (size_t i = 0; i < s.size(); ++i, ++n)
    if (IsLeadByte(s[i]) && i + 1 < s.size()) ++i;
  return n;
}

// Reads UTF-8 text into rows, converting it block by block as it is read
// (buf holds the first block already, firstSize bytes of it), so that
// neither the file's bytes nor the converted text are ever held whole.
// The text, its variants and its problem are as DecodeText makes them;
// result gets all but the text. With strict (UTF-8 was only guessed) it
// gives up at the first bytes that are not UTF-8 and returns false: what
// such a file is, only the whole of it can tell.
bool ReadUtf8Rows(TFileReader& in, char* buf, size_t firstSize, TEditorStringList& rows,
                  uint64_t budget, bool strict, TBreakCounts& breaks, TDecodedText& result) {
  TUtf8Reader reader;
  // Room for what the largest piece becomes (the first may be a larger
  // block than those read here).
  std::unique_ptr<char[]> out(new char[std::max(firstSize, kUtf8Block) + TUtf8Reader::kSlack]);
  ByteStringArena arena;
  std::string pending; // a line begun in an earlier block
  bool skipLf = false;
  long long line = 0, column = 0; // the first problem's place, once met
  uint64_t done = 0;
  auto convert = [&](std::string_view piece, bool last) {
    const size_t n = reader.Convert(piece, out.get(), last);
    const long long at = reader.ProblemOffset() - (reader.Written() - static_cast<long long>(n));
    if (line == 0 && at >= 0 && at < static_cast<long long>(n)) {
      // The problem is in these bytes: its line and column are those of
      // the rows cut so far.
      CutRows(out.get(), out.get() + at, rows, arena, pending, skipLf, breaks);
      line = rows.Count() + 1;
      column = CharCount(pending) + 1;
      CutRows(out.get() + at, out.get() + n, rows, arena, pending, skipLf, breaks);
    } else {
      CutRows(out.get(), out.get() + n, rows, arena, pending, skipLf, breaks);
    }
    if (strict && reader.Invalid()) return false;
    if (piece.empty()) return true;
    done += piece.size();
    // The memory the text will take, projected from what was read so far.
    const double scale = double(std::max<uint64_t>(in.Size(), done)) / double(done);
    in.CheckMemory(LoadNeed(static_cast<uint64_t>(double(reader.Written()) * scale),
                            static_cast<uint64_t>(double(rows.Count() + 1) * scale)),
                   budget);
    if (rows.Count() > INT_MAX - static_cast<int>(kBlock) - 1) in.FailTooBig();
    return true;
  };
  if (firstSize > 0 && !convert(std::string_view(buf, firstSize), false)) return false;
  while (const size_t n = in.Read(buf, kUtf8Block))
    if (!convert(std::string_view(buf, n), false)) return false;
  if (!convert({}, true)) return false;
  FinishRows(rows, arena, pending, skipLf, breaks);
  result = reader.Finish(line, column);
  return true;
}

// How ReadRows took the file.
enum class TReadAs {
  Nothing,   // not read yet
  Cp932Rows, // as it is, into rows
  Raw,       // whole, for converting it
  Utf8Rows,  // as UTF-8, converted into rows
  NotUtf8,   // guessed UTF-8, which turned out wrong: nothing usable read
};

// Reads the whole file into rows in one pass: every byte is kept, CR LF,
// LF and CR end a line (a CR at the end of one read and an LF at the
// start of the next are one line break), and a last line without a break
// becomes a reEndOfText row. The memory the text will take is projected
// from what was read so far and checked after every read, so a file of
// very many short lines is refused early, not when memory has run out.
// Every block also goes to the sniffer, when there is one; when the first
// block looks like text in another encoding, the bytes are kept whole in
// raw instead, for converting them; or, when that encoding is surely
// UTF-8 and utf8 is given, converted as they are read (ReadUtf8Rows),
// utf8 getting what DecodeText would say of the text.
TReadAs ReadRows(TFileReader& in, TEditorStringList& rows, uint64_t budget,
                 TEncodingSniffer* sniff, TEncoding asciiDefault, TBreakCounts& breaks,
                 std::string& raw, TDecodedText* utf8) {
  std::unique_ptr<char[]> buf(new char[kBlock]);
  ByteStringArena arena;
  std::string pending; // a line begun in an earlier block
  bool skipLf = false;
  uint64_t done = 0;
  bool rawMode = false;
  for (;;) {
    const size_t n = in.Read(buf.get(), kBlock);
    if (n == 0) break;
    const bool firstBlock = done == 0;
    done += n;
    const uint64_t expected = std::max<uint64_t>(in.Size(), done);
    if (sniff) sniff->Feed(std::string_view(buf.get(), n));
    if (firstBlock && sniff && sniff->LikelyConverted()) {
      TEncoding e;
      if (utf8 && sniff->Settled(asciiDefault, e) &&
          (e == TEncoding::Utf8 || e == TEncoding::Utf8Bom))
        return ReadUtf8Rows(in, buf.get(), n, rows, budget, e == TEncoding::Utf8, breaks, *utf8)
                   ? TReadAs::Utf8Rows
                   : TReadAs::NotUtf8;
      rawMode = true;
      in.CheckMemory(expected * 3, budget); // the bytes, the converted text, its rows
      raw.reserve(static_cast<size_t>(expected));
    }
    if (rawMode) {
      raw.append(buf.get(), n);
      continue;
    }
    const uint64_t rowsSoFar = static_cast<uint64_t>(rows.Count()) + 1;
    // In floating point: the product of two 64-bit counts can overflow.
    const double projected = double(rowsSoFar) * double(expected) / double(done);
    in.CheckMemory(LoadNeed(expected, static_cast<uint64_t>(projected)), budget);
    if (rows.Count() > INT_MAX - static_cast<int>(kBlock) - 1) in.FailTooBig();
    CutRows(buf.get(), buf.get() + n, rows, arena, pending, skipLf, breaks);
  }
  if (rawMode) return TReadAs::Raw;
  FinishRows(rows, arena, pending, skipLf, breaks);
  return TReadAs::Cp932Rows;
}

// The whole file as bytes, for converting it.
std::string ReadAllBytes(TFileReader& in, uint64_t budget) {
  in.CheckMemory(in.Size() * 3, budget); // the bytes, the converted text, its rows
  std::string bytes;
  bytes.reserve(static_cast<size_t>(in.Size()));
  char buf[1 << 16];
  while (size_t n = in.Read(buf, sizeof buf)) bytes.append(buf, n);
  return bytes;
}

TLineBreak MostFrequent(const TBreakCounts& b, TLineBreak none, bool& mixed) {
  mixed = (b.CrLf > 0) + (b.Lf > 0) + (b.Cr > 0) > 1;
  if (b.CrLf + b.Lf + b.Cr == 0) return none;
  TLineBreak style = TLineBreak::CrLf;
  long long most = b.CrLf;
  if (b.Lf > most) style = TLineBreak::Lf, most = b.Lf;
  if (b.Cr > most) style = TLineBreak::Cr;
  return style;
}

} // namespace

void TEditorStrings::LoadFromFile(const std::string& path) { Load(path, nullptr); }

void TEditorStrings::LoadFromFileAs(const std::string& path, TEncoding encoding) {
  Load(path, &encoding);
}

void TEditorStrings::Load(const std::string& path, const TEncoding* forced) {
  // The new text is read aside: whatever fails, the text shown so far
  // stays as it was.
  TFileReader in(path);
  const uint64_t budget = AvailableMemory();
  // At the least the bytes themselves and a row per 64 of them.
  in.CheckMemory(LoadNeed(in.Size(), in.Size() / 64), budget);
  TEditorStringList rows;
  TFileFormat format;
  TFileIdentity identity = in.Identity();
  try {
    // CP932 text (most files, and every file of ASCII bytes by default)
    // is taken as it is read; other text is read again whole and converted.
    // UTF-8 is converted as it is read.
    TEncodingSniffer sniff;
    TBreakCounts breaks;
    TEncoding e = forced ? *forced : TEncoding::Cp932;
    bool settled = true;
    std::string raw;
    TDecodedText utf8;
    TReadAs how = TReadAs::Nothing;
    if (forced && (e == TEncoding::Utf8 || e == TEncoding::Utf8Bom)) {
      std::unique_ptr<char[]> buf(new char[kBlock]);
      ReadUtf8Rows(in, buf.get(), 0, rows, budget, false, breaks, utf8);
      how = TReadAs::Utf8Rows;
    } else if (!forced || e == TEncoding::Cp932) {
      how = ReadRows(in, rows, budget, forced ? nullptr : &sniff, asciiDefault_, breaks, raw,
                     forced ? nullptr : &utf8);
      if (how == TReadAs::NotUtf8) {
        // Bytes that are not UTF-8 after all: the whole file decides.
        TEditorStringList().SwapRows(rows);
        breaks = TBreakCounts();
        TFileReader again(path);
        identity = again.Identity();
        sniff = TEncodingSniffer();
        how = ReadRows(again, rows, budget, &sniff, asciiDefault_, breaks, raw, nullptr);
      }
    }
    if (!forced && how != TReadAs::Utf8Rows) settled = sniff.Settled(asciiDefault_, e);
    if (how == TReadAs::Cp932Rows && settled &&
        (e == TEncoding::Utf8 || e == TEncoding::Utf8Bom)) {
      // Taken for CP932 at first (ASCII, say), UTF-8 after all: read again,
      // converting as it is read.
      TEditorStringList().SwapRows(rows);
      breaks = TBreakCounts();
      TFileReader again(path);
      identity = again.Identity();
      std::unique_ptr<char[]> buf(new char[kBlock]);
      ReadUtf8Rows(again, buf.get(), 0, rows, budget, false, breaks, utf8);
      how = TReadAs::Utf8Rows;
    }
    const bool rawMode = how == TReadAs::Raw;
    if (how == TReadAs::Utf8Rows) {
      format.Encoding = utf8.Encoding;
      format.LineBreak = MostFrequent(breaks, format_.LineBreak, format.MixedLineBreaks);
      format.Variants = std::move(utf8.Variants);
      format.Exact = utf8.Exact;
      format.Problem = std::move(utf8.Problem);
    } else if (!rawMode && settled && e == TEncoding::Cp932) {
      format.LineBreak = MostFrequent(breaks, format_.LineBreak, format.MixedLineBreaks);
    } else {
      if (!rawMode) { // guessed CP932 from the start, or a chosen encoding: read again
        TEditorStringList().SwapRows(rows);
        TFileReader again(path);
        identity = again.Identity();
        raw = ReadAllBytes(again, budget);
      }
      if (!settled) e = DetectEncoding(raw, asciiDefault_);
      TDecodedText d;
      if (e == TEncoding::Cp932) d.Text.swap(raw);
      else d = DecodeText(raw, e);
      std::string().swap(raw);
      ByteStringArena arena;
      std::string pending;
      bool skipLf = false;
      TBreakCounts counts;
      CutRows(d.Text.data(), d.Text.data() + d.Text.size(), rows, arena, pending, skipLf, counts);
      FinishRows(rows, arena, pending, skipLf, counts);
      format.Encoding = d.Encoding;
      format.LineBreak = MostFrequent(counts, format_.LineBreak, format.MixedLineBreaks);
      format.Variants = std::move(d.Variants);
      format.Exact = d.Exact;
      format.Problem = std::move(d.Problem);
    }
  } catch (const std::bad_alloc&) {
    in.FailTooBig();
  } catch (const std::length_error&) {
    in.FailTooBig();
  }
  {
    UpdateGuard<TStrings> update(*this);
    store_->Clear();
    store_->SwapRows(rows);
    try {
      // Wrapping builds the rows anew beside the loaded ones.
      if (store_->WordWrap()) store_->WrapAll();
    } catch (const std::bad_alloc&) {
      store_->Clear();
      in.FailTooBig();
    }
    store_->ReparseAll();
  }
  filePath_ = path;
  fileIdentity_ = identity;
  format_ = std::move(format);
}

std::string TEditorStrings::EncodedText() const {
  const char* lb = LineBreakBytes(format_.LineBreak);
  std::string text;
  for (int r = 0, n = store_->Count(); r < n; ++r) {
    text += store_->Ref(r).view();
    if (store_->RowAttribute(r) == reLineBreak) text += lb;
  }
  if (format_.Encoding == TEncoding::Cp932) return text;
  std::string out, problem;
  if (!EncodeText(text, format_.Encoding, format_.Variants, out, problem))
    throw EFileError(std::string(EncodingName(format_.Encoding)) + " で保存できません。" + problem);
  return out;
}

void TEditorStrings::SaveToFile(const std::string& path) const {
  if (format_.Encoding != TEncoding::Cp932) {
    std::string bytes;
    try {
      bytes = EncodedText(); // nothing is written when a character does not fit
    } catch (const EFileError& e) {
      throw EFileError("\"" + path + "\" を" + e.what());
    }
    AtomicFileWriter out(path);
    out.Write(bytes);
    out.Commit();
  } else {
    const char* lb = LineBreakBytes(format_.LineBreak);
    AtomicFileWriter out(path);
    for (int r = 0, n = store_->Count(); r < n; ++r) {
      out.Write(store_->Ref(r).view());
      if (store_->RowAttribute(r) == reLineBreak) out.Write(lb);
    }
    out.Commit();
  }
  filePath_ = path;
  fileIdentity_ = IdentityOfPath(path);
}

bool TEditorStrings::FileChangedOnDisk() const {
  if (filePath_.empty()) return false;
  return IdentityOfPath(filePath_) != fileIdentity_;
}

TEditorStrings::TSaveResult TEditorStrings::SaveToFileChecked(const std::string& path, bool force) {
  if (!force && !filePath_.empty()) {
    const TFileIdentity now = IdentityOfPath(path);
    const bool sameFile = path == filePath_ || (now.Known() && fileIdentity_.Known() &&
                                                now.Device == fileIdentity_.Device &&
                                                now.Inode == fileIdentity_.Inode);
    if (sameFile && now != fileIdentity_) return srChangedOnDisk;
  }
  SaveToFile(path);
  return srSaved;
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
