#pragma once
// The fountain every editor carries: named token colours, a one-line
// comment starter, a string quotation character, a hexadecimal prefix,
// optional control-code literals (#13, #$0D), and URLs and mail addresses.

#include <memory>

#include "colouring/Fountain.h"
#include "colouring/FountainParser.h"

namespace ze {

class TEditorFountain;

class TEditorColor : public TFountainColor {};

// The token colours of an editor fountain. Reserve is the fountain's own
// Reserve colour, not a copy. A change of any colour is reported through
// OnChange (the fountain's notification list).
class TEditorColors : public TNotifyPersistent {
public:
  explicit TEditorColors(TEditorFountain* fountain);
  ~TEditorColors() override;
  TEditorColors(const TEditorColors&) = delete;
  TEditorColors& operator=(const TEditorColors&) = delete;

  TEditorColor* Ank() const noexcept { return ank_.get(); }
  TEditorColor* Comment() const noexcept { return comment_.get(); }
  TEditorColor* DBCS() const noexcept { return dbcs_.get(); }
  TEditorColor* Hit() const noexcept { return hit_.get(); }
  TEditorColor* Int() const noexcept { return int_.get(); }
  TEditorColor* Mail() const noexcept { return mail_.get(); }
  TFountainColor* Reserve() const noexcept;
  TEditorColor* Select() const noexcept { return select_.get(); }
  TEditorColor* Str() const noexcept { return str_.get(); }
  TEditorColor* Symbol() const noexcept { return symbol_.get(); }
  TEditorColor* Url() const noexcept { return url_.get(); }

  void SetAnk(const TFountainColor* v) { ank_->CopyFrom(v); }
  void SetComment(const TFountainColor* v) { comment_->CopyFrom(v); }
  void SetDBCS(const TFountainColor* v) { dbcs_->CopyFrom(v); }
  void SetHit(const TFountainColor* v) { hit_->CopyFrom(v); }
  void SetInt(const TFountainColor* v) { int_->CopyFrom(v); }
  void SetMail(const TFountainColor* v) { mail_->CopyFrom(v); }
  void SetReserve(const TFountainColor* v);
  void SetSelect(const TFountainColor* v) { select_->CopyFrom(v); }
  void SetStr(const TFountainColor* v) { str_->CopyFrom(v); }
  void SetSymbol(const TFountainColor* v) { symbol_->CopyFrom(v); }
  void SetUrl(const TFountainColor* v) { url_->CopyFrom(v); }

  TEditorFountain* Fountain() const noexcept { return fountain_; }

  // From another TEditorColors: every colour, Reserve from the source's
  // fountain into this one's; listeners are told once.
  void CopyFrom(const TPersistent* source) override;

  static const TPropTable& ClassProps();
  const TPropTable* PublishedProps() const override { return &ClassProps(); }

private:
  std::unique_ptr<TEditorColor> MakeColor();

  std::unique_ptr<TEditorColor> ank_, comment_, dbcs_, hit_, int_, mail_, select_, str_, symbol_,
      url_;
  TEditorFountain* fountain_;
};

class TEditorBracketCollection : public TFountainBracketCollection {
public:
  using TFountainBracketCollection::TFountainBracketCollection;
  // Set that part of every item's colour; one notification.
  virtual void SetAllBkColor(TColor color);
  virtual void SetAllColor(TColor color);
  virtual void SetAllStyle(TFontStyles style);
};

class TEditorFountain : public TFountain {
public:
  ~TEditorFountain() override;
  void AfterConstruction() override;

  TEditorColors* Colors() const noexcept { return colors_.get(); }
  void SetColors(const TEditorColors* v) { colors_->CopyFrom(v); }
  TEditorBracketCollection* Brackets() const noexcept {
    return dynamic_cast<TEditorBracketCollection*>(TFountain::Brackets());
  }
  // The settings below notify the listeners when they change.
  const ByteString& Commenter() const noexcept { return commenter_; }
  void SetCommenter(const ByteString& v);
  bool ControlCode() const noexcept { return controlCode_; }
  void SetControlCode(bool v);
  const ByteString& HexPrefix() const noexcept { return hexPrefix_; }
  void SetHexPrefix(const ByteString& v);
  bool Mail() const noexcept { return mail_; }
  void SetMail(bool v);
  // Only the first byte is used.
  const ByteString& Quotation() const noexcept { return quotation_; }
  void SetQuotation(const ByteString& v);
  bool Url() const noexcept { return url_; }
  void SetUrl(bool v);
  // Changes whenever one of the six settings above changes, so that a
  // tokenizer can tell cheaply whether what it derived from them is stale.
  uint32_t SettingsVersion() const noexcept { return settingsVersion_; }

