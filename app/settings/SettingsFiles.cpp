#include "app/settings/SettingsFiles.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "app/settings/ColorNames.h"
#include "platform/IniFile.h"

namespace ze {
namespace {

constexpr const char* kReserveWordFile = "予約語.txt";
constexpr const char* kConfigSubfolder = "ZorvaneEditor";

// Sections of Int.ini's dock places and of Bool.ini's "Show" keys, in the
// order of the files.
constexpr const char* kBarSections[kSettingsBarCount] = {
    "FontBar", "FileBar", "EditBar", "FindBar", "IndicateBar", "MainBar", "WindowBar"};
constexpr const char* kShowKeys[kSettingsShowCount] = {"Font", "Status", "File", "Edit",
                                                       "Find", "Indicate", "Window"};

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The program's file name without its extension (the part after the last
// dot of the name, when the name has one that is not its first byte).
std::string BaseNameOf(const std::string& path) {
  size_t slash = path.rfind('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

bool IsFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsDir(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void MakeFolders(const std::string& folder) {
  if (folder.empty() || IsDir(folder)) return;
  MakeFolders(FolderOf(folder));
  if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)
    throw EFileError(folder + ": フォルダを作成できません (" + std::strerror(errno) + ")");
}

std::optional<int> ParseInt(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  bool neg = false;
  std::optional<uint32_t> v = ParseIniMagnitude(t, neg);
  if (!v || *v > (neg ? 0x80000000u : 0x7FFFFFFFu)) return std::nullopt;
  return neg ? static_cast<int>(-static_cast<int64_t>(*v)) : static_cast<int>(*v);
}

// Reads one file's keys; a problem is noted, the value in memory kept.
class Reader {
public:
  Reader(const std::string& path, std::vector<std::string>* problems)
      : path_(path), problems_(problems) {
    try {
      ini_ = std::make_unique<IniFile>(path);
    } catch (const std::exception& e) {
      Note(std::string("読み込めません: ") + e.what());
    }
  }

  void Int(const char* section, const char* key, int& v) {
    auto text = Find(section, key);
    if (!text) return;
    if (auto n = ParseInt(*text)) v = *n;
    else Note(std::string("[") + section + "] " + key + ": 数値ではありません: " + *text);
  }
  void Bool(const char* section, const char* key, bool& v) {
    int n = v ? 1 : 0;
    Int(section, key, n);
    v = n != 0;
  }
  void Color(const char* section, const char* key, TColor& v) {
    auto text = Find(section, key);
    if (!text) return;
    if (auto c = StringToColor(*text)) v = *c;
    else Note(std::string("[") + section + "] " + key + ": 色ではありません: " + *text);
  }
  void Text(const char* section, const char* key, std::string& v) {
    if (auto text = Find(section, key)) v = *text;
  }
  void Encoding(const char* section, const char* key, TEncoding& v) {
    auto text = Find(section, key);
    if (!text) return;
    if (!EncodingFromKey(*text, v))
      Note(std::string("[") + section + "] " + key + ": 文字コードではありません: " + *text);
  }
  void LineBreak(const char* section, const char* key, TLineBreak& v) {
    auto text = Find(section, key);
    if (!text) return;
    if (!LineBreakFromKey(*text, v))
      Note(std::string("[") + section + "] " + key + ": 改行コードではありません: " + *text);
  }

private:
  std::optional<std::string> Find(const char* section, const char* key) const {
    if (!ini_) return std::nullopt;
    return ini_->Find(section, key);
  }
  void Note(const std::string& what) {
    if (problems_) problems_->push_back(path_ + ": " + what);
  }

  std::string path_;
  std::vector<std::string>* problems_;
  std::unique_ptr<IniFile> ini_;
};

// The same calls as Reader, writing: one list of keys per file serves both.
class Writer {
public:
  explicit Writer(IniFile& ini) : ini_(ini) {}
  void Int(const char* section, const char* key, int v) { ini_.WriteInteger(section, key, v); }
  void Bool(const char* section, const char* key, bool v) { ini_.WriteBool(section, key, v); }
  void Color(const char* section, const char* key, TColor v) {
    ini_.WriteString(section, key, ColorToString(v));
  }
  void Text(const char* section, const char* key, const std::string& v) {
    ini_.WriteString(section, key, v);
  }
  void Encoding(const char* section, const char* key, TEncoding v) {
    ini_.WriteString(section, key, EncodingKey(v));
  }
  void LineBreak(const char* section, const char* key, TLineBreak v) {
    ini_.WriteString(section, key, LineBreakKey(v));
  }

private:
  IniFile& ini_;
};

// The keys of each file in the order they are written. Io is a Reader (S a
// TSettings) or a Writer (S a const TSettings).
template <class Io, class S> void IntKeys(Io& r, S& s) {
  auto& w = s.Window;
  r.Int("Form", "Top", w.Rect.Top);
  r.Int("Form", "Left", w.Rect.Left);
  r.Int("Form", "Width", w.Rect.Width);
  r.Int("Form", "Height", w.Rect.Height);
  r.Int("Font", "Name", w.FontName);
  r.Int("Font", "Size", w.FontSize);
  r.Int("Top", "Space", s.TopSpace);
  r.Int("Left", "Space", s.LeftSpace);
  r.Int("Line", "Space", s.LineSpace);
  r.Int("Character", "Space", s.CharacterSpace);
  r.Int("Tab", "Count", s.TabCount);
  r.Int("Wrap", "Count", s.WrapCount);
  r.Int("Reserve", "ReserveType", s.ReserveType);
  r.Int("Separate", "SeparateType", s.SeparateType);
  r.Int("Number", "NumberType", s.NumberType);
  for (int i = 0; i < kSettingsBarCount; ++i) {
    r.Int(kBarSections[i], "Row", w.Bars[static_cast<size_t>(i)].Row);
    r.Int(kBarSections[i], "Pos", w.Bars[static_cast<size_t>(i)].Pos);
  }
  r.Int("Dic", "Type", s.DicType);
  r.Encoding("File", "Encoding", s.NewEncoding);
  r.LineBreak("File", "LineBreak", s.NewLineBreak);
}

std::string Numbered(const char* key, int i) { return key + std::to_string(i + 1); }

template <class Io, class S> void ColorKeys(Io& r, S& s) {
  r.Color("BKG", "Str", s.Background);
  for (int i = 0; i < kSettingsTokenCount; ++i) {
    const char* sec = TokenSection(static_cast<TSettingsToken>(i));
    r.Color(sec, "FStr", s.Tokens[static_cast<size_t>(i)].FStr);
    r.Color(sec, "BStr", s.Tokens[static_cast<size_t>(i)].BStr);
  }
  r.Color("Ret", "FStr", s.RetColor);
  r.Color("Eof", "FStr", s.EofColor);
  r.Color("LineNum", "FStr", s.LineNumColor);
  r.Color("LineNum", "BStr", s.LineNumBkColor);
  r.Color("Ruler", "FStr", s.RulerColor);
  r.Color("Ruler", "BStr", s.RulerBkColor);
  r.Color("Ruler", "MFStr", s.RulerMarkColor);
  r.Color("LineCorsor", "FStr", s.LineCursorColor);
  for (int i = 0; i < kDictionaryCount; ++i)
    r.Text("Dic", Numbered("Name", i).c_str(), s.DicName[static_cast<size_t>(i)]);
  for (int i = 0; i < kDictionaryCount; ++i)
    r.Text("Dic", Numbered("Adder", i).c_str(), s.DicAddress[static_cast<size_t>(i)]);
}

template <class Io, class S> void BoolKeys(Io& r, S& s) {
  r.Bool("Bool", "SameBkFlag", s.SameBkFlag);
  r.Bool("Bool", "AIndentFlag", s.AIndentFlag);
  r.Bool("Bool", "TIndentFlag", s.TIndentFlag);
  r.Bool("Bool", "FCaretFlag", s.FCaretFlag);
  r.Bool("Bool", "RetFlag", s.RetFlag);
  r.Bool("Bool", "EofFlag", s.EofFlag);
  r.Bool("Bool", "WrapFlag", s.WrapFlag);
  for (int i = 0; i < kSettingsTokenCount; ++i) {
    auto t = static_cast<TSettingsToken>(i);
    if (!TokenHasStyle(t)) continue;
    auto& tok = s.Tokens[static_cast<size_t>(i)];
    r.Bool(TokenSection(t), "Bold", tok.Bold);
    r.Bool(TokenSection(t), "Italic", tok.Italic);
    r.Bool(TokenSection(t), "UnderL", tok.UnderL);
  }
  r.Bool("LineNumber", "Show", s.LineNumberShow);
  r.Bool("Ruler", "Show", s.RulerShow);
  r.Bool("LCursor", "Show", s.LCursorShow);
  r.Bool("CommentOut", "Row", s.CommentOutRow);
  for (int i = 0; i < kSettingsShowCount; ++i)
    r.Bool("Show", kShowKeys[i], s.Window.Show[static_cast<size_t>(i)]);
}

} // namespace

TSettingsFileSet SettingsFilesFor(const std::string& programPath, const std::string& folder) {
  const std::string dir = folder.empty() ? FolderOf(programPath) : folder;
  const std::string b = (dir == "/" ? std::string() : dir) + "/" + BaseNameOf(programPath);
  return {b + "Int.ini", b + "Color.ini", b + "Bool.ini", b + ".ini",
          (dir == "/" ? std::string() : dir) + "/" + kReserveWordFile};
}

std::string ConfigFolder(const std::string& xdgConfigHome, const std::string& home) {
  // The XDG base-directory rules ignore a relative path.
  if (!xdgConfigHome.empty() && xdgConfigHome.front() == '/')
    return xdgConfigHome + "/" + kConfigSubfolder;
  return home + "/.config/" + kConfigSubfolder;
}

bool FolderWritable(const std::string& folder) {
  if (!IsDir(folder)) return false;
  std::string probe = folder + "/.zorvane-write-test-XXXXXX";
  int fd = ::mkstemp(probe.data());
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
}

std::string DefaultsFolder(const std::string& programPath) {
  const std::string dir = FolderOf(programPath);
  if (IsFile(SettingsFilesFor(programPath, dir).Int)) return dir;
  const std::string shared = dir + "/../share/" + kConfigSubfolder;
  if (IsFile(SettingsFilesFor(programPath, shared).Int)) return shared;
  return dir;
}

TSettingsLocation ChooseSettingsLocation(const std::string& programPath,
                                         bool programFolderWritable,
                                         const std::string& configFolder) {
  TSettingsLocation loc;
  loc.Defaults = SettingsFilesFor(programPath, DefaultsFolder(programPath));
  if (programFolderWritable) {
    loc.Files = SettingsFilesFor(programPath);
  } else {
    loc.Files = SettingsFilesFor(programPath, configFolder);
    loc.InConfigFolder = true;
  }
  return loc;
}

TSettingsLocation ChooseSettingsLocation(const std::string& programPath) {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  return ChooseSettingsLocation(programPath, FolderWritable(FolderOf(programPath)),
                                ConfigFolder(xdg ? xdg : "", home ? home : ""));
}

void ReadSettingsFiles(TSettings& s, const TSettingsFileSet& files,
                       std::vector<std::string>* problems) {
  {
    Reader r(files.Int, problems);
    IntKeys(r, s);
  }
  {
    Reader r(files.Color, problems);
    ColorKeys(r, s);
  }
  {
    Reader r(files.Bool, problems);
    BoolKeys(r, s);
  }
  ClampSettings(s);
}

TSettings LoadSettings(const TSettingsLocation& loc, std::vector<std::string>* problems) {
  TSettings s;
  if (loc.Defaults.Int != loc.Files.Int) ReadSettingsFiles(s, loc.Defaults, problems);
  ReadSettingsFiles(s, loc.Files, problems);
  return s;
}

void WriteSettingsFiles(const TSettings& s, const TSettingsFileSet& files) {
  std::string errors;
  auto attempt = [&](const std::string& path, void (*write)(const TSettings&, IniFile&)) {
    try {
      MakeFolders(FolderOf(path));
      IniFile ini(path);
      write(s, ini);
      ini.UpdateFile();
    } catch (const std::exception& e) {
      if (!errors.empty()) errors += "\n";
      errors += e.what();
    }
  };
  attempt(files.Int, [](const TSettings& s, IniFile& ini) {
    Writer w(ini);
    IntKeys(w, s);
  });
  attempt(files.Color, [](const TSettings& s, IniFile& ini) {
    Writer w(ini);
    ColorKeys(w, s);
  });
  attempt(files.Bool, [](const TSettings& s, IniFile& ini) {
    Writer w(ini);
    BoolKeys(w, s);
  });
  if (!errors.empty()) throw EFileError("設定ファイルを保存できませんでした:\n" + errors);
}

std::string ReserveWordFileToRead(const TSettingsLocation& loc) {
  if (IsFile(loc.Files.ReserveWords)) return loc.Files.ReserveWords;
  return loc.Defaults.ReserveWords;
}

} // namespace ze
