#include "app/dialogs/WebAddress.h"

#include <cctype>

namespace ze {
namespace {

bool StartsWithNoCase(const std::string& s, const char* prefix) {
  size_t i = 0;
  for (; prefix[i]; ++i)
    if (i >= s.size() || std::tolower(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
  return true;
}

} // namespace

bool IsOpenableWebAddress(const std::string& address, std::string* why) {
  auto refuse = [&](const std::string& text) {
    if (why) *why = text;
    return false;
  };
  if (address.empty()) return refuse("辞書のアドレスが入力されていません。");
  for (unsigned char c : address)
    if (c <= 0x20 || c == 0x7F)
      return refuse("アドレス \"" + address + "\" に空白や制御文字が含まれています。");
  size_t schemeEnd;
  if (StartsWithNoCase(address, "https://"))
    schemeEnd = 8;
  else if (StartsWithNoCase(address, "http://"))
    schemeEnd = 7;
  else
    return refuse("アドレス \"" + address +
                  "\" は開けません。http:// または https:// で始まるアドレスだけを開きます。");
  size_t hostEnd = address.find_first_of("/?#", schemeEnd);
  std::string authority = address.substr(schemeEnd, hostEnd == std::string::npos
                                                        ? std::string::npos
                                                        : hostEnd - schemeEnd);
  size_t at = authority.rfind('@');
  std::string host = at == std::string::npos ? authority : authority.substr(at + 1);
  if (host.empty() || host[0] == ':')
    return refuse("アドレス \"" + address + "\" にホスト名がありません。");
  return true;
}

} // namespace ze
