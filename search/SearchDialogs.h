#pragma once
// The search and replace dialogs and the functions that run them. Both
// dialogs keep their options and a history of recent texts in the user's
// settings store, under one key that both share, so a change made in one
// shows in the other. The texts are edited as Unicode and handed to the
// search engine as CP932.

#include <QDialog>
#include <QGroupBox>
#include <QStringList>

#include <functional>
#include <memory>

#include "search/SearchOptions.h"
#include "text/ByteString.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace ze {

class UserSettingsKey;

// The settings key of both dialogs.
inline constexpr const char* kSearchSettingsKey =
    "\\Software\\Morvell\\Delphi\\TStrings Property Editor";
// At most this many texts are remembered in each history.
inline constexpr int kSearchHistoryMax = 32;

// Modal results of the dialogs.
enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrAll = 8 };

// A group box of exclusive radio buttons laid out in columns; ItemIndex is
// the checked one, -1 for none.
class TRadioGroup : public QGroupBox {
  Q_OBJECT
public:
  TRadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent);
  int ItemIndex() const;
  void SetItemIndex(int index);
  int ItemCount() const { return static_cast<int>(buttons_.size()); }
  QRadioButton* Button(int index) const { return buttons_.at(size_t(index)); }

private:
  std::vector<QRadioButton*> buttons_;
};

// What both dialogs have: the search text with its history, the search
// direction and the four options.
class TFormSearchBase : public QDialog {
  Q_OBJECT
public:
  ~TFormSearchBase() override;

  QLabel* Label1;
  QComboBox* ComboBox1;
  TRadioGroup* RadioGroup1;
  QGroupBox* GroupBox1;
  QCheckBox* chkMatchCase;
  QCheckBox* chkWholeWord;
  QCheckBox* chkNoMatchZenkaku;
  QCheckBox* chkIncludeCRLF;
  QPushButton* btnOK;
  QPushButton* btnCancel;

  // The search text accepted by OK (CP932); empty until then.
  const ByteString& SearchText() const { return searchText_; }
  // The option word of the direction and the four check boxes.
  virtual TSearchOptions Options() const;

  // Shows problems to the user: text that CP932 cannot hold, a settings
  // file that cannot be read or written. A message box unless replaced.
  std::function<void(QWidget* parent, const QString& message)> Notice;

  // Loads the options and histories from the settings store, and saves
  // them. Problems with the file go to Notice; the dialog works on.
  void LoadSettings();
  void SaveSettings();

protected:
  TFormSearchBase(const QString& caption, int clientHeight, QWidget* parent);
  void showEvent(QShowEvent* event) override;
  // Clears what the dialog accepted and loads the settings.
  virtual void Prepare();
  virtual void LoadFrom(const UserSettingsKey& key);
  virtual void SaveTo(UserSettingsKey& key) const;

  // The text of combo box as CP932; false after telling the user when it
  // holds characters CP932 cannot hold.
  bool ConvertText(QComboBox* combo, ByteString& out);
  // Moves the edit text to the top of the history (nothing when empty).
  static void AcceptHistory(QComboBox* combo);
  static void LoadHistory(const UserSettingsKey& key, const char* section, QComboBox* combo);
  static void SaveHistory(UserSettingsKey& key, const char* section, const QComboBox* combo);

  ByteString searchText_;
};

// The search dialog: caption "  検 索".
class TFormSearch : public TFormSearchBase {
  Q_OBJECT
public:
  explicit TFormSearch(QWidget* parent = nullptr);

private:
  void OnOK();
};

// The replace dialog: caption "  置 換"; a replacement text with its own
// history, a "replace all" button and the confirmation check box.
class TFormReplace : public TFormSearchBase {
  Q_OBJECT
public:
  explicit TFormReplace(QWidget* parent = nullptr);

  QLabel* Label2;
  QComboBox* ComboBox2;
  QPushButton* btnAll;
  QCheckBox* chkReplaceConfirm;

  const ByteString& ReplaceText() const { return replaceText_; }
  // The accumulator (soReplace or soReplaceAll), the search options and
  // soReplaceConfirm when that box is checked.
  TSearchOptions Options() const override;

protected:
  void Prepare() override;
  void LoadFrom(const UserSettingsKey& key) override;
  void SaveTo(UserSettingsKey& key) const override;

private:
  void Accept(TSearchOptions button, TModalResult result);

  ByteString replaceText_;
  TSearchOptions accumulator_ = 0;
};

// Runs the search dialog. True when it was closed with OK and a search
// text; then findText and options hold what was chosen. Otherwise both are
// cleared (options 0).
bool SearchDialog(ByteString& findText, TSearchOptions& options, QWidget* parent = nullptr);
// Runs the replace dialog. True when it was closed with OK or All and both
// texts are non-empty (so nothing can be replaced by an empty text); then
// the three outputs hold what was chosen. Otherwise they are cleared.
bool ReplaceDialog(ByteString& findText, ByteString& replaceText, TSearchOptions& options,
                   QWidget* parent = nullptr);

} // namespace ze
