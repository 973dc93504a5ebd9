#pragma once
// Whole-file reading and crash-safe writing: a failure at any point of a
// save leaves the old content on disk (see AtomicFileWriter).

#include <string>
#include <string_view>

#include "platform/Errors.h"

namespace ze {

// The whole file; raises EFileError naming the file and the reason.
std::string ReadWholeFile(const std::string& path);

// Follows symbolic links to the file they finally name, so that saving
// through a link replaces the target and keeps the link.
std::string ResolveLinks(const std::string& path);

// Saving. A regular file with one name is replaced: the new content goes
// to a temporary file beside it, which gets the old file's owner, group
// and permission bits (setuid and setgid are dropped when the owner
// cannot be kept), is flushed to disk and renamed over it; the folder is
// flushed too. A file with several names (hard links) must stay one file,
// so it is written in place, after a complete copy of its old content has
// been flushed to a backup file beside it; the backup is put back if the
// write fails and removed once the file is complete. Anything but a
// regular file (or a new name) is refused.
//
// Temporary and backup files are hidden and named after a hash of the
// target's name, so their names do not grow with it and a temporary file
// left by a save that was killed is recognised and removed by the next
// save of the same file. A backup is never removed that way: it may hold
// the only whole copy of the old content.
class AtomicFileWriter {
public:
  // Checks the target (after following links) and opens the file that
  // receives the new content. Raises EFileError naming the file.
  explicit AtomicFileWriter(const std::string& path);
  ~AtomicFileWriter(); // an unfinished save leaves the old file as it was
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  void Write(std::string_view bytes);
  void Commit();

  // The file that is written, links followed.
  const std::string& Target() const noexcept { return target_; }
  // True when the target has more than one name and is written in place.
  bool InPlace() const noexcept { return inPlace_; }

private:
  void OpenReplacement();
  void OpenInPlace();
  void CommitReplacement();
  void CommitInPlace();
  // Puts the backup's content back into the target; false when that
  // failed too, and the backup must stay.
  bool RestoreFromBackup();
  [[noreturn]] void Fail(const char* what, int err);
  void Flush();
  void Discard();

  std::string path_;   // as the caller named it
  std::string target_; // links followed
  std::string temp_;   // the new content (replacing) or empty
  std::string backup_; // the old content (in place) or empty
  int fd_ = -1;
  std::string buffer_;
  bool existed_ = false;
  bool inPlace_ = false;
  bool touched_ = false; // in place: bytes of the target were overwritten
  long long written_ = 0;
  long long oldSize_ = 0;
  unsigned oldUid_ = 0, oldGid_ = 0, oldMode_ = 0;
  bool committed_ = false;
};

// The prefix shared by the names of temporary and backup files beside a
// target; both start with it and end in ".tmp" or ".bak".
std::string SaveTempPrefix(const std::string& target);

// For tests: when set, each write to a file being saved first asks it; a
// non-zero result is taken as the errno of a failed write.
using WriteFaultHook = int (*)(const std::string& file, long long offset, size_t size);
void SetWriteFaultHookForTests(WriteFaultHook hook);

void WriteFileAtomically(const std::string& path, std::string_view bytes);

} // namespace ze
