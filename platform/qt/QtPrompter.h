#pragma once
// The prompter of the running program: Qt message boxes and file dialogs.

#include "platform/Prompter.h"

class QWidget;

namespace ze {

class TQtPrompter : public TPrompter {
public:
  explicit TQtPrompter(QWidget* parent) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  TMsgResult Message(const std::string& text, TMsgKind kind, TMsgButtons buttons,
                     const std::string& caption = {}) override;
  std::vector<std::string> AskOpenFileNames(const std::string& title, const std::string& filter,
                                            const std::string& startDir, bool multi) override;
  std::optional<std::string> AskSaveFileName(const std::string& title, const std::string& filter,
                                             const std::string& suggested) override;

private:
  QWidget* parent_;
};

} // namespace ze
