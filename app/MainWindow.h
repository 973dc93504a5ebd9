#pragma once
// The main window TForm1: the toolbars and the menu bar built from the
// command table, the font bar, the tab pages with their editors, and the
// status bar. Its implementation is split by concern:
//   MainWindow.cpp          creation, bars, menus, status bar, font bar
//   MainWindowPages.cpp     pages and documents, active editor, refreshes
//   MainWindowCommands.cpp  the command handlers this window provides
//   MainWindowEdit.cpp      the Edit and Search commands, double-click
//   MainWindowMarks.cpp     the Mark menu, template keys, mark clean-up
//   MainWindowClose.cpp     the close query, Exit, writing the settings
//   MainWindowDocuments.cpp opening, inserting, saving and closing files

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/CommandActions.h"
#include "app/CommandState.h"
#include "app/DocumentList.h"
#include "app/Documents.h"
#include "app/PageWidget.h"
#include "app/commands/EditCommands.h"
#include "app/commands/SearchCommands.h"
#include "app/settings/Settings.h"
#include "app/settings/SettingsFiles.h"
#include "platform/Keys.h"

class QComboBox;
class QLabel;
class QMimeData;
class QMouseEvent;
class QTabWidget;
class QToolBar;

namespace ze {

class TEditor;
class TEditorProp;
class TEditorWidget;
struct TFileFormat;
class TPrompter;
class TWindowDropTarget;
class TPrintController;

class TForm1 : public QMainWindow {
  Q_OBJECT
public:
  struct TOptions {
    // The program file the settings files are named after; empty: this
    // program's.
    std::string ProgramPath;
    // Where the settings files are read and written; empty: beside the
    // program, or the user's config folder when that is not writable.
    std::string SettingsDir;
    // Where the help pages are; empty: with the shipped defaults.
    std::string DataDir;
    // Makes the page editors; empty: plain TEditorWidget.
    TPageWidget::TEditorFactory EditorFactory;
    // Opens a help page (a URL); empty: the desktop's browser.
    std::function<void(const std::string& url)> OpenUrl;
    // Today's date for the date commands; empty: the system clock.
    TClock Clock;
    // The search and replace dialogs; empty: the program's own.
    TSearchDialogFn SearchDialog;
    TReplaceDialogFn ReplaceDialog;
    // Asks about one replacement in a box placed beside the caret; off:
    // the prompter's Yes/No/Cancel/All question (tests).
    bool PlaceReplaceQuestion = false;
  };

  TForm1(TPrompter& prompter, TOptions options, QWidget* parent = nullptr);
  ~TForm1() override;

  // ---- settings
  TEditorProp& EditorProp1() const { return *prop_; }
  TSettings& Settings() { return settings_; }
  const TSettingsLocation& SettingsLocation() const { return location_; }
  // Copies an editor's settings into EditorProp1, and EditorProp1 onto an
  // editor; a property that cannot be copied is reported, the others are.
  void TakeProp(const TEditor& e);
  void ApplyProp(TEditor& e);

  // ---- start-up: the files named on the command line, in order.
  void OpenStartFiles(const std::vector<std::string>& names);

  // ---- pages and the active editor
  const TDocumentList<TPageWidget>& Documents() const { return docs_; }
  int PageCount() const { return docs_.Count(); }
  TPageWidget* ActivePage() const { return docs_.Active(); }
  TEditorWidget* ActiveEditorWidget() const;
  TEditor* ActiveEditor() const;
  // On a split page the editor that is not the active one.
  TEditorWidget* OtherEditorWidget() const;
  bool IsSplit() const;
  void SetActivePage(int index);
  QTabWidget* PageControl1() const { return pageControl_; }

