#pragma once
// The clipboard as the editor sees it: Shift-JIS text, and a mark that the
// text was copied from a box selection. The Qt widget provides the system
// clipboard (Unicode text plus a private format for the mark); tests and
// headless use get an in-memory one.

#include <string>
#include <string_view>

namespace ze {

class TClipboard {
public:
  virtual ~TClipboard() = default;
  virtual bool HasText() const = 0;
  // The text as CP932 bytes; characters CP932 cannot hold are replaced.
  virtual std::string Text() const = 0;
  // True when the text came from a box selection.
  virtual bool HasBoxFormat() const = 0;
  virtual void SetText(std::string_view cp932, bool box) = 0;
  virtual void Clear() = 0;
};

class TMemoryClipboard : public TClipboard {
public:
  bool HasText() const override { return hasText_; }
  std::string Text() const override { return text_; }
  bool HasBoxFormat() const override { return hasText_ && box_; }
  void SetText(std::string_view cp932, bool box) override {
    text_.assign(cp932);
    box_ = box;
    hasText_ = true;
  }
  void Clear() override {
    text_.clear();
    box_ = false;
    hasText_ = false;
  }

private:
  std::string text_;
  bool box_ = false;
  bool hasText_ = false;
};

} // namespace ze
