#pragma once
// A prompter for tests: answers come from queues filled by the test, every
// question is recorded. A question with no queued answer fails the test's
// expectations by throwing, so an unexpected box never passes unnoticed.

#include <deque>
#include <stdexcept>

#include "platform/Prompter.h"

namespace ze::test {

class ScriptedPrompter : public TPrompter {
public:
  struct Asked {
    std::string text;
    TMsgKind kind;
    TMsgButtons buttons;
    std::string caption;
  };

  std::deque<TMsgResult> answers;                    // for Message
  std::deque<std::vector<std::string>> openAnswers;  // for AskOpenFileNames
  std::deque<std::optional<std::string>> saveAnswers; // for AskSaveFileName
  // Message boxes with only an OK button are answered Ok without a queued
  // answer unless this is false.
  bool autoOk = true;

  std::vector<Asked> asked;
  std::vector<std::string> openTitles, saveTitles;

  TMsgResult Message(const std::string& text, TMsgKind kind, TMsgButtons buttons,
                     const std::string& caption = {}) override {
    asked.push_back({text, kind, buttons, caption});
    if (buttons == TMsgButtons::Ok && autoOk && answers.empty()) return TMsgResult::Ok;
    if (answers.empty()) throw std::logic_error("unexpected message box: " + text);
    TMsgResult r = answers.front();
    answers.pop_front();
    return r;
  }
  std::vector<std::string> AskOpenFileNames(const std::string& title, const std::string&,
                                            const std::string&, bool) override {
    openTitles.push_back(title);
    if (openAnswers.empty()) throw std::logic_error("unexpected open dialog: " + title);
    auto r = openAnswers.front();
    openAnswers.pop_front();
    return r;
  }
  std::optional<std::string> AskSaveFileName(const std::string& title, const std::string&,
                                             const std::string&) override {
    saveTitles.push_back(title);
    if (saveAnswers.empty()) throw std::logic_error("unexpected save dialog: " + title);
    auto r = saveAnswers.front();
    saveAnswers.pop_front();
    return r;
  }
  // The text of the last message box, empty when none was shown.
  std::string LastText() const { return asked.empty() ? std::string() : asked.back().text; }
};

} // namespace ze::test
