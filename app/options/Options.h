#pragma once
// What the settings dialog edits, without any widget: the working copies
// it loads from the in-memory settings and commits on OK, its eighteen
// colour items, the sixteen colours of its grid, the number fields' ranges
// and how typed text becomes a number, and how the values reach a
// property store (the preview's, or the one the window applies to the
// editors of its active page).

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "app/settings/Settings.h"
#include "editorprop/EditorProp.h"

namespace ze {

// The working copies. Cancel drops them; nothing here touches the
// settings until CommitOptions.
struct TOptionValues {
  TColor Background = clWindow;
  std::array<TTokenSetting, kSettingsTokenCount> Tokens = TSettings::DefaultTokens();
  TColor RetColor = clNone, EofColor = clNone;
  TColor LineNumColor = clNone, LineNumBkColor = clNone;
  TColor RulerColor = clNone, RulerBkColor = clNone, RulerMarkColor = clNone;
  TColor LineCursorColor = clNone;

  int TopSpace = 0, LeftSpace = 0, LineSpace = 0, CharacterSpace = 0;
  int TabCount = 8, WrapCount = 80;
  int ReserveType = 0;  // 1..4, 0 when no case is chosen
  int SeparateType = 0; // 0..10
  int NumberType = 0;   // 1 from 1, 2 from 0, 0 off

  bool SameBkFlag = false, AIndentFlag = false, TIndentFlag = false, FCaretFlag = false;
  bool RetFlag = false, EofFlag = false, WrapFlag = false, CommentOutRow = false;

  // The encoding and line break of new documents.
  TEncoding NewEncoding = TEncoding::Cp932;
  TLineBreak NewLineBreak = TLineBreak::CrLf;

  friend bool operator==(const TOptionValues&, const TOptionValues&) = default;
};

TOptionValues LoadOptions(const TSettings& s);
// Writes every working copy into s; the rest of s (window, font, bars,
// dictionaries, view flags) stays as it is.
void CommitOptions(const TOptionValues& v, TSettings& s);

// ---- the colour items of the list, in list order
enum TOptionItem {
  oiBackground,
  oiAnk,
  oiDBCS,
  oiComment,
  oiInt,
  oiStr,
  oiSymbol,
  oiReserve,
  oiSelect,
  oiHit,
  oiUrl,
  oiMail,
  oiRetMark,
  oiEofMark,
  oiLineNumber,
  oiRuler,
  oiRulerMarker,
  oiLineCursor
};
inline constexpr int kOptionItemCount = 18;

struct TOptionItemInfo {
  const char* Caption;
  int Token;          // the TSettingsToken it edits, -1 for the others
  bool HasBackground; // the grid's right button applies
  bool HasStyle;      // the style boxes apply
  TColor DefaultText; // what the use-default boxes put back
  TColor DefaultBack; // clNone for items without a background
};
// The item's description; item must be 0..kOptionItemCount-1.
const TOptionItemInfo& OptionItemInfo(int item);

TColor ItemTextColor(const TOptionValues& v, int item);
// clNone for an item without a background.
TColor ItemBackColor(const TOptionValues& v, int item);
void SetItemTextColor(TOptionValues& v, int item, TColor c);
// Does nothing for an item without a background.
void SetItemBackColor(TOptionValues& v, int item, TColor c);
// The style flags of a token item; all false for the others.
TTokenSetting ItemStyle(const TOptionValues& v, int item);
// Does nothing for an item without a style.
void SetItemStyle(TOptionValues& v, int item, bool bold, bool italic, bool underline);

// The nine token kinds that follow the background when it is fitted (all
// but the selection and the search hit).
bool FollowsBackground(TSettingsToken t);
// Gives the nine kinds the background colour.
void FitBackground(TOptionValues& v);
// Whether all nine kinds have the background colour.
bool BackgroundFits(const TOptionValues& v);

// ---- the colour grid: the sixteen basic colours, four rows of four
const std::array<TColor, 16>& GridColors();
// The grid cell of c, -1 when c is not one of the sixteen.
int GridIndexOf(TColor c);

// ---- the numbered-list separators as the combo box shows them
const std::array<const char*, 11>& SeparatorCaptions();

// ---- number fields
struct TNumberRange {
  int Min, Max, Step;
};
inline constexpr TNumberRange kMarginRange{0, 100, 1};
inline constexpr TNumberRange kWrapRange{20, 250, 1};
inline constexpr TNumberRange kTabRange{2, 8, 2};

// What typed text becomes. Text of digits (spaces around it ignored) is
// brought into the range and onto its steps (Clamped then says so); any
// other text, the empty one included, is refused and current stays.
// Hint is empty only when the text was taken as it stands.
struct TNumberCheck {
  bool Accepted = false;
  bool Clamped = false;
  int Value = 0;
  std::string Hint;
};
TNumberCheck CheckNumber(std::string_view text, TNumberRange range, int current);
// The next value of an up-down click from value (which is brought into
// the range first), by one step up (+1) or down (-1).
int StepNumber(int value, TNumberRange range, int direction);

// ---- applying the values
// Gives a property store the values the dialog edits: background, token
// colours and styles (the bracket pairs and the line comment in the
// Comment colours and style), marks, line-number and ruler colours, line
// cursor colour, margins, tab and wrap widths, word wrap, marks shown,
// indent and free-caret flags, and the line comment "//" on or off.
// Nothing else of the store changes.
void ApplyOptions(const TOptionValues& v, TEditorProp& p);

// What OK does for the window: the values committed to settings, the
// edited store copied into prop1 and prop1 applied to every editor of the
// active page, the last first (both views of a split page). Returns the
// properties that could not be copied; every other property still is.
TPropCopyFailures ApplyOptionResult(const TOptionValues& v, const TEditorProp& edited,
                                    TSettings& settings, TEditorProp& prop1,
                                    const std::vector<TEditor*>& pageEditors);

} // namespace ze