  // Creates a page for a path (or "Untitled") and makes it active; its
  // editor receives the settings of EditorProp1.
  TPageWidget* CreatePage(const std::string& path);
  // Loads a file into the active empty page or a new one. False when the
  // file does not exist (reported only with reportMissing), is open already, is no regular file,
  // is too big or cannot be read (reported). The page takes the file's
  // path only once it holds the file.
  bool OpenByName(const std::string& name, bool reportMissing = false);
  // Opens dropped files (on the window or an editor), in order: a file
  // already open in a page is named in a message, the others open.
  void DropFiles(const std::vector<std::string>& names);
  // Closes the active page without asking; never the last one.
  void CloseActivePage();
  // Save, Save as and the save-as action: true only when the file was
  // written. A failure is reported and leaves the page modified.
  bool SaveActive();
  bool SaveActiveAs();
  bool SaveAsAction(const std::string& name);
  // Asks about a modified active page; true when it may close.
  bool PageCloseQuery();
  // Closes every unmodified page but the last one.
  void CloseUnModifiedPages();
  // The window's drop target (files dropped on the window or an editor).
  TWindowDropTarget* DropTarget() const { return dropTarget_; }
  // Everything that depends on the active page.
  void PageControl1Change();
  // Every load of a file into a page ends here: a text the editor cannot
  // hold exactly makes the page's editors read-only and is reported; the
  // format panel follows.
  void AfterLoad(TEditorWidget* w, const std::string& path);
  // After a document was written: its lines now all end in one way.
  void AfterSave(TEditor& e);

  // ---- commands
  QAction* Action(TCommandId id) const { return actions_->Action(id); }
  // Plugs a command's handler in; the command is enabled by the state
  // rules from then on.
  void SetHandler(TCommandId id, std::function<void()> handler);
  // Runs a command when its state allows it; false when it did not run.
  bool Run(TCommandId id);
  TCommandSnapshot Snapshot() const;
  // Computes every command's state and applies it to the actions.
  void RefreshCommands();
  // The same for the refreshes that follow every key, caret move and
  // change: the Mark commands' states are not looked up row by row but
  // taken from the marks the document may hold (exact when a command
  // runs and when the Mark menu opens).
  void RefreshCommandsQuick();

  // Keys of the page editors before the editor handles them (code
  // templates, numbered lists): true takes the key away from the editor.
  // Key releases follow the editor's own handling (mark clean-up).
  std::function<bool(TEditor& editor, int virtualKey, TShiftState shift)> OnEditorKeyDown;
  std::function<void(TEditor& editor, int virtualKey, TShiftState shift)> OnEditorKeyUp;

  // ---- search: the find text, replace text and options of this window.
  TSearchState& SearchState() { return search_; }

  // ---- bars
  QToolBar* Bar(TBarId id) const { return bars_[static_cast<std::size_t>(id)]; }
  QComboBox* FontNameBox() const { return fontName_; }
  QComboBox* FontSizeBox() const { return fontSize_; }
  QString StatusText(int panel) const;
  // The editors' context menu as it pops up for the active editor.
  std::unique_ptr<QMenu> CreateContextMenu();

  // The view features the View menu switches (applied to every page).
  bool LineNumbersOn() const { return lineNumbers_; }
  bool RulerOn() const { return ruler_; }
  bool LineCursorOn() const { return lineCursor_; }

  // ---- printing (MainWindowPrint.cpp)
  TPrintController& PrintController() const { return *print_; }
  // True while a print command runs (pages built, preview or dialogs shown).
  bool PrintBusy() const;

protected:
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;

private:
  // MainWindow.cpp
  void BuildBars();
  void BuildStatusBar();
  void BuildFontBar(QToolBar* bar);
  void FillFontNames();
  void PlaceBars();
  void SetStatus(int panel, const std::string& text);
  void FontNameChosen(int index);
  void FontSizeChosen(int index);
  void ShowError(const std::string& what);

  // MainWindowPages.cpp
  void HookEditor(TEditorWidget* w);
  void CaretMoved(TEditorWidget* w);
  void EditorChange(TEditorWidget* w);
  void EditorEnter(TEditorWidget* w);
  void RefreshCaptionAndStatus();
  void ApplyViewFeatures(TEditor& e);
  void UpdateMarkColumn(TEditor& e);
  void TabChanged(int index);

  // MainWindowCommands.cpp
  void InstallHandlers();
  void ToggleView(TCommandId id);
  void ToggleBar(TCommandId id);
  void Divide();
  void NewPage();
  void OpenFiles();
  void ClosePageCommand();
  void ClearPage();
  void AddReadFile();
  void ExitCommand();
  void About();
  void OpenHelp(const char* file);
  bool ShortcutTaken(const QKeyEvent& e);

