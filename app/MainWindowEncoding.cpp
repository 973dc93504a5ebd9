// TForm1: the encodings and line breaks of the documents' files — the
// check after every load, the format panel of the status bar, reading a
// file again in a chosen encoding and choosing how a document is saved.
#include <cstdio>
#include <exception>
#include <unistd.h>

#include "app/Documents.h"
#include "app/EncodingChoices.h"
#include "app/MainWindow.h"
#include "platform/Prompter.h"
#include "platform/qt/EditorWidget.h"

namespace ze {

namespace {

constexpr int kFormatPanel = 5;

} // namespace

void TForm1::InstallEncodingHandlers() {
  for (int n = 0; n < kEncodingCount; ++n) {
    const auto encoding = static_cast<TEncoding>(n);
    handlers_[Index(ReopenCommand(encoding))] = [this, encoding] { ReopenAs(encoding); };
    handlers_[Index(SaveEncodingCommand(encoding))] = [this, encoding] {
      TFileFormat f = ActiveEditor()->Lines()->FileFormat();
      f.Encoding = encoding;
      ChooseSaveFormat(f);
    };
  }
  for (int n = 0; n < kLineBreakCount; ++n) {
    const auto lineBreak = static_cast<TLineBreak>(n);
    handlers_[Index(LineBreakCommand(lineBreak))] = [this, lineBreak] {
      TFileFormat f = ActiveEditor()->Lines()->FileFormat();
      f.LineBreak = lineBreak;
      // Every line is written with the chosen break from now on.
      f.MixedLineBreaks = false;
      ChooseSaveFormat(f);
    };
  }
}

void TForm1::ApplyNewDocumentFormat(TEditor& e) {
  e.Lines()->SetDefaultEncoding(AsciiReadingOf(settings_.NewEncoding));
  TFileFormat f;
  f.Encoding = settings_.NewEncoding;
  f.LineBreak = settings_.NewLineBreak;
  e.Lines()->SetFileFormat(f);
}

void TForm1::AfterLoad(TEditorWidget* w, const std::string& path) {
  const TFileFormat& f = w->Editor()->Lines()->FileFormat();
  if (!f.Exact) {
    // Saving would write the stand-in characters over the file's own: the
    // page is only for reading until the file is read in a fitting
    // encoding (a split page's other editor follows below).
    w->Editor()->SetReadOnly(true);
    prompter_.Message(NotExactMessage(path, f.Problem, f.Encoding), TMsgKind::Warning,
                      TMsgButtons::Ok);
  }
  ShareFileFormat(w);
  if (w == ActiveEditorWidget()) RefreshFileFormatStatus();
}

void TForm1::AfterSave(TEditor& e) {
  if (e.Lines()->FileFormat().MixedLineBreaks) {
    TFileFormat f = e.Lines()->FileFormat();
    f.MixedLineBreaks = false;
    e.Lines()->SetFileFormat(f);
  }
  for (int i = 0; i < docs_.Count(); ++i) {
    TPageWidget* page = docs_.Page(i);
    for (TEditorWidget* w : {page->Editor(), page->SecondEditor()})
      if (w && w->Editor() == &e) ShareFileFormat(w);
  }
  RefreshFileFormatStatus();
}

void TForm1::ShareFileFormat(TEditorWidget* from) {
  for (int i = 0; i < docs_.Count(); ++i) {
    TPageWidget* page = docs_.Page(i);
    TEditorWidget* to = page->Editor() == from         ? page->SecondEditor()
                        : page->SecondEditor() == from ? page->Editor()
                                                       : nullptr;
    if (!to) continue;
    TEditorStrings& source = *from->Editor()->Lines();
    to->Editor()->Lines()->SetDefaultEncoding(source.DefaultEncoding());
    to->Editor()->Lines()->SetFileFormat(source.FileFormat());
    to->Editor()->SetReadOnly(from->Editor()->ReadOnly());
    return;
  }
}

bool TForm1::DecodeInserted(const std::string& path, std::string& bytes) {
  TEditor* e = ActiveEditor();
  if (!e) return false;
  const TEncoding encoding = DetectEncoding(bytes, e->Lines()->DefaultEncoding());
  if (encoding == TEncoding::Cp932) return true;
  TDecodedText d = DecodeText(bytes, encoding);
  if (d.FellBack) return true; // bytes kept as they are, like an opened file
  // The document must write back the inserted Unicode variants (〜 and
  // the like) too; a code it already writes as the other variant cannot
  // be held.
  TFileFormat f = e->Lines()->FileFormat();
  bool fits = d.Exact;
  std::string problem = d.Problem;
  for (int code = 0; code < 0x10000 && fits && !d.Variants.Empty(); ++code) {
    const char32_t u = d.Variants.Get(static_cast<uint16_t>(code));
    if (!u) continue;
    const char32_t mine = f.Variants.Get(static_cast<uint16_t>(code));
    if (!mine)
      f.Variants.Set(static_cast<uint16_t>(code), u);
    else if (mine != u) {
      fits = false;
      char hex[16];
      std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(u));
      problem = std::string(hex) + " は文書の中で別の文字として書き出される文字と同じコードです";
    }
  }
  if (!fits) {
    prompter_.Message(NotInsertedMessage(path, problem, encoding), TMsgKind::Warning,
                      TMsgButtons::Ok);
    return false;
  }
  e->Lines()->SetFileFormat(f);
  ShareFileFormat(ActiveEditorWidget());
  bytes = std::move(d.Text);
  return true;
}

void TForm1::RefreshFileFormatStatus() {
  TEditor* e = ActiveEditor();
  if (!e) {
    SetStatus(kFormatPanel, {});
    return;
  }
  const TFileFormat& f = e->Lines()->FileFormat();
  SetStatus(kFormatPanel, FileFormatText(f.Encoding, f.LineBreak, f.MixedLineBreaks));
}

void TForm1::ReopenAs(TEncoding encoding) {
  TPageWidget* page = ActivePage();
  TEditorWidget* w = ActiveEditorWidget();
  if (!page || !w) return;
  const std::string path = docs_.ActivePath();
  if (path == kUntitled) return;
  TEditor& e = *w->Editor();
  if (e.Modified() && prompter_.Message(ReopenQuestion(path, encoding), TMsgKind::Confirmation,
                                        TMsgButtons::YesNo) != TMsgResult::Yes)
    return;
  try {
    e.Lines()->LoadFromFileAs(path, encoding);
  } catch (const std::exception& error) {
    // The document stays as it was.
    ShowError(path + " を読み込めませんでした。\n" + error.what());
    return;
  }
  e.SetModified(false);
  e.SetTopRow(0);
  e.SetRowCol(0, 0);
  // A page made read-only by a reading that did not fit may be written
  // again, unless the file itself may not.
  e.SetReadOnly(::access(path.c_str(), W_OK) != 0);
  AfterLoad(w, path);
  PageControl1Change();
}

void TForm1::ChooseSaveFormat(const TFileFormat& f) {
  TEditor* e = ActiveEditor();
  if (!e) return;
  const TFileFormat& now = e->Lines()->FileFormat();
  const bool changed = now.Encoding != f.Encoding || now.LineBreak != f.LineBreak ||
                       now.MixedLineBreaks != f.MixedLineBreaks;
  e->Lines()->SetFileFormat(f);
  // The file no longer holds what saving would write: Save is offered.
  if (changed) e->SetModified(true);
  ShareFileFormat(ActiveEditorWidget());
  RefreshCaptionAndStatus();
}

} // namespace ze
