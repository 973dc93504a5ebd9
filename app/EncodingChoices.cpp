#include "app/EncodingChoices.h"

namespace ze {

namespace {

using C = TCommandId;

// A command of a run of kCount commands starting at first: its offset.
template <int kCount> bool Offset(TCommandId id, TCommandId first, int& n) {
  const int d = static_cast<int>(id) - static_cast<int>(first);
  if (d < 0 || d >= kCount) return false;
  n = d;
  return true;
}

} // namespace

TCommandId ReopenCommand(TEncoding e) {
  return Nth(C::ReopenCp932, static_cast<int>(e));
}
TCommandId SaveEncodingCommand(TEncoding e) {
  return Nth(C::SaveEncCp932, static_cast<int>(e));
}
TCommandId LineBreakCommand(TLineBreak b) {
  return Nth(C::LineBreakCrLf, static_cast<int>(b));
}

bool ReopenChoice(TCommandId id, TEncoding& e) {
  int n = 0;
  if (!Offset<kEncodingCount>(id, C::ReopenCp932, n)) return false;
  e = static_cast<TEncoding>(n);
  return true;
}

bool SaveEncodingChoice(TCommandId id, TEncoding& e) {
  int n = 0;
  if (!Offset<kEncodingCount>(id, C::SaveEncCp932, n)) return false;
  e = static_cast<TEncoding>(n);
  return true;
}

bool LineBreakChoice(TCommandId id, TLineBreak& b) {
  int n = 0;
  if (!Offset<kLineBreakCount>(id, C::LineBreakCrLf, n)) return false;
  b = static_cast<TLineBreak>(n);
  return true;
}

std::string FileFormatText(TEncoding e, TLineBreak b, bool mixed) {
  std::string text = std::string(EncodingName(e)) + "  " + LineBreakName(b);
  if (mixed) text += " (混在)";
  return text;
}

std::string NotExactMessage(const std::string& path, const std::string& problem, TEncoding e) {
  return path + " は " + EncodingName(e) +
         " として読み込みましたが、そのままでは保持できない文字があります。\n" + problem +
         "\n元のファイルを壊さないよう、読み取り専用で開きました。";
}

std::string NotInsertedMessage(const std::string& path, const std::string& problem, TEncoding e) {
  return path + " は " + EncodingName(e) +
         " として読み込みましたが、そのままでは保持できない文字があるため挿入しませんでした。\n" +
         problem;
}

std::string ReopenQuestion(const std::string& path, TEncoding e) {
  return path + " は変更されています。\n変更を破棄して " + EncodingName(e) + " で開き直しますか？";
}

TEncoding AsciiReadingOf(TEncoding e) {
  return e == TEncoding::Utf16Le || e == TEncoding::Utf16Be ? TEncoding::Cp932 : e;
}

} // namespace ze