  // MainWindowDocuments.cpp
  void InstallDocumentHandlers();
  void HookDropFiles(TEditorWidget* w);
  void SetPagePath(int index, const std::string& path);
  bool LoadInto(TEditorWidget* w, const std::string& path);
  // Loads a checked file (canonical path, not open yet).
  bool OpenChecked(const std::string& path);
  // Opens a named file unless it is missing, not a file or open already
  // (those are reported, a missing one only when reportMissing).
  void OpenNamedFile(const std::string& name, bool reportMissing);
  // Writes the active page's text to path; when path is the file the page
  // holds and another program wrote it since, asks first. False when
  // nothing was written (refused or failed, and reported).
  bool SaveTo(TEditor& e, const std::string& path);
  std::optional<std::string> AskSaveName();
  // The open dialog for Open and insert; empty when cancelled.
  std::string AskOpenName(const std::string& title);
  // MainWindowPrint.cpp
  void InstallPrintHandlers();
  void RunPrint(TCommandId id);
  // While a print command runs, cancels it and keeps then for when it has
  // returned; false (nothing kept) when no print command runs.
  bool DeferWhilePrinting(std::function<void()> then);
  bool DeferCloseWhilePrinting();
  bool DeferPageCloseWhilePrinting();
  // MainWindowEdit.cpp
  void InstallEditHandlers();
  // The active page's views, with the other one of a split page.
  TDocumentViews Views();
  TMsgResult AskReplacePlaced(const std::string& text, const TConfirmAnchor& where);
  void ReplaceCommandRun();
  // A double-click in an editor; true when it was handled here.
  bool EditorDoubleClick(TEditorWidget* w, QMouseEvent* e);

  // MainWindowMarks.cpp
  void InstallMarkHandlers();
  void FillMarkSnapshot(const TEditor& e, TCommandSnapshot& s) const;
  // The Mark menu's submenus follow the states of their items.
  void RefreshMarkSubmenus();
  // A Mark menu shortcut whose command cannot act now still belongs to
  // the menu: it does nothing instead of moving the caret.
  bool MarkKeyTaken(const QKeyEvent& e) const;
  // MainWindowEncoding.cpp
  void InstallEncodingHandlers();
  // A new page's document: the default encoding and line break.
  void ApplyNewDocumentFormat(TEditor& e);
  void RefreshFileFormatStatus();
  void ReopenAs(TEncoding encoding);
  void ChooseSaveFormat(const TFileFormat& f);
  // The two editors of a split page show one text, yet each keeps the
  // format it is saved in: the other editor of from's page takes from's
  // format and read-only state.
  void ShareFileFormat(TEditorWidget* from);
  // A file's bytes for inserting into the active document: read in the
  // file's own encoding. False when its text cannot be held exactly
  // (reported); nothing is to be inserted then.
  bool DecodeInserted(const std::string& path, std::string& bytes);

  // MainWindowClose.cpp
  bool CloseQuery();
  // Takes the window's state into the settings and writes the files;
  // false when writing failed (reported).
  bool WriteSettings();

  // MainWindowSettings.cpp
  void ReadSettings();
  void ApplyStartViewFeatures();
  void TakeBarPlaces();
  void ReportCopyFailures(const std::vector<struct TPropCopyFailure>& failures);

  TPrompter& prompter_;
  TOptions options_;
  std::unique_ptr<TEditorProp> prop_;
  TSettings settings_;
  TSettingsLocation location_;
  std::vector<std::string> settingsProblems_;
  TDocumentList<TPageWidget> docs_;
  QTabWidget* pageControl_ = nullptr;
  TCommandActions* actions_ = nullptr;
  std::array<std::function<void()>, kCommandCount> handlers_{};
  std::array<QToolBar*, kBarCount> bars_{};
  QComboBox* fontName_ = nullptr;
  QComboBox* fontSize_ = nullptr;
  std::array<QLabel*, 6> panels_{};
  bool lineNumbers_ = false, ruler_ = false, lineCursor_ = false;
  bool building_ = true;
  bool closing_ = false;
  TWindowDropTarget* dropTarget_ = nullptr;
  std::unique_ptr<TPrintController> print_;
  std::vector<std::function<void()>> afterPrint_;
  TSearchState search_;
  bool quickMarks_ = false;
};

} // namespace ze
