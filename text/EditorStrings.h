#pragma once
// The editor's Lines: a string list of logical lines laid over the screen
// rows. Every write becomes one ReplaceText, so it is wrapped, recoloured,
// recorded for undo and repainted like typing. It also loads and saves
// files, byte for byte.

#include <string>
#include <vector>

#include "platform/FileIdentity.h"
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
  // Reads every byte of the file as it is; CR LF, LF and CR end a line.
  // Only regular files are read, and only when they fit in the memory
  // left. Raises EFileError naming the file and the reason (what it is,
  // or its size); the text is then as it was.
  void LoadFromFile(const std::string& path) override;
  // Replaces the file safely (see AtomicFileWriter) with Text's bytes.
  void SaveToFile(const std::string& path) const override;

  // The file last loaded or saved, and its identity at that moment.
  const std::string& FilePath() const { return filePath_; }
  const TFileIdentity& FileIdentity() const { return fileIdentity_; }
  // True when that file is no longer as it was then: another program
  // changed, replaced or removed it.
  bool FileChangedOnDisk() const;
  enum TSaveResult { srSaved, srChangedOnDisk };
  // SaveToFile, except that when path names the file last loaded or saved
  // and it changed on disk since, nothing is written and the answer is
  // srChangedOnDisk, unless force is set.
  TSaveResult SaveToFileChecked(const std::string& path, bool force = false);

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
  // Saving is const for callers, yet it is what the file now holds.
  mutable std::string filePath_;
  mutable TFileIdentity fileIdentity_;
};

} // namespace ze
