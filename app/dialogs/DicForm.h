#pragma once
// The web dictionary dialog: five named addresses, one of them chosen and
// opened in the desktop's browser.

#include <QDialog>
#include <array>
#include <functional>
#include <string>

class QButtonGroup;
class QLineEdit;
class QPushButton;

namespace ze {

class TPrompter;

// What the settings files keep of the dictionaries (texts in UTF-8).
struct TDicSettings {
  std::array<std::string, 5> Names;
  std::array<std::string, 5> Addresses;
  int Type = 0; // the chosen dictionary, 1 to 5; anything else: none
};

class TDicForm : public QDialog {
  Q_OBJECT
public:
  TDicForm(TDicSettings& settings, TPrompter& prompter, QWidget* parent = nullptr);

  std::array<QPushButton*, 5> DicButtons; // "辞書 1" to "辞書 5"
  std::array<QLineEdit*, 5> Dic;          // the names
  std::array<QLineEdit*, 5> Edit;         // the addresses
  QPushButton* OkButton;
  QPushButton* CancelButton;

  // Opens an address that passed the check; the desktop's browser unless
  // replaced (tests).
  std::function<void(const std::string& address)> OpenAddress;

  // Fills the fields from the settings and presses the chosen button.
  void Fill();
  // The pressed button, 1 to 5, or 0.
  int Pressed() const;

  void done(int r) override;
  void accept() override;

private:
  TDicSettings& settings_;
  TPrompter& prompter_;
};

} // namespace ze
