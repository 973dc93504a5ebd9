#include "app/dialogs/ReserveWords.h"

#include <cerrno>
#include <sys/stat.h>

#include "platform/FileIo.h"
#include "text/CharHelpers.h"
#include "text/Classes.h"

namespace ze {

bool LoadReserveWordFile(const std::string& path, TStrings& list) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) {
    list.Clear();
    return false;
  }
  std::string bytes = ReadWholeFile(path); // raises with the file and reason
  TStringList lines;
  lines.SetText(bytes);
  list.BeginUpdate();
  list.Clear();
  for (int i = 0; i < lines.Count(); ++i) list.Add(lines[i]);
  list.EndUpdate();
  return true;
}

void SaveReserveWordFile(const std::string& path, const TStrings& lines) {
  std::string bytes;
  for (int i = 0; i < lines.Count(); ++i) {
    ByteString s = lines[i];
    bytes.append(s.data(), s.size());
    bytes += "\r\n";
  }
  WriteFileAtomically(path, bytes);
}

} // namespace ze
