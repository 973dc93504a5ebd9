#pragma once
// Word-wrap settings: wrap width and the Japanese line-breaking (kinsoku)
// options. Texts are Shift-JIS byte strings.

#include "text/Notify.h"

namespace ze {

class TEditorWrapOption : public TNotifyPersistent {
public:
  static const char* const kDefaultFollowStr;
  static const char* const kDefaultLeadStr;
  static const char* const kDefaultPunctuationStr;

  bool FollowRetMark() const { return followRetMark_; }
  void SetFollowRetMark(bool v) { Set(followRetMark_, v); }
  bool FollowPunctuation() const { return followPunctuation_; }
  void SetFollowPunctuation(bool v) { Set(followPunctuation_, v); }
  const ByteString& FollowStr() const { return followStr_; }
  void SetFollowStr(const ByteString& v) { Set(followStr_, v); }
  bool Leading() const { return leading_; }
  void SetLeading(bool v) { Set(leading_, v); }
  const ByteString& LeadStr() const { return leadStr_; }
  void SetLeadStr(const ByteString& v) { Set(leadStr_, v); }
  const ByteString& PunctuationStr() const { return punctuationStr_; }
  void SetPunctuationStr(const ByteString& v) { Set(punctuationStr_, v); }
  bool WordBreak() const { return wordBreak_; }
  void SetWordBreak(bool v) { Set(wordBreak_, v); }
  int WrapByte() const { return wrapByte_; }
  // Clamped to 20..250.
  void SetWrapByte(int v);

  void CopyFrom(const TPersistent* source) override;
  static const TPropTable& ClassProps();
  const TPropTable* PublishedProps() const override { return &ClassProps(); }

private:
  template <class T> void Set(T& field, const T& v) {
    if (field == v) return;
    field = v;
    Changed();
  }
  bool followRetMark_ = false;
  bool followPunctuation_ = false;
  ByteString followStr_ = kDefaultFollowStr;
  bool leading_ = false;
  ByteString leadStr_ = kDefaultLeadStr;
  ByteString punctuationStr_ = kDefaultPunctuationStr;
  bool wordBreak_ = false;
  int wrapByte_ = 80;
};

} // namespace ze
