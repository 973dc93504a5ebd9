#pragma once
// The reserved-word file: one word per line in CP932, every line taken as
// it stands (empty lines too). A missing file is an empty list; the file
// is written only as a whole (temporary file and rename), so a failed write
// leaves the old list on disk.

#include <string>
#include <vector>

#include "text/ByteString.h"

namespace ze {

class TStrings;

// The file name beside the program or in the settings folder.
inline constexpr const char* kReserveWordFileName = "予約語.txt";

// Reads the file's lines into list (cleared first). A missing file leaves
// the list empty and returns false; any other failure raises EFileError
// naming the file and the reason, the list then untouched.
bool LoadReserveWordFile(const std::string& path, TStrings& list);

// Writes the lines with CR LF after each; raises EFileError naming the file
// and the reason, the old file then whole.
void SaveReserveWordFile(const std::string& path, const TStrings& lines);

} // namespace ze
