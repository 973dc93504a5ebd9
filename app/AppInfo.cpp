#include "app/AppInfo.h"

#include "app/Version.h"

namespace ze {

std::string ProgramVersion() {
  return ZE_VERSION;
}

std::string AboutText() {
  return std::string(kProgramName) + "  バージョン " + ProgramVersion() +
         "\n\n日本語と欧文のためのテキストエディタ\nShift-JIS の文書を編集します。";
}

} // namespace ze
