#include "dragdrop/DroppedFiles.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Prompter.h"
#include "text/Classes.h"

namespace ze {

namespace {

// The names of a block, read no further than its size: a last name
// without its NUL ends at the block's end.
std::vector<std::string_view> Names(HDROP drop) {
  std::vector<std::string_view> names;
  if (!drop) return names;
  std::string_view rest = drop->View();
  while (!rest.empty()) {
    const size_t end = rest.find('\0');
    std::string_view name = rest.substr(0, end);
    if (name.empty()) break; // the closing NUL
    names.push_back(name);
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return names;
}

} // namespace

std::shared_ptr<TGlobalMemory> MakeDropFiles(const std::vector<std::string>& names) {
  std::string block;
  for (const std::string& n : names) {
    if (n.empty()) continue; // an empty name would end the list
    block += n;
    block += '\0';
  }
  block += '\0';
  return TGlobalMemory::From(block);
}

int DragQueryFileCount(HDROP drop) {
  return static_cast<int>(Names(drop).size());
}

std::string DragQueryFile(HDROP drop, int i) {
  const auto names = Names(drop);
  if (i < 0 || i >= static_cast<int>(names.size())) return {};
  return std::string(names[static_cast<size_t>(i)]);
}

void ListDroppedFiles(HDROP drop, TStrings& list) {
  UpdateGuard<TStrings> update(list);
  list.Clear();
  for (std::string_view n : Names(drop))
    list.Add(ByteString(n));
}

std::vector<std::string> ListDroppedFiles(HDROP drop) {
  std::vector<std::string> out;
  for (std::string_view n : Names(drop))
    out.emplace_back(n);
  return out;
}

TFilesDataObject::TFilesDataObject(std::vector<std::string> names) : names_(std::move(names)) {
  FormatEtcList().Add(kFilesFormatEtc);
}

HRESULT TFilesDataObject::RenderData(const TFormatEtc&, TStgMedium& medium, bool allocate) {
  if (!allocate) return E_NOTIMPL;
  medium.HGlobal = MakeDropFiles(names_);
  medium.Tymed = TYMED_HGLOBAL;
  medium.UnkForRelease = nullptr;
  return S_OK;
}

// ---------------------------------------------------------------- the check

std::string NotAFileMessage(const std::string& name) {
  return name + "\nはファイルではないので開きません。";
}
std::string FolderMessage(const std::string& name) {
  return name + "\nはフォルダなので開きません。";
}
std::string NotRegularMessage(const std::string& name) {
  return name + "\nは通常のファイルではないので開きません。";
}
std::string UnreadableMessage(const std::string& name, const std::string& reason) {
  return name + "\nを読み込めません。\n" + reason;
}
std::string TooBigMessage(const std::string& name, uint64_t size) {
  return name + "\nは大きすぎて開けません（" + std::to_string(size) + " バイト）。";
}

uint64_t TDroppedFileCheck::DefaultMaxBytes() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return uint64_t{1} << 31;
  return static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize) / 2;
}

std::vector<std::string> TDroppedFileCheck::Filter(const std::vector<std::string>& names,
                                                   TPrompter& prompter) const {
  std::vector<std::string> ok;
  for (const std::string& name : names) {
    if (name.empty() || name[0] != '/') {
      prompter.Notice(NotAFileMessage(name));
      continue;
    }
    struct stat st {};
    if (stat(name.c_str(), &st) != 0) {
      prompter.Notice(UnreadableMessage(name, std::strerror(errno)));
      continue;
    }
    if (S_ISDIR(st.st_mode)) {
      prompter.Notice(FolderMessage(name));
      continue;
    }
    if (!S_ISREG(st.st_mode)) {
      prompter.Notice(NotRegularMessage(name));
      continue;
    }
    // Opening for reading tells what the permission bits alone do not
    // (access lists, a root-owned file, a vanished mount).
    const int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
      prompter.Notice(UnreadableMessage(name, std::strerror(errno)));
      continue;
    }
    close(fd);
    if (static_cast<uint64_t>(st.st_size) > MaxBytes) {
      prompter.Error(TooBigMessage(name, static_cast<uint64_t>(st.st_size)));
      continue;
    }
    ok.push_back(name);
  }
  return ok;
}

} // namespace ze
