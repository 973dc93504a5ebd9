#include "platform/FileIdentity.h"

#include <sys/stat.h>

namespace ze {

TFileIdentity IdentityOf(const struct stat& st) {
  TFileIdentity id;
  id.Device = static_cast<uint64_t>(st.st_dev);
  id.Inode = static_cast<uint64_t>(st.st_ino);
  id.Size = static_cast<int64_t>(st.st_size);
  id.MTimeSec = static_cast<int64_t>(st.st_mtim.tv_sec);
  id.MTimeNsec = static_cast<int64_t>(st.st_mtim.tv_nsec);
  return id;
}

TFileIdentity IdentityOfPath(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  return IdentityOf(st);
}

} // namespace ze
