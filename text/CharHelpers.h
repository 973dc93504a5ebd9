#pragma once
// Byte-string helpers that know the double-byte character set. Positions
// are 1-based byte positions; a lead byte and the byte after it are one
// character. None of them modifies its argument.

#include <cstdint>
#include <string_view>

#include "text/Classes.h"

namespace ze {

inline int32_t Max(int32_t a, int32_t b) { return a > b ? a : b; }
inline int32_t Min(int32_t a, int32_t b) { return a < b ? a : b; }

// True when byte i of s starts a double-byte character, walking s from its
// start one character at a time (a line start is never a trail byte, so
// this is the only safe way to classify a byte). False past the end.
bool IsLeadByteAt(std::string_view s, int i);
// True when byte i of s is the second byte of a double-byte character.
bool IsTrailByteAt(std::string_view s, int i);
// Byte i of s, or 0 when i < 1 or i > length.
unsigned char ByteAt(std::string_view s, int i);
// True when the one- or two-byte character c occurs in list at a character
// boundary of list. False for an empty c or a list shorter than c.
bool IncludesChar(std::string_view c, std::string_view list);
// How many of the first Min(length, limit) bytes of s equal b.
int CountByte(std::string_view s, char b, int limit);
// Fills list with the lines of text; CR LF, LF and a lone CR each end a
// line, a NUL ends the text, and a final line break adds no empty line.
void SplitLines(std::string_view text, TStrings& list);

} // namespace ze