  // Set that part of every colour of Colors except Select and Hit (Reserve
  // included, brackets not); listeners are told once.
  virtual void SetAllBkColor(TColor color);
  virtual void SetAllColor(TColor color);
  virtual void SetAllStyle(TFontStyles style);

  static const TPropTable& ClassProps();
  const TPropTable* PublishedProps() const override { return &ClassProps(); }

protected:
  explicit TEditorFountain(TComponent* owner) : TFountain(owner) {}
  template <class T, class... A> friend std::unique_ptr<T> Create(A&&...);

  virtual std::unique_ptr<TEditorColors> CreateEditorColors();
  std::unique_ptr<TFountainBracketCollection> CreateBrackets() override;
  TFountainParserClass GetParserClass() override;
  void ColorApplyWalkProc(TObject* instance, const TPropInfo& prop) override;

private:
  void SetAll(const TFountainColor& source, uint8_t mask);
  void Notify() {
    ++settingsVersion_;
    NotifyEventList()->Changed();
  }

  std::unique_ptr<TEditorColors> colors_;
  ByteString commenter_;
  bool controlCode_ = false;
  ByteString hexPrefix_;
  bool mail_ = false;
  ByteString quotation_;
  bool url_ = false;
  uint32_t settingsVersion_ = 0;
};

class TEditorParser : public TFountainParser {
public:
  TFountainColor* TokenColor() override;
  void AfterConstruction() override;
  static std::unique_ptr<TFountainParser> New(TFountain* fountain);

protected:
  explicit TEditorParser(TFountain* fountain);
  template <class T, class... A> friend std::unique_ptr<T> Create(A&&...);

  void InitMethodTable() override;
  void DispatchProc() override;
  TFountainTokenKinds RescanKinds() const override;
  bool ResumeInfo(TResumeInfo& info) const override;

  virtual bool IsQuotationStart();
  virtual void QuotationProc();
  virtual bool IsCommentStart();
  virtual bool IsHexPrefixStart();
  virtual bool IsControlHexStart();
  virtual void ControlHexProc();
  virtual bool IsControlCodeStart();
  virtual void ControlCodeProc();

  // The fountain as an editor fountain, or nullptr.
  TEditorFountain* editorFountain_ = nullptr;

  using TFountainParser::NewData;
  void NewData(const char* text, size_t length, const TRowAttributeData& data) override;

private:
  // DispatchProc for an object of exactly this class: the same tests in
  // the same order as direct calls. A byte at which none of the tests can
  // succeed goes straight to its first-byte procedure (one table look-up);
  // the tables are rebuilt when the settings they depend on change.
  void DirectDispatchProc();
  // The settings the start tables were built from (besides the bracket
  // starts). Bits 0-5: mail, URL, control codes, and whether there is a
  // comment starter, a quotation and a hexadecimal prefix; then their
  // first bytes in bits 8-15, 16-23 and 24-31 (the prefix's upper-cased).
  struct StartSettings {
    uint64_t flags = 0;
    bool Has(int bit) const noexcept { return (flags >> bit) & 1u; }
    unsigned char Byte(int i) const noexcept {
      return static_cast<unsigned char>(flags >> (8 * i));
    }
  };
  enum { kMail, kUrl, kControlCode, kHasComment, kHasQuote, kHasHexPrefix };
  void BuildStartTables(const StartSettings& s);

  bool direct_ = false;
  bool tablesBuilt_ = false;
  uint32_t settingsVersion_ = 0;  // of the fountain, when the tables were built
  uint32_t bracketStampSeen_ = 0; // bracketStamp_ then
  StartSettings settings_;
  // Per first byte: the direct call of its first-byte procedure, or
  // nullptr when one of the tests may succeed there; with and without mail
  // addresses. directFns_ points to one of them.
  DirectFn fnsWithMail_[256] = {};
  DirectFn fnsWithoutMail_[256] = {};
};

} // namespace ze
