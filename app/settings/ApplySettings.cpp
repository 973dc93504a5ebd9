#include "app/settings/ApplySettings.h"

#include "platform/FileIo.h"

namespace ze {

TFontStyles TokenStyles(const TTokenSetting& t) {
  TFontStyles s = 0;
  if (t.Bold) s |= FontStyles({fsBold});
  if (t.Italic) s |= FontStyles({fsItalic});
  if (t.UnderL) s |= FontStyles({fsUnderline});
  return s;
}

TFountainColor* TokenColor(TEditorColors& c, TSettingsToken t) {
  switch (t) {
  case stAnk: return c.Ank();
  case stDBCS: return c.DBCS();
  case stComment: return c.Comment();
  case stInt: return c.Int();
  case stStr: return c.Str();
  case stSymbol: return c.Symbol();
  case stReserve: return c.Reserve();
  case stSelect: return c.Select();
  case stHit: return c.Hit();
  case stUrl: return c.Url();
  case stMail: return c.Mail();
  }
  return nullptr;
}

void ColourBrackets(TEditorBracketCollection& brackets, const TTokenSetting& comment) {
  brackets.SetAllColor(comment.FStr);
  brackets.SetAllBkColor(comment.BStr);
  brackets.SetAllStyle(TokenStyles(comment));
}

namespace {

// The "{" "}" pair once, however often the settings are applied.
void EnsureBracePair(TEditorBracketCollection& brackets) {
  for (int i = 0; i < brackets.Count(); ++i) {
    const TFountainBracketItem* b = brackets.Items(i);
    if (b->LeftBracket() == ByteString("{") && b->RightBracket() == ByteString("}")) return;
  }
  TFountainBracketItem* item = brackets.Add();
  item->SetLeftBracket(ByteString("{"));
  item->SetRightBracket(ByteString("}"));
}

} // namespace

void InitEditorProp1(TEditorProp& p) {
  TEditorCaret& c = *p.Caret();
  c.SetAutoCursor(true);
  c.SetBackSpaceUnIndent(true);
  c.SetInTab(false);
  c.SetKeepCaret(false);
  c.SetLockScroll(false);
  c.SetNextLine(false);
  c.SetPrevSpaceIndent(false);
  c.SetRowSelect(true);
  c.SetSelMove(true);
  c.SetSoftTab(false);
  c.SetStyle(csDefault);
  TEditorCursors& cur = *c.Cursors();
  cur.SetDefaultCursor(-4);   // I-beam
  cur.SetDragSelCursor(-12);  // drag
  cur.SetDragSelCopyCursor(TEditorCursors::crDragSelCopy);
  cur.SetInSelCursor(0);      // arrow
  cur.SetLeftMarginCursor(TEditorCursors::crRightArrow);
  cur.SetTopMarginCursor(0);  // arrow

  p.SetHitStyle(hsSelect);

  TEditorImagebar& ib = *p.Imagebar();
  ib.SetDigitWidth(8);
  ib.SetLeftMargin(2);
  ib.SetMarkWidth(0);
  ib.SetRightMargin(2);

  TEditorLeftbar& lb = *p.Leftbar();
  lb.SetBkColor(clSilver);
  lb.SetColor(clBlack);
  lb.SetEdge(true);
  lb.SetShowNumberMode(nmRow);
  lb.SetZeroBase(false);
  lb.SetZeroLead(false);

  for (TEditorMark* m : {p.Marks()->WrapMark(), p.Marks()->HideMark()}) {
    m->SetColor(clGray);
    m->SetVisible(false);
  }

  p.Ruler()->SetEdge(true);
  p.Ruler()->SetGaugeRange(10);

  TEditorSpeed& sp = *p.Speed();
  sp.SetCaretVerticalAc(2);
  sp.SetInitBracketsFull(false);
  sp.SetPageVerticalRange(2);
  sp.SetPageVerticalRangeAc(2);

  p.View()->SetControlCode(false);
  p.View()->SetUrl(true);
  p.View()->SetMail(true);

  TEditorWrapOption& w = *p.WrapOption();
  w.SetFollowRetMark(false);
  w.SetFollowPunctuation(false);
  w.SetLeading(false);
  w.SetWordBreak(false);
  w.SetFollowStr(ByteString(TEditorWrapOption::kDefaultFollowStr));
  w.SetLeadStr(ByteString(TEditorWrapOption::kDefaultLeadStr));
  w.SetPunctuationStr(ByteString(TEditorWrapOption::kDefaultPunctuationStr));
}

void ApplySettings(const TSettings& s, const std::string& fontName, TEditorProp& p) {
  // Font and token styles.
  TFontDesc font = p.Font();
  font.Name = fontName;
  font.Size = s.Window.FontSize;
  p.SetFont(font);
  TEditorColors& colors = *p.View()->Colors();
  for (int i = 0; i < kSettingsTokenCount; ++i) {
    auto t = static_cast<TSettingsToken>(i);
    if (TokenHasStyle(t)) TokenColor(colors, t)->SetStyle(TokenStyles(s.Tokens[static_cast<size_t>(i)]));
  }

  // Margins and widths.
  p.Margin()->SetTop(s.TopSpace);
  p.Margin()->SetLeft(s.LeftSpace);
  p.Margin()->SetLine(s.LineSpace);
  p.Margin()->SetCharacter(s.CharacterSpace);
  p.Caret()->SetTabSpaceCount(s.TabCount);
  p.WrapOption()->SetWrapByte(s.WrapCount);
  p.Leftbar()->SetColumn(3);
  p.Leftbar()->SetLeftMargin(2);
  p.Leftbar()->SetRightMargin(2);

  // Colours.
  p.SetColor(s.Background);
  for (int i = 0; i < kSettingsTokenCount; ++i) {
    TFountainColor* c = TokenColor(colors, static_cast<TSettingsToken>(i));
    c->SetColor(s.Tokens[static_cast<size_t>(i)].FStr);
    c->SetBkColor(s.Tokens[static_cast<size_t>(i)].BStr);
  }
  p.Marks()->RetMark()->SetColor(s.RetColor);
  p.Marks()->EofMark()->SetColor(s.EofColor);
  p.Leftbar()->SetColor(s.LineNumColor);
  p.Leftbar()->SetBkColor(s.LineNumBkColor);
  p.Ruler()->SetColor(s.RulerColor);
  p.Ruler()->SetBkColor(s.RulerBkColor);
  p.Ruler()->SetMarkColor(s.RulerMarkColor);
  p.Marks()->Underline()->SetColor(s.LineCursorColor);

  // Flags.
  p.Marks()->EofMark()->SetVisible(s.EofFlag);
  p.Marks()->RetMark()->SetVisible(s.RetFlag);
  p.Marks()->Underline()->SetVisible(s.LCursorShow);
  p.Leftbar()->SetVisible(s.LineNumberShow);
  p.Leftbar()->SetShowNumber(true);
  p.Imagebar()->SetVisible(false);
  p.Ruler()->SetVisible(s.RulerShow);
  p.SetWordWrap(s.WrapFlag);
  p.Caret()->SetAutoIndent(s.AIndentFlag);
  p.Caret()->SetTabIndent(s.TIndentFlag);
  p.Caret()->SetFreeCaret(s.FCaretFlag);
  p.Caret()->SetFreeRow(s.FCaretFlag);

  // View: URLs and mail coloured, row selection off, the brace pair and
  // the line comment in the Comment colours, "'" quotes.
  p.View()->SetUrl(true);
  p.View()->SetMail(true);
  p.Caret()->SetRowSelect(false);
  TEditorBracketCollection& brackets = *p.View()->Brackets();
  EnsureBracePair(brackets);
  const TTokenSetting& comment = s.Tokens[stComment];
  ColourBrackets(brackets, comment);
  p.View()->SetQuotation(ByteString("'"));
  if (s.CommentOutRow) {
    p.View()->SetCommenter(ByteString("//"));
    ColourBrackets(brackets, comment);
  } else {
    p.View()->SetCommenter(ByteString());
  }
}

void TakeViewFlags(TSettings& s, const TEditorProp& p) {
  s.LineNumberShow = p.Leftbar()->Visible();
  s.RulerShow = p.Ruler()->Visible();
  s.LCursorShow = p.Marks()->Underline()->Visible();
}

bool LoadReserveWords(TStrings& list, const std::string& path, std::string* problem) {
  UpdateGuard<TStrings> update(list);
  list.Clear();
  try {
    list.SetText(ReadWholeFile(path));
    return true;
  } catch (const std::exception& e) {
    if (problem) *problem = e.what();
    return false;
  }
}

TSettings LoadStartupSettings(const TSettingsLocation& loc, const std::vector<std::string>& fonts,
                              const std::vector<TScreenRect>& screens, TEditorProp& p,
                              std::vector<std::string>* problems) {
  TSettings s = LoadSettings(loc, problems);
  s.Window.Rect = PlaceWindow(s.Window.Rect, screens);
  const std::string fontName = ResolveFontName(fonts, s.Window.FontName);
  InitEditorProp1(p);
  ApplySettings(s, fontName, p);
  std::string problem;
  if (!LoadReserveWords(*p.ReserveWordList(), ReserveWordFileToRead(loc), &problem) && problems)
    problems->push_back(problem);
  return s;
}

} // namespace ze
