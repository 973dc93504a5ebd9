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
  void SetFollowRetMark(bool v) { Notify(followRetMark_, v); }
  bool FollowPunctuation() const { return followPunctuation_; }
  void SetFollowPunctuation(bool v) { Notify(followPunctuation_, v); }
  const ByteString& FollowStr() const { return followStr_; }
  void SetFollowStr(const ByteString& v) { Notify(followStr_, v); }
  bool Leading() const { return leading_; }
  void SetLeading(bool v) { Notify(leading_, v); }
  const ByteString& LeadStr() const { return leadStr_; }
  void SetLeadStr(const ByteString& v) { Notify(leadStr_, v); }
  const ByteString& PunctuationStr() const { return punctuationStr_; }
  void SetPunctuationStr(const ByteString& v) { Notify(punctuationStr_, v); }
  bool WordBreak() const { return wordBreak_; }
  void SetWordBreak(bool v) { Notify(wordBreak_, v); }
  int WrapByte() const { return wrapByte_; }
  // Clamped to 20..250.
  void SetWrapByte(int v);

  void CopyFrom(const TPersistent* source) override;
  static const TPropTable& ClassProps();
  const TPropTable* PublishedProps() const override { return &ClassProps(); }

private:
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
