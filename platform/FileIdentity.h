#pragma once
// Which file, in which state: device, inode, size and modification time.
// Taken when a file is read or written, compared later to learn whether
// another program replaced or changed it in the meantime.

#include <cstdint>
#include <string>

struct stat;

namespace ze {

struct TFileIdentity {
  uint64_t Device = 0;
  uint64_t Inode = 0;
  int64_t Size = -1; // -1: no file (none taken, or none there)
  int64_t MTimeSec = 0;
  int64_t MTimeNsec = 0;

  bool Known() const { return Size >= 0; }
  friend bool operator==(const TFileIdentity&, const TFileIdentity&) = default;
};

TFileIdentity IdentityOf(const struct stat& st);
// The identity of the file that path names now, following links; an
// unknown identity when there is none or it cannot be reached.
TFileIdentity IdentityOfPath(const std::string& path);

} // namespace ze
