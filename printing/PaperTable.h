#pragma once
// The platform's paper codes 1 ... 68 with their constant names and sizes
// in millimetres, and the look-up that never reads outside the table.

#include <cstdint>
#include <string_view>

namespace ze {

struct TPaperTableEntry {
  std::string_view Name;
  int Width;  // mm
  int Height; // mm
};

inline constexpr int kPaperTableCount = 68;
inline constexpr int kPaperCodeA4 = 9;

// The entry of paper code 1 ... 68, nullptr for any other code.
const TPaperTableEntry* PaperTableEntry(int code);

} // namespace ze
