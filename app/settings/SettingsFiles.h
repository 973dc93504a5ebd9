#pragma once
// Where the settings files live and how they are read and written.
//
// The files sit beside the program and are named after it: the program
// path without its extension followed by "Int.ini", "Color.ini",
// "Bool.ini" (and ".ini" for the printing settings), and "予約語.txt" in
// the same folder. When the program's folder cannot be written (an
// installed binary), the same names are used in
// $XDG_CONFIG_HOME/ZorvaneEditor/ (default ~/.config/ZorvaneEditor/); the
// shipped files stay the defaults there.
//
// Reading never fails: a missing or unreadable file, a missing key or a
// value that is not a number or not a colour keeps the value already in
// memory, which starts as the shipped default; every value is clamped.
// Writing goes through a temporary file renamed over the old one.

#include <string>
#include <vector>

#include "app/settings/Settings.h"

namespace ze {

struct TSettingsFileSet {
  std::string Int, Color, Bool, Printer, ReserveWords;
};

struct TSettingsLocation {
  // The files read at start-up and written at close.
  TSettingsFileSet Files;
  // The shipped defaults, read first so that what Files lacks has its
  // default. The same paths as Files when the program's folder is used.
  TSettingsFileSet Defaults;
  // True when Files are in the per-user configuration folder.
  bool InConfigFolder = false;
};

// The files for programPath in folder (programPath's own folder when
// folder is empty): B + "Int.ini" etc., where B is the program's file
// name without its extension.
TSettingsFileSet SettingsFilesFor(const std::string& programPath, const std::string& folder = {});

// $XDG_CONFIG_HOME/ZorvaneEditor, or home/.config/ZorvaneEditor when
// xdgConfigHome is empty or not an absolute path.
std::string ConfigFolder(const std::string& xdgConfigHome, const std::string& home);

// True when a file can be created in folder (tried, then removed).
bool FolderWritable(const std::string& folder);

// The folder of the shipped defaults: the program's folder when it holds
// them, else <program folder>/../share/ZorvaneEditor when that does,
// else the program's folder.
std::string DefaultsFolder(const std::string& programPath);

// The program's folder when it is writable, else the configuration
// folder; the defaults come from DefaultsFolder.
TSettingsLocation ChooseSettingsLocation(const std::string& programPath,
                                         bool programFolderWritable,
                                         const std::string& configFolder);
// The same with the real writability test and the environment.
TSettingsLocation ChooseSettingsLocation(const std::string& programPath);

// Reads the three files over s in order (Int, Color, Bool), each key with
// the value in s as its default, then clamps s. Problems (unreadable
// files, values that are not numbers or colours) are appended to
// problems when given; they never stop the reading.
void ReadSettingsFiles(TSettings& s, const TSettingsFileSet& files,
                       std::vector<std::string>* problems = nullptr);

// The settings for a start: the shipped defaults, then the files of loc.
TSettings LoadSettings(const TSettingsLocation& loc, std::vector<std::string>* problems = nullptr);

// Writes Int.ini, Color.ini and Bool.ini, every key in order, keeping
// whatever else the files hold; creates the folder when needed. All three
// are attempted; raises EFileError naming every file that failed.
void WriteSettingsFiles(const TSettings& s, const TSettingsFileSet& files);

// The reserved-word file to read: the one in loc.Files when it exists,
// else the shipped one.
std::string ReserveWordFileToRead(const TSettingsLocation& loc);

} // namespace ze
