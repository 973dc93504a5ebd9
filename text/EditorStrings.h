#pragma once
// The editor's Lines: a string list of logical lines laid over the screen
// rows. Every write becomes one ReplaceText, so it is wrapped, recoloured,
// recorded for undo and repainted like typing. It also loads and saves
// files, byte for byte.

#include <string>
#include <vector>

#include "platform/Encoding.h"
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

// How a document's file is written: its encoding, its line breaks and the
// Unicode variants it used, as found when it was read (or chosen for a new
// document or in Save As).
struct TFileFormat {
  TEncoding Encoding = TEncoding::Cp932;
  TLineBreak LineBreak = TLineBreak::CrLf;
  // The file had more than one kind of line break (it is written with the
  // most frequent one).
  bool MixedLineBreaks = false;
  TUnicodeVariants Variants;
  // False when the file's text could not be held exactly (a character
  // CP932 lacks, bytes the encoding cannot read): the document must not be
  // saved over the file; Problem says where and why.
  bool Exact = true;
  std::string Problem;
};

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
  // The encoding is detected over the whole file (TEncodingSniffer, then
  // DetectEncoding); text in another encoding than CP932 is converted.
  void LoadFromFile(const std::string& path) override;
  // The same, read in the given encoding instead of the detected one.
  void LoadFromFileAs(const std::string& path, TEncoding encoding);
  // Replaces the file safely (see AtomicFileWriter) with the text in the
  // document's format. Raises EFileError, writing nothing, when the
  // encoding cannot hold a character (the message names its line).
  void SaveToFile(const std::string& path) const override;

  // The format of the file last loaded (or what a new document gets).
  const TFileFormat& FileFormat() const { return format_; }
  void SetFileFormat(const TFileFormat& f) { format_ = f; }
  // What text of ASCII bytes only is read as, and the format of a new
  // document (Clear keeps the format; these are for the window's New).
  void SetDefaultEncoding(TEncoding e) { asciiDefault_ = e; }
  TEncoding DefaultEncoding() const { return asciiDefault_; }
  // The whole text in bytes of the document's format.
  std::string EncodedText() const;

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
  TFileFormat format_;
  TEncoding asciiDefault_ = TEncoding::Cp932;

  void Load(const std::string& path, const TEncoding* forced);
};

} // namespace ze
