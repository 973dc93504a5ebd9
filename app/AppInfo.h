#pragma once
// The program's name, version and help pages.

#include <string>

namespace ze {

inline constexpr const char* kProgramName = "ZorvaneEditor";
// The feature description and the version page, shipped beside the
// program (or with its installed data).
inline constexpr const char* kHelpPage = "ZorvaneEditorHelp.html";
inline constexpr const char* kVersionPage = "ZorvaneEditorVersion.html";

// This build's version ("0.1.0").
std::string ProgramVersion();
// The text of the about box.
std::string AboutText();

} // namespace ze
