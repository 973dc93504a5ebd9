#pragma once
// The main window TForm1: the toolbars and the menu bar built from the
// command table, the font bar, the tab pages with their editors, and the
// status bar. Its implementation is split by concern:
//   MainWindow.cpp          creation, bars, menus, status bar, font bar
//   MainWindowPages.cpp     pages and documents, active editor, refreshes
//   MainWindowCommands.cpp  the command handlers this window provides
//   MainWindowClose.cpp     the close query, Exit, writing the settings

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandActions.h"
#include "app/CommandState.h"
#include "app/DocumentList.h"
#include "app/PageWidget.h"
#include "app/settings/Settings.h"
#include "app/settings/SettingsFiles.h"
#include "platform/Keys.h"

class QComboBox;
class QLabel;
class QMimeData;
class QTabWidget;
class QToolBar;

namespace ze {

class TEditor;
class TEditorProp;
class TEditorWidget;
struct TFileFormat;
class TPrompter;

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
  // file does not exist or cannot be read (reported).
  bool OpenByName(const std::string& path);
  // Opens dropped files (on the window or an editor), in order: a file
  // already open in a page is named in a message, the others open.
  void DropFiles(const std::vector<std::string>& names);
  // Closes the active page without asking; never the last one.
  void CloseActivePage();
  bool SaveActive();
  bool SaveActiveAs();
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

  // Keys of the page editors before the editor handles them (code
  // templates, numbered lists): true takes the key away from the editor.
  // Key releases follow the editor's own handling (mark clean-up).
  std::function<bool(TEditor& editor, int virtualKey, TShiftState shift)> OnEditorKeyDown;
  std::function<void(TEditor& editor, int virtualKey, TShiftState shift)> OnEditorKeyUp;

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

protected:
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dropEvent(QDropEvent* e) override;

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
  bool LoadInto(TEditorWidget* w, const std::string& path);
  // Opens a named file unless it is missing, not a file or open already
  // (those are reported, a missing one only when reportMissing).
  void OpenNamedFile(const std::string& name, bool reportMissing);
  void FollowDragOverTabs(const QPoint& windowPos, const QMimeData* data);
  bool SaveTo(TEditor& e, const std::string& path);
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
};

} // namespace ze
