// Random settings files: the input is cut into an integer, a colour and
// a boolean file, written to a scratch folder and read. Reading must never
// fail, and every value must come out inside its range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include "app/settings/SettingsFiles.h"

using namespace ze;

namespace {

const std::string& Folder() {
  static const std::string dir = [] {
    std::string t = "/tmp/ze-settings-fuzz-XXXXXX";
    if (!::mkdtemp(t.data())) std::abort();
    return t;
  }();
  return dir;
}

void Write(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(),
                                                                 static_cast<std::streamsize>(bytes.size()));
}

void Require(bool ok) {
  if (!ok) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  // Parts are separated by a NUL byte; missing parts are missing files.
  TSettingsFileSet files = SettingsFilesFor(Folder() + "/ZorvaneEditor");
  const std::string* paths[] = {&files.Int, &files.Color, &files.Bool};
  for (const std::string* p : paths) ::unlink(p->c_str());
  for (const std::string* p : paths) {
    size_t cut = in.find('\0');
    Write(*p, in.substr(0, cut));
    if (cut == std::string_view::npos) break;
    in.remove_prefix(cut + 1);
  }
  TSettings s;
  std::vector<std::string> problems;
  ReadSettingsFiles(s, files, &problems);
  Require(s.Window.FontSize >= kMinFontSize && s.Window.FontSize <= kMaxFontSize);
  Require(s.TabCount >= 2 && s.TabCount <= 8 && s.TabCount % 2 == 0);
  Require(s.WrapCount >= 20 && s.WrapCount <= 250);
  Require(s.ReserveType >= 1 && s.ReserveType <= 4);
  Require(s.SeparateType >= 0 && s.SeparateType <= 10);
  Require(s.DicType >= 0 && s.DicType <= kDictionaryCount);
  for (const TDockPlace& b : s.Window.Bars) Require(b.Row >= 0 && b.Row <= kMaxDockRow);
  TWindowRect r = PlaceWindow(s.Window.Rect, {{0, 0, 1920, 1080}});
  Require(r.Width >= kMinWindowWidth && r.Height >= kMinWindowHeight);
  Require(r.Left >= 0 && r.Top >= 0 && r.Left + r.Width <= 1920 && r.Top + r.Height <= 1080);
  return 0;
}
