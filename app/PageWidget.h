#pragma once
// One tab page: the document's editor, and while the page is split a
// second editor above it that shows the same text, with a splitter
// between them.

#include <QWidget>
#include <functional>

class QSplitter;

namespace ze {

class TEditorWidget;

class TPageWidget : public QWidget {
  Q_OBJECT
public:
  // Makes the page's editors (the program's drag-and-drop editor; tests
  // and the plain build use TEditorWidget).
  using TEditorFactory = std::function<TEditorWidget*(QWidget* parent)>;

  TPageWidget(TEditorFactory factory, QWidget* parent = nullptr);

  // The page's own editor; it lives as long as the page.
  TEditorWidget* Editor() const { return editor_; }
  // The editor added by splitting, null while the page is not split.
  TEditorWidget* SecondEditor() const { return second_; }
  bool IsSplit() const { return second_ != nullptr; }
  QSplitter* Splitter() const { return splitter_; }

  // The editor the commands act on: the one with the keyboard focus,
  // else the one that had it last, else the page's own editor.
  TEditorWidget* ActiveEditor() const;
  // Makes one of the page's editors the one the commands act on (a right
  // click makes the clicked view active even when focus comes later).
  void SetActiveEditor(TEditorWidget* w);
  // On a split page the editor that is not the active one; null otherwise.
  TEditorWidget* OtherEditor() const;

  // Adds the second editor at the top, half the page high, showing the
  // same text; the first editor's view continues below it. Returns the
  // new editor, or null when the page is split already.
  TEditorWidget* Split();
  // Removes the second editor; the page's own editor fills the page.
  void Unsplit();

  // Called for every editor the page makes (the first one included) so
  // that the window can hook its events.
  std::function<void(TEditorWidget*)> OnEditorCreated;
  // Called when an editor of the page gets the keyboard focus.
  std::function<void(TEditorWidget*)> OnEditorFocused;

  // Makes the first editor; separate from the constructor so that
  // OnEditorCreated is set first.
  void CreateEditor();

protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

private:
  TEditorWidget* Make();

  TEditorFactory factory_;
  QSplitter* splitter_;
  TEditorWidget* editor_ = nullptr;
  TEditorWidget* second_ = nullptr;
  TEditorWidget* lastFocused_ = nullptr;
};

} // namespace ze
