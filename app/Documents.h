#pragma once
// Qt-free helpers about document files and the texts that describe them.

#include <cstdint>
#include <string>

namespace ze {

// The tab caption of a path: the file name without folder and extension;
// "Untitled" stays itself.
std::string PageCaption(const std::string& path);

// What became of a file named to be opened (dialog, command line, drop).
enum class TFileCheck { Ok, Missing, NotRegular, TooBig, Unreadable };

// The largest file opened as a document: half of the machine's memory,
// so that loading it cannot exhaust it.
uint64_t MaxDocumentBytes();

// Makes a name absolute against the current folder and resolves links and
// "." / ".." into the file's canonical path; only regular files that can
// be read and are at most maxBytes long pass. A FIFO or a device is never
// opened here, so the check cannot block. canonical is set when the
// result is Ok; reason tells why a file cannot be read.
TFileCheck CheckFileToOpen(const std::string& name, std::string& canonical);
TFileCheck CheckFileToOpen(const std::string& name, std::string& canonical, uint64_t maxBytes,
                           std::string* reason = nullptr);

// The box for a file that did not pass (empty for Ok).
std::string FileCheckMessage(TFileCheck check, const std::string& name,
                             const std::string& reason = {});

// True when a file's permission bits let nobody write it, or this user
// cannot; such a file is opened read-only.
bool FileIsReadOnly(const std::string& path);

// A dialog filter in the form "name|patterns|name|patterns" (patterns
// separated by ';') in Qt's form "name (patterns);;name (patterns)".
// A name's own parenthesised pattern list is replaced, and "*.*" becomes
// "*" (on this system a file name need not have a dot).
std::string QtFilter(const std::string& pairs);
// The dialogs' default extension: a name chosen without an extension
// gets it (for opening only when the name itself is no file).
inline constexpr const char* kDefaultExtension = "txt";
std::string WithDefaultExtension(const std::string& name);
// The folder a dialog starts in for a page's path (empty for "Untitled").
std::string DialogFolder(const std::string& path);
inline constexpr const char* kOpenFilter =
    "テキスト形式|*.txt;*.pas;*rtf;*.euc;*.sgm;*.sgml;*.sjs|全てのファイル (*.*)|*.*";
inline constexpr const char* kSaveFilter = "テキストファイル (*.txt)|*.txt|全てのファイル|*.*";

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
std::string MissingMessage(const std::string& path);
std::string InUseMessage(const std::string& path);
std::string CloseQuestion(const std::string& caption);
inline constexpr const char* kClearQuestion =
    "このページの全内容をクリアします。　よろしいですか？";
std::string SaveFailedMessage(const std::string& path, const std::string& reason);
std::string LoadFailedMessage(const std::string& path, const std::string& reason);
std::string ChangedOnDiskQuestion(const std::string& path);
std::string OverwriteQuestion(const std::string& path);

} // namespace ze
