#pragma once
// An editor on a headless window with its own clipboard, for the command
// tests. Rows are shown as plain strings; the whole text with "|" for
// CR LF keeps expectations short.

#include <string>
#include <vector>

#include "app/commands/Views.h"
#include "tests/editor/EditorFixture.h"

namespace ze::test {

struct CommandsFixture : EditorFixture {
  TMemoryClipboard clip;

  CommandsFixture() {
    e.SetClipboard(&clip);
    // As in the program: the mark column shows only while there are marks.
    e.Imagebar()->SetVisible(false);
    Focus();
  }
  ~CommandsFixture() override { e.SetClipboard(nullptr); }

  // The text with every CR LF shown as "|".
  std::string Text() const {
    std::string t = e.Lines()->Text().str(), out;
    for (size_t i = 0; i < t.size(); ++i) {
      if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n') {
        out += '|';
        ++i;
      } else {
        out += t[i];
      }
    }
    return out;
  }
  // Sets the text from the same notation.
  void Load(const std::string& bars) {
    std::string t;
    for (char c : bars)
      t += c == '|' ? std::string("\r\n") : std::string(1, c);
    SetText(t);
    e.EmEmptyUndoBuffer();
  }
  // Undoes everything the test did.
  void UndoAll() {
    while (e.CanUndo())
      e.Undo();
  }
  TDocumentViews Views() { return TDocumentViews(&e); }
};

} // namespace ze::test
