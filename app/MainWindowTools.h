#pragma once
// The Tools menu of the main window: the settings dialog, the
// reserved-word editor and the web dictionary, plugged into the window's
// command table. Each command shows its dialog modally; what the dialog
// hands back goes to the settings, EditorProp1 and the editors of the
// active page (the other pages receive EditorProp1 when they are next
// activated).

#include <functional>
#include <string>

class QDialog;

namespace ze {

class TForm1;
class TPrompter;

struct TToolDialogHooks {
  // Shows a dialog modally and returns its result; QDialog::exec unless
  // replaced (tests answer the dialog here).
  std::function<int(QDialog& dialog)> Exec;
  // Opens a dictionary address that passed the check; the desktop's
  // browser unless replaced.
  std::function<void(const std::string& address)> OpenAddress;
};

// Sets the handlers of "  環境 設定", "  予約語 編集" and " Web 辞書".
void InstallToolHandlers(TForm1& window, TPrompter& prompter, TToolDialogHooks hooks = {});

} // namespace ze
