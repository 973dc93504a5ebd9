#pragma once
// Opening a file for reading without ever hanging or running out of
// memory: only regular files are read (a FIFO without a writer would block
// open() forever, /dev/zero never ends), the file is opened without
// blocking, and its size is checked against the memory that is left
// before anything is read.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Errors.h"
#include "platform/FileIdentity.h"

namespace ze {

// What a file that is not a regular file is, in words ("ディレクトリ", ...).
std::string FileKindName(unsigned mode);

// Bytes this process may still take before the system, its limits
// (RLIMIT_AS, RLIMIT_DATA) or its control group refuse or kill it; the
// smallest of what can be learned, UINT64_MAX when nothing can.
uint64_t AvailableMemory();

// Decimal bytes with thousands separators: 1234567 -> "1,234,567".
std::string GroupedNumber(uint64_t n);

class TFileReader {
public:
  // Opens path for reading; raises EFileError naming the file and the
  // reason, or what it is when it is not a regular file.
  explicit TFileReader(const std::string& path);
  ~TFileReader();
  TFileReader(const TFileReader&) = delete;
  TFileReader& operator=(const TFileReader&) = delete;

  const std::string& Path() const { return path_; }
  uint64_t Size() const { return static_cast<uint64_t>(identity_.Size); }
  // The file as it was opened (before any byte was read).
  const TFileIdentity& Identity() const { return identity_; }

  // Up to size bytes into buf; 0 at the end of the file.
  size_t Read(char* buf, size_t size);

  // Raises EFileError naming the file and its size when need bytes of
  // memory (what loading it will take) are more than budget.
  void CheckMemory(uint64_t need, uint64_t budget) const;
  // The error for a file that did not fit after all (an allocation
  // failed part way).
  [[noreturn]] void FailTooBig() const;

private:
  [[noreturn]] void Fail(const char* what, int err) const;
  std::string path_;
  int fd_ = -1;
  TFileIdentity identity_;
};

} // namespace ze
