#pragma once
// Which web-dictionary addresses may be handed to the desktop's browser.
// The addresses are typed by the user and read from the settings file, so
// only absolute http and https addresses with a host pass: a path, a
// file: or javascript: address, a .desktop file would make the desktop run
// or open something other than a web page.

#include <string>

namespace ze {

// True when address may be opened; otherwise why holds a message in the
// program's language naming the address.
bool IsOpenableWebAddress(const std::string& address, std::string* why = nullptr);

} // namespace ze
