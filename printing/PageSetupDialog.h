#pragma once
// The page setup dialog: edits a private copy of a strings printer and
// copies it back on OK.

#include <QDialog>
#include <functional>
#include <memory>

#include "printing/StringsPrinter.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStatusBar;
class QTabWidget;
class QButtonGroup;

namespace ze {

// Two radio buttons or four under a caption, with the checked index.
class TPageRadioGroup : public QWidget {
  Q_OBJECT
public:
  TPageRadioGroup(const QString& caption, const QStringList& items, QWidget* parent);
  int ItemIndex() const;
  void SetItemIndex(int i);
  QRadioButton* Button(int i) const;
signals:
  void Clicked(int index);

private:
  QButtonGroup* group_;
};

class TFormStringsPrinterEditor : public QDialog {
  Q_OBJECT
public:
  // lines may be null: printing and the printer information are then off.
  TFormStringsPrinterEditor(TStringsPrinter& source, const TStrings* lines,
                            QWidget* parent = nullptr);
  ~TFormStringsPrinterEditor() override;

  // Runs the dialog for printer; on OK the printer takes the settings.
  // Returns whether OK was chosen.
  static bool PageSetup(TStringsPrinter* printer, const TStrings* lines, QWidget* parent,
                        std::function<void(TFormStringsPrinterEditor&)> prepare = {});

  TStringsPrinter& Copy() { return *StringsPrinter1; }
  // The printer setup of the platform (Button4); refreshed afterwards.
  std::function<void()> OnPrinterSetup;
  // Printing and preview from inside the dialog use the copy.
  std::function<void(TStringsPrinter&, const TStrings&)> OnPrint;
  std::function<void(TStringsPrinter&, const TStrings&)> OnPreview;

  void RefreshPrinterInfo();

  // Controls, named as the form names them.
  QPushButton *Button1, *Button2, *Button4, *Button5, *Button6;
  QLabel *Label5, *Label6, *Label12;
  QStatusBar* StatusBar1;
  QTabWidget* PageControl1;
  QComboBox *ComboBox1, *ComboBox2, *ComboBox3, *ComboBox4, *ComboBox5, *ComboBox6;
  QLabel *ColorLabel3, *ColorLabel4, *ColorLabel5;
  QSpinBox *SpinEdit1, *SpinEdit2, *SpinEdit3, *SpinEdit4, *SpinEdit12;
  TPageRadioGroup *RadioGroup5, *RadioGroup6, *RadioGroup2, *RadioGroup3;
  QSpinBox *SpinEdit6, *SpinEdit7, *SpinEdit8, *SpinEdit9, *SpinEdit10, *SpinEdit11;
  QSpinBox* SpinEdit13;
  QCheckBox *CheckBox1, *CheckBox2;

private:
  void BuildFontPage();
  void BuildMarginPage();
  void BuildRangePage();
  void BuildOtherPage();
  void LoadFromCopy();
  void SetColourControls();
  void NumberEdited(QSpinBox* box);
  void ResetNumbers();
  bool eventFilter(QObject* o, QEvent* e) override;

  std::unique_ptr<TStringsPrinter> StringsPrinter1;
  const TStrings* lines_;
  bool loading_ = false;
};

// The colours the colour boxes offer, with their names.
struct TNamedColour {
  const char* Name;
  TColor Color;
};
const std::vector<TNamedColour>& StandardColours();

} // namespace ze
