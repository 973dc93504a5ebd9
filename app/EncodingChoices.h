#pragma once
// The encoding and line-break choices of the File menu and the texts the
// window shows about a document's file format. Qt-free, so that the
// mapping and the texts are tested without a window.

#include <string>

#include "app/Commands.h"
#include "platform/Encoding.h"

namespace ze {

inline constexpr int kEncodingCount = 7;
inline constexpr int kLineBreakCount = 3;

// The command that reads the file again in e, or that saves in e.
TCommandId ReopenCommand(TEncoding e);
TCommandId SaveEncodingCommand(TEncoding e);
TCommandId LineBreakCommand(TLineBreak b);
// The choice a command stands for; false when it is none of them.
bool ReopenChoice(TCommandId id, TEncoding& e);
bool SaveEncodingChoice(TCommandId id, TEncoding& e);
bool LineBreakChoice(TCommandId id, TLineBreak& b);

// The status-bar text of a document's format: "UTF-8  LF", and
// "Shift-JIS  LF (混在)" for a file whose lines end in several ways.
std::string FileFormatText(TEncoding e, TLineBreak b, bool mixed);

// The message after loading a file whose text the editor cannot hold
// exactly; problem says where and what (line, column, character).
std::string NotExactMessage(const std::string& path, const std::string& problem, TEncoding e);

// The message when a file to insert holds text the document cannot hold
// exactly (nothing is inserted).
std::string NotInsertedMessage(const std::string& path, const std::string& problem, TEncoding e);

// The question before a modified document is read again in e.
std::string ReopenQuestion(const std::string& path, TEncoding e);

// What a file of ASCII bytes only is read as when new documents get e:
// e itself, except that such a file cannot be UTF-16 (it has no byte
// order mark and would read as garbage), so it stays Shift-JIS.
TEncoding AsciiReadingOf(TEncoding e);

} // namespace ze
