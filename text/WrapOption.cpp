#include "text/WrapOption.h"

#include <algorithm>

namespace ze {

// 、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』!),.:;?]}｡｣､･ｰﾞﾟ
const char* const TEditorWrapOption::kDefaultFollowStr =
    "\x81\x41\x81\x42\x81\x43\x81\x44\x81\x45\x81\x48\x81\x49\x81\x4A\x81\x4B\x81\x52\x81\x53"
    "\x81\x54\x81\x55\x81\x58\x81\x5B\x81\x6A\x81\x6E\x81\x70\x81\x76\x81\x78\x21\x29\x2C\x2E"
    "\x3A\x3B\x3F\x5D\x7D\xA1\xA3\xA4\xA5\xB0\xDE\xDF";
// （［｛「『([{｢
const char* const TEditorWrapOption::kDefaultLeadStr =
    "\x81\x69\x81\x6D\x81\x6F\x81\x75\x81\x77\x28\x5B\x7B\xA2";
// 、。，．,.｡､
const char* const TEditorWrapOption::kDefaultPunctuationStr =
    "\x81\x41\x81\x42\x81\x43\x81\x44\x2C\x2E\xA1\xA4";

void TEditorWrapOption::SetWrapByte(int v) { Notify(wrapByte_, std::clamp(v, 20, 250)); }

void TEditorWrapOption::CopyFrom(const TPersistent* source) {
  auto* s = dynamic_cast<const TEditorWrapOption*>(source);
  if (!s) return TNotifyPersistent::CopyFrom(source);
  // A change rewraps the text and empties its undo history, so copying
  // equal values (the window hands its settings to every view, again and
  // again) must not report one.
  if (followRetMark_ == s->followRetMark_ && followPunctuation_ == s->followPunctuation_ &&
      followStr_ == s->followStr_ && leading_ == s->leading_ && leadStr_ == s->leadStr_ &&
      punctuationStr_ == s->punctuationStr_ && wordBreak_ == s->wordBreak_ &&
      wrapByte_ == s->wrapByte_)
    return;
  followRetMark_ = s->followRetMark_;
  followPunctuation_ = s->followPunctuation_;
  followStr_ = s->followStr_;
  leading_ = s->leading_;
  leadStr_ = s->leadStr_;
  punctuationStr_ = s->punctuationStr_;
  wordBreak_ = s->wordBreak_;
  wrapByte_ = s->wrapByte_;
  Changed();
}

const TPropTable& TEditorWrapOption::ClassProps() {
  using W = TEditorWrapOption;
  static const TPropTable table(
      nullptr, {BoolProp<W>("FollowRetMark", &W::FollowRetMark, &W::SetFollowRetMark),
                BoolProp<W>("FollowPunctuation", &W::FollowPunctuation, &W::SetFollowPunctuation),
                StrProp<W>("FollowStr", &W::FollowStr, &W::SetFollowStr),
                BoolProp<W>("Leading", &W::Leading, &W::SetLeading),
                StrProp<W>("LeadStr", &W::LeadStr, &W::SetLeadStr),
                StrProp<W>("PunctuationStr", &W::PunctuationStr, &W::SetPunctuationStr),
                BoolProp<W>("WordBreak", &W::WordBreak, &W::SetWordBreak),
                IntProp<W>("WrapByte", &W::WrapByte, &W::SetWrapByte)});
  return table;
}

} // namespace ze
