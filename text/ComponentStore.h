#pragma once
// Streaming a component's published properties to bytes and back, and
// keeping those bytes in an INI section as lines of hexadecimal text.
//
// The byte form: "ZEC1", then the object. An object is a run of
// properties closed by an empty name; a property is its name (byte count
// then bytes), its kind (one byte) and its payload (four-byte count then
// bytes). Integers, enumerations and sets are eight-byte little-endian
// values; strings are their bytes; a string list is a count and its
// strings; a collection is a count and one object per item; any other
// persistent sub-object is an object. Events and references to other
// components are not streamed. Reading skips properties it does not know,
// so settings written by another version still load.

#include <string>
#include <string_view>

#include "platform/IniFile.h"
#include "text/Classes.h"

namespace ze {

std::string WriteComponentBytes(const TComponent& component);
// Raises EReadError when the bytes are not a component stream.
void ReadComponentBytes(TComponent& component, std::string_view bytes);

void SaveComponentToIni(const TComponent& component, IniFile& file, std::string_view section,
                        std::string_view name);
void LoadComponentFromIni(TComponent& component, const IniFile& file, std::string_view section,
                          std::string_view name);

} // namespace ze
