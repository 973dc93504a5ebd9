#pragma once
// The editor's Lines: a string list of logical lines laid over the screen
// rows. Every write becomes one ReplaceText, so it is wrapped, recoloured,
// recorded for undo and repainted like typing. It also loads and saves
// files, byte for byte.

#include <string>
#include <vector>

#include "text/ScreenStrings.h"

namespace ze {

// Row and column reached by walking a character offset from a row: each
// row counts its bytes plus 2 after a line-break row, 0 after a wrapped
// row and 1 after the end-of-text row.
struct TRowCol {
  int Row = 0;
  int Col = 0;
};
TRowCol RowColAtOffset(const TEditorScreenStrings& rows, int firstRow, long long offset,
                       const TColumnSettings& cs);

class TEditorStrings : public TStrings {
public:
  TEditorStrings(TEditorScreenStrings* store, TEditorView* editor)
      : store_(store), editor_(editor) {}
  void SetStore(TEditorScreenStrings* store) { store_ = store; }
  TEditorScreenStrings* Store() const { return store_; }

  int FirstRowOfLogicalLine(int i) const;

  ByteString Get(int i) const override;
  int GetCount() const override;
  void Put(int i, const ByteString& s) override;
  void Insert(int i, const ByteString& s) override;
  int Add(const ByteString& s) override;
  void Delete(int i) override;
  void Clear() override;
  ByteString Text() const override;
  void SetText(std::string_view text) override;
  void CopyFrom(const TPersistent* source) override;
  // Reads the file's bytes as they are: CR LF, LF and CR end a line, byte
  // 26 ends the text. Raises EFileError naming the file and the reason;
  // the text is then empty.
  void LoadFromFile(const std::string& path) override;
  // Replaces the file safely (see AtomicFileWriter) with Text's bytes.
  void SaveToFile(const std::string& path) const override;

  // The "Strings" stream: one string per logical line; reading stores
  // rows directly, without wrapping or undo.
  std::vector<ByteString> StreamedStrings() const;
  void ReadStreamedStrings(const std::vector<ByteString>& lines);

protected:
  void SetUpdateState(bool updating) override;

private:
  // Cancels the selection, hides the caret, runs the edit, places the
  // caret by offset from row start and shows the caret again.
  template <class Edit> void Edited(int start, long long offset, Edit edit);
  void CheckLine(int i, bool allowEnd) const;

  TEditorScreenStrings* store_;
  TEditorView* editor_;
};

} // namespace ze
