#pragma once
// The in-memory settings the three settings files carry (integers,
// colours, booleans), with the shipped defaults as member initialisers
// and the clamping applied when they are read.

#include <array>
#include <string>
#include <vector>

#include "platform/Encoding.h"
#include "platform/Graphics.h"

namespace ze {

// The toolbars whose dock row and position Int.ini keeps, in its order.
enum TSettingsBar { sbFontBar, sbFileBar, sbEditBar, sbFindBar, sbIndicateBar, sbMainBar,
                    sbWindowBar };
inline constexpr int kSettingsBarCount = 7;

// The bars whose visibility Bool.ini keeps ("Show" section), in its order.
enum TSettingsShow { swFont, swStatus, swFile, swEdit, swFind, swIndicate, swWindow };
inline constexpr int kSettingsShowCount = 7;

// The token kinds with colours in Color.ini, in its order. Select and Hit
// have no style flags in Bool.ini.
enum TSettingsToken { stAnk, stDBCS, stComment, stInt, stStr, stSymbol, stReserve, stSelect,
                      stHit, stUrl, stMail };
inline constexpr int kSettingsTokenCount = 11;

inline constexpr int kDictionaryCount = 5;
inline constexpr int kMinFontSize = 7;
inline constexpr int kMaxFontSize = 30;

struct TDockPlace {
  int Row = 0;
  int Pos = 0;
  friend bool operator==(const TDockPlace&, const TDockPlace&) = default;
};

struct TWindowRect {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  friend bool operator==(const TWindowRect&, const TWindowRect&) = default;
};

// What the files say about the main window: its rectangle, the font bar's
// choices, the toolbars' dock places and the bars' visibility.
struct TWindowState {
  TWindowRect Rect{100, 80, 800, 600};
  // Index into the font bar's name list; outside the list means "the
  // default font" (see ResolveFontName).
  int FontName = -1;
  int FontSize = 12; // points, kMinFontSize..kMaxFontSize
  std::array<TDockPlace, kSettingsBarCount> Bars{{
      {0, 219}, // font bar
      {1, -6},  // file
      {1, 176}, // edit
      {1, 376}, // find
      {1, 499}, // show (indicate)
      {0, 0},   // menu bar
      {1, 592}, // window
  }};
  std::array<bool, kSettingsShowCount> Show{{true, true, true, true, true, true, true}};
  friend bool operator==(const TWindowState&, const TWindowState&) = default;
};

struct TTokenSetting {
  TColor FStr = clWindowText; // text colour
  TColor BStr = clNone;       // background colour
  bool Bold = false, Italic = false, UnderL = false;
  friend bool operator==(const TTokenSetting&, const TTokenSetting&) = default;
};

struct TSettings {
  TWindowState Window;

  // Int.ini
  int TopSpace = 2;
  int LeftSpace = 8;
  int LineSpace = 0;
  int CharacterSpace = 0;
  int TabCount = 8;   // 2..8, even
  int WrapCount = 80; // 20..250
  int ReserveType = 4;  // templates: 1 lower, 2 upper, 3 capitalised, 4 none
  int SeparateType = 0; // numbered-list separator 0..10
  int NumberType = 0;   // numbered lists: 1 from 1, 2 from 0, 0 off
  int DicType = 1;      // selected web dictionary 1..5, 0 none
  // What new documents are written in; ASCII-only files read as
  // NewEncoding too (Int.ini, "File" section, by name: "CP932", "LF"...).
  TEncoding NewEncoding = TEncoding::Cp932;
  TLineBreak NewLineBreak = TLineBreak::CrLf;

  // Color.ini
  TColor Background = clWindow;
  std::array<TTokenSetting, kSettingsTokenCount> Tokens = DefaultTokens();
  TColor RetColor = 0x808000;      // clTeal
  TColor EofColor = 0x808000;      // clTeal
  TColor LineNumColor = clBlack;   // line numbers
  TColor LineNumBkColor = clSilver;
  TColor RulerColor = clBlack;
  TColor RulerBkColor = clSilver;
  TColor RulerMarkColor = clBlack;
  TColor LineCursorColor = clNavy;
  // Display names and address prefixes of the web dictionaries (UTF-8).
  std::array<std::string, kDictionaryCount> DicName = DefaultDicNames();
  std::array<std::string, kDictionaryCount> DicAddress = DefaultDicAddresses();

  // Bool.ini
  bool SameBkFlag = false;
  bool AIndentFlag = true;
  bool TIndentFlag = false;
  bool FCaretFlag = false;
  bool RetFlag = true;
  bool EofFlag = true;
  bool WrapFlag = false;
  bool LineNumberShow = true;
  bool RulerShow = false;
  bool LCursorShow = false;
  bool CommentOutRow = true;

  static std::array<TTokenSetting, kSettingsTokenCount> DefaultTokens();
  static std::array<std::string, kDictionaryCount> DefaultDicNames();
  static std::array<std::string, kDictionaryCount> DefaultDicAddresses();

  friend bool operator==(const TSettings&, const TSettings&) = default;
};

// The section names of the token kinds in Color.ini and Bool.ini.
const char* TokenSection(TSettingsToken t);
// Whether Bool.ini keeps styles for the token kind (all but Select, Hit).
bool TokenHasStyle(TSettingsToken t);

// A screen's available area, for placing the window.
struct TScreenRect {
  int Left = 0, Top = 0, Width = 0, Height = 0;
};

inline constexpr int kMinWindowWidth = 320;
inline constexpr int kMinWindowHeight = 240;
inline constexpr int kMaxDockRow = 3;

// A line break's name in the settings files ("CRLF", "LF", "CR"), and
// back ("CR+LF" too); false for an unknown name.
const char* LineBreakKey(TLineBreak b);
bool LineBreakFromKey(const std::string& key, TLineBreak& b);

// Brings every value into its range: sizes and widths clamped (font size
// 7-30, tab width 2-8 and even, wrap width 20-250, margins 0-100),
// choices inside their lists (unknown choices get the default), dock rows
// 0-3. Does not touch the window rectangle: see PlaceWindow.
void ClampSettings(TSettings& s);

// The window rectangle moved and sized so that it lies on one of the
// screens: the screen it overlaps most, else the first. A rectangle
// smaller than the minimum size grows to it, one larger than the screen
// shrinks to it. With no screens the rectangle only gets its minimum size.
TWindowRect PlaceWindow(const TWindowRect& r, const std::vector<TScreenRect>& screens);

// The font name for a stored index: the list's entry when the index is
// inside the list, else a Japanese font of the list with 1:2 widths
// (IPAGothic first), else the list's first entry, else "FixedSys"; index
// receives the chosen entry's index (-1 when the list is empty).
std::string ResolveFontName(const std::vector<std::string>& fonts, int& index);

} // namespace ze
