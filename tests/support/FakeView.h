#pragma once
// A view for testing the text model without an editor: it keeps a caret,
// a top row and fixed screen metrics, records what the store tells it, and
// colours with a tiny parser that tracks "{ ... }" spans across rows.

#include <functional>
#include <set>
#include <vector>

#include "text/EditorStrings.h"
#include "text/ScreenStrings.h"

namespace ze::test {

class BraceParser : public RowStateParser {
public:
  explicit BraceParser(int* calls) : calls_(calls) {}
  void UpdateRowData(int index, const TRowAttributeStringList& rows,
                     TRowAttributeData& d) override {
    ++*calls_;
    bool open = d.BracketIndex == 0;
    for (char c : rows.Ref(index).view()) {
      if (c == '{') open = true;
      if (c == '}') open = false;
    }
    d.BracketIndex = open ? 0 : -1;
  }

private:
  int* calls_;
};

class FakeView : public TEditorView {
public:
  explicit FakeView(TEditorScreenStrings& store) : store_(store) { store_.AddEditor(this); }
  ~FakeView() override { store_.RemoveEditor(this); }

  int TabSpaceCount() const override { return tab; }
  const TDelimiterSet& DelimiterSet() const override { return delimiters; }
  std::unique_ptr<RowStateParser> CreateRowParser() override {
    if (!colouring) return nullptr;
    if (parserFactory) return parserFactory();
    return std::make_unique<BraceParser>(&parseCalls);
  }
  int RowHeight() const override { return 16; }
  int ScreenHeight() const override { return screenRows * 16; }
  bool InitBracketsFull() const override { return initBracketsFull; }
  bool Loading() const override { return loading; }
  bool Destroying() const override { return false; }
  bool Focused() const override { return focused; }
  int Row() const override { return row; }
  int Col() const override { return col; }
  void SetRow(int r) override { row = r; }
  void SetCol(int c) override { col = c; }
  int TopRow() const override { return top; }
  void SetTopRow(int r) override { top = r; }
  void SetCaretByOffset(int firstRow, long long offset) override {
    TRowCol rc = RowColAtOffset(store_, firstRow, offset, store_.ColumnSettings());
    row = rc.Row;
    col = rc.Col;
  }
  void CaretBeginUpdate() override { ++caretDepth; }
  void CaretEndUpdate() override { --caretDepth; }
  void CancelSelection() override { ++selectionCancels; }
  void StoreChanged() override {
    ++changes;
    if (store_.ChangeRegion().Pending) regions.push_back(store_.ChangeRegion());
  }
  void InvalidateRow(int r) override { invalidated.insert(r); }
  void UpdateView() override { ++fullUpdates; }
  void BeginBulkUpdate() override { ++bulkDepth; }
  void EndBulkUpdate() override { --bulkDepth; }

  int tab = 8;
  TDelimiterSet delimiters = DefaultDelimiterSet();
  bool colouring = true;
  std::function<std::unique_ptr<RowStateParser>()> parserFactory; // else BraceParser
  int screenRows = 10;
  bool initBracketsFull = false;
  bool loading = false;
  bool focused = true;
  int row = 0, col = 0, top = 0;
  int caretDepth = 0, bulkDepth = 0;
  int selectionCancels = 0, changes = 0, fullUpdates = 0, parseCalls = 0;
  std::vector<TChangeRegion> regions;
  std::set<int> invalidated;

private:
  TEditorScreenStrings& store_;
};

} // namespace ze::test
