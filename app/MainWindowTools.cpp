#include "app/MainWindowTools.h"

#include <QDialog>
#include <filesystem>
#include <vector>

#include "app/MainWindow.h"
#include "app/dialogs/DicForm.h"
#include "app/dialogs/ReserveForm.h"
#include "app/options/OptionForm.h"
#include "editorprop/EditorProp.h"
#include "platform/Prompter.h"
#include "platform/qt/EditorWidget.h"

namespace ze {
namespace {

// The editors of the active page, the page's own first.
std::vector<TEditor*> PageEditors(const TForm1& w) {
  std::vector<TEditor*> out;
  if (TPageWidget* page = w.ActivePage()) {
    if (page->Editor()) out.push_back(page->Editor()->Editor());
    if (page->SecondEditor()) out.push_back(page->SecondEditor()->Editor());
  }
  return out;
}

// EditorProp1 onto every editor of the active page, the last first.
void ApplyToActivePage(TForm1& w) {
  std::vector<TEditor*> editors = PageEditors(w);
  for (auto it = editors.rbegin(); it != editors.rend(); ++it)
    w.ApplyProp(**it);
}

void ShowOptions(TForm1& w, TPrompter& prompter, const TToolDialogHooks& hooks) {
  if (TEditor* active = w.ActiveEditor()) w.TakeProp(*active);
  TOptionForm form(w.Settings(), w.EditorProp1(), &w);
  form.OnOk = [&w, &prompter](const TOptionValues& values, const TEditorProp& edited) {
    CommitOptions(values, w.Settings());
    // What cannot be copied keeps its old value; the rest still applies.
    const TPropCopyFailures failures = w.EditorProp1().TakeFrom(&edited);
    if (!failures.empty()) {
      std::string text = "設定の一部を反映できませんでした。";
      for (const TPropCopyFailure& f : failures)
        text += "\n" + f.Property + ": " + f.Message;
      prompter.Error(text);
    }
    ApplyToActivePage(w);
  };
  hooks.Exec(form);
  w.RefreshCommands();
}

// The user's reserved-word file. Until the user has one the words come
// from the shipped file; it is copied over first so that the editor shows
// the words in use and the first save keeps them.
std::string ReserveWordPath(TForm1& w, TPrompter& prompter) {
  const TSettingsLocation& loc = w.SettingsLocation();
  const std::string& path = loc.Files.ReserveWords;
  const std::string shipped = ReserveWordFileToRead(loc);
  std::error_code ec;
  if (shipped != path && !std::filesystem::exists(path, ec) &&
      std::filesystem::exists(shipped, ec)) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    if (!std::filesystem::copy_file(shipped, path, ec))
      prompter.Error(path + " を作れません: " + ec.message());
  }
  return path;
}

void ShowReserveWords(TForm1& w, TPrompter& prompter, const TToolDialogHooks& hooks) {
  if (TEditor* active = w.ActiveEditor()) w.TakeProp(*active);
  TReserveForm form(
      ReserveWordPath(w, prompter), prompter, [&w](TEditor& e) { w.ApplyProp(e); }, &w);
  form.OnSaved = [&w](const TStrings& words) {
    w.EditorProp1().SetReserveWordList(&words);
    ApplyToActivePage(w);
  };
  hooks.Exec(form);
}

void ShowDictionary(TForm1& w, TPrompter& prompter, const TToolDialogHooks& hooks) {
  TSettings& s = w.Settings();
  TDicSettings dic{s.DicName, s.DicAddress, s.DicType};
  TDicForm form(dic, prompter, &w);
  if (hooks.OpenAddress) form.OpenAddress = hooks.OpenAddress;
  hooks.Exec(form);
  // Names and addresses are kept on any close; the choice on OK only
  // (the form leaves it alone otherwise).
  s.DicName = dic.Names;
  s.DicAddress = dic.Addresses;
  s.DicType = dic.Type;
}

} // namespace

void InstallToolHandlers(TForm1& window, TPrompter& prompter, TToolDialogHooks hooks) {
  if (!hooks.Exec) hooks.Exec = [](QDialog& d) { return d.exec(); };
  TForm1* w = &window;
  TPrompter* p = &prompter;
  window.SetHandler(TCommandId::OptionSetting, [w, p, hooks] { ShowOptions(*w, *p, hooks); });
  window.SetHandler(TCommandId::ReserveWordEdit,
                    [w, p, hooks] { ShowReserveWords(*w, *p, hooks); });
  window.SetHandler(TCommandId::BrowserOpen, [w, p, hooks] { ShowDictionary(*w, *p, hooks); });
}

} // namespace ze
