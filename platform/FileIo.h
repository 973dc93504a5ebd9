#pragma once
// Whole-file reading and crash-safe writing. Writing goes to a temporary
// file beside the target, which is flushed to disk and renamed over the
// target, so a failure at any point leaves the old file as it was.

#include <string>
#include <string_view>

#include "platform/Errors.h"

namespace ze {

// The whole file; raises EFileError naming the file and the reason.
std::string ReadWholeFile(const std::string& path);

// Follows symbolic links to the file they finally name, so that saving
// through a link replaces the target and keeps the link.
std::string ResolveLinks(const std::string& path);

class AtomicFileWriter {
public:
  // Opens a temporary file in the folder of path (after following links).
  explicit AtomicFileWriter(const std::string& path);
  ~AtomicFileWriter(); // removes the temporary file unless committed
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  void Write(std::string_view bytes);
  // Flushes, gives the file the permission bits of the file it replaces
  // (or the usual bits for a new file) and renames it over the target.
  void Commit();

private:
  [[noreturn]] void Fail(const char* what, int err);
  void Flush();
  std::string target_;
  std::string temp_;
  int fd_ = -1;
  std::string buffer_;
  bool committed_ = false;
};

void WriteFileAtomically(const std::string& path, std::string_view bytes);

} // namespace ze
