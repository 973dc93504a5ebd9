#pragma once
// The settings dialog: colours and styles of the token kinds and the
// editor's parts, margins, tab and wrap widths, editing flags, template
// case and numbered lists, with a read-only preview that shows every
// change at once. It edits copies: the settings and the active page's
// property store it is given are never touched. OK hands the edited
// values and the edited store to OnOk; Cancel drops them.

#include <QDialog>
#include <array>
#include <functional>
#include <map>
#include <memory>

#include "app/options/Options.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace ze {

class TColorGrid;
class TEditorWidget;
class TRightEdit;
class TUpDown;

class TOptionForm : public QDialog {
  Q_OBJECT
public:
  // settings: the in-memory settings; active: the active editor's
  // settings (EditorProp1 just taken from it), whose line-number, ruler
  // and line-cursor state OK keeps.
  TOptionForm(const TSettings& settings, const TEditorProp& active, QWidget* parent = nullptr);
  ~TOptionForm() override;

  // Called by OK with the working copies and the active store with them
  // applied, before the dialog closes.
  std::function<void(const TOptionValues& values, const TEditorProp& edited)> OnOk;

  // The working copies as they stand.
  const TOptionValues& Values() const { return values_; }
  // The active store with the working copies applied (complete after OK).
  const TEditorProp& Edited() const { return *edited_; }
  // The selected colour item, -1 for none.
  int Item() const { return item_; }

  TEditorWidget* Editor1;
  std::unique_ptr<TEditorProp> EditorProp2; // the preview's settings
  QListWidget* ListBox1;
  TColorGrid* ColorGrid1;
  QCheckBox *FB_CheckBox, *BG_CheckBox;
  QCheckBox *BoldCheckBox, *ItalicCheckBox, *UnderLCheckBox;
  QCheckBox* FitBackground;
  TRightEdit *TopSpaceEdit, *LeftSpaceEdit, *LineSpaceEdit, *CharacterSpaceEdit;
  TUpDown *TopMarginUpDown, *LeftMarginUpDown, *LineMarginUpDown, *CharacterMarginUpDown;
  QCheckBox* CheckBoxWrap;
  TRightEdit* WrapWidthEdit;
  TUpDown* WrapWidthUpDown;
  TRightEdit* TabWidthEdit;
  TUpDown* TabWidthUpDown;
  QCheckBox *CheckBoxAutoIndent, *CheckBoxFreeCaret, *ChekBoxRetMark, *CheckBoxEofMark,
      *CheckBoxTabIndent, *CheckBoxComment;
  QRadioButton *RadioLower, *RadioUpper, *RadioHedUpper, *RadioUnSupply;
  QRadioButton *Radio1Base, *Radio0Base;
  QComboBox* SeparaterCombo;
  // New documents: their encoding and line break.
  QComboBox *EncodingCombo, *LineBreakCombo;
  QLabel* HintLabel; // what the number fields have to say
  QPushButton *OK, *CancelButton;

  void accept() override;

private:
  void BuildControls();
  void Connect();
  void LoadControls();
  void SelectItem(int item);
  void UpdateDefaultBoxes();
  void SetFitBox(bool on);
  // A colour chosen for the selected item: stored, shown, and the boxes
  // that depend on it brought up to date.
  void ColorChosen(bool text, TColor c);
  void DefaultBoxClicked(bool text, bool on);
  void StyleClicked();
  void FitClicked(bool on);
  void RadiosChanged();
  void ShowHint(const QString& hint);
  void RefreshPreview();

  TOptionValues values_;
  std::unique_ptr<TEditorProp> edited_;
  int item_ = -1;
  // The colour an item had before its use-default box was checked, so
  // that unchecking the box gives it back.
  std::map<std::pair<int, bool>, TColor> beforeDefault_;
};

// The preview's sample text, one line per entry (UTF-8): something of
// every token kind.
const std::array<const char*, 14>& OptionSampleLines();

} // namespace ze
