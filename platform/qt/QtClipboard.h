#pragma once
// The system clipboard for the editor: Shift-JIS text in and out as
// Unicode text, and the box-selection mark as a private MIME type that
// carries the same text (so a box copied here pastes as a box here, and
// as plain text everywhere else).

#include "platform/Clipboard.h"

namespace ze {

inline constexpr const char* kBoxMimeType = "application/x-teditor-box-type";

class TQtClipboard : public TClipboard {
public:
  bool HasText() const override;
  // Line ends become CR LF, the document's own; characters CP932 cannot
  // hold become '?'.
  std::string Text() const override;
  bool HasBoxFormat() const override;
  // Line ends become LF, the desktop's.
  void SetText(std::string_view cp932, bool box) override;
  void Clear() override;
};

} // namespace ze
