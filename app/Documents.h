#pragma once
// Qt-free helpers about document files and the texts that describe them.

#include <string>

namespace ze {

// The tab caption of a path: the file name without folder and extension;
// "Untitled" stays itself.
std::string PageCaption(const std::string& path);

// What became of a file named to be opened (command line, drop).
enum class TFileCheck { Ok, Missing, NotRegular };

// Makes a name absolute against the current folder and resolves links and
// "." / ".." into the file's canonical path; only regular files pass.
// canonical is set when the result is Ok.
TFileCheck CheckFileToOpen(const std::string& name, std::string& canonical);

// The text of a file inserted at the caret: its lines (ended by CR LF, LF
// or CR), each followed by CR LF, the last one included.
std::string LinesWithBreaks(const std::string& bytes);

// Status bar texts.
std::string CaretPositionText(int row, int col); // "%5d 行  :%4d 桁", 1-based
std::string ModifiedText(bool modified);         // " 変更" or empty
std::string OverWriteText(bool overWrite);       // " 上書" or " 挿入"
std::string BoxModeText(bool box);               // " 矩形選択" or empty
std::string ReadOnlyText(bool readOnly);         // " 読出し専用" or empty

// Messages.
std::string AlreadyOpenMessage(const std::string& path);
std::string NotAFileMessage(const std::string& path);
std::string CloseQuestion(const std::string& caption);

} // namespace ze
