#pragma once
// Questions and notices to the user, and the file dialogs, behind one seam:
// the program shows Qt message boxes and dialogs, tests answer from a script.
// Texts are UTF-8; paths are native paths.

#include <optional>
#include <string>
#include <vector>

namespace ze {

// The icon and meaning of a message box.
enum class TMsgKind { Information, Warning, Error, Confirmation };
// The buttons offered.
enum class TMsgButtons { Ok, OkCancel, YesNo, YesNoCancel, YesNoCancelAll };
// The button chosen; Cancel also when the box is closed without a choice.
enum class TMsgResult { Ok, Cancel, Yes, No, All };

class TPrompter {
public:
  virtual ~TPrompter() = default;

  virtual TMsgResult Message(const std::string& text, TMsgKind kind, TMsgButtons buttons,
                             const std::string& caption = {}) = 0;

  // The open dialog: the chosen files (several when multi), none on Cancel.
  // filter is in Qt's form: "テキスト (*.txt);;すべてのファイル (*)".
  virtual std::vector<std::string> AskOpenFileNames(const std::string& title,
                                                    const std::string& filter,
                                                    const std::string& startDir,
                                                    bool multi) = 0;
  // The save dialog: the chosen file, nothing on Cancel.
  virtual std::optional<std::string> AskSaveFileName(const std::string& title,
                                                     const std::string& filter,
                                                     const std::string& suggested) = 0;

  // Shorthands.
  void Notice(const std::string& text) { Message(text, TMsgKind::Information, TMsgButtons::Ok); }
  void Error(const std::string& text) { Message(text, TMsgKind::Error, TMsgButtons::Ok); }
};

} // namespace ze
