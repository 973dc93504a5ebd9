#pragma once
// The colouring options an editor uses when it has no fountain of its own:
// a TEditorFountain owned by the view, whose settings it reads and writes
// through. A change of the fountain is a change of the view.

#include <memory>

#include "colouring/EditorFountain.h"
#include "text/Notify.h"

namespace ze {

class TEditorViewInfo : public TNotifyPersistent {
public:
  TEditorViewInfo();
  ~TEditorViewInfo() override;
  void AfterConstruction() override;

  TEditorFountain* Fountain() const { return fountain_.get(); }
  TEditorBracketCollection* Brackets() const { return fountain_->Brackets(); }
  void SetBrackets(const TFountainBracketCollection* v) { fountain_->Brackets()->CopyFrom(v); }
  TEditorColors* Colors() const { return fountain_->Colors(); }
  void SetColors(const TEditorColors* v) { fountain_->SetColors(v); }
  const ByteString& Commenter() const { return fountain_->Commenter(); }
  void SetCommenter(const ByteString& v) { fountain_->SetCommenter(v); }
  bool ControlCode() const { return fountain_->ControlCode(); }
  void SetControlCode(bool v) { fountain_->SetControlCode(v); }
  const ByteString& HexPrefix() const { return fountain_->HexPrefix(); }
  void SetHexPrefix(const ByteString& v) { fountain_->SetHexPrefix(v); }
  bool Mail() const { return fountain_->Mail(); }
  void SetMail(bool v) { fountain_->SetMail(v); }
  const ByteString& Quotation() const { return fountain_->Quotation(); }
  void SetQuotation(const ByteString& v) { fountain_->SetQuotation(v); }
  bool Url() const { return fountain_->Url(); }
  void SetUrl(bool v) { fountain_->SetUrl(v); }

  TPersistent* GetOwner() const override { return owner_; }
  void SetOwner(TPersistent* owner) { owner_ = owner; }

  void CopyFrom(const TPersistent* source) override;
  static const TPropTable& ClassProps();
  const TPropTable* PublishedProps() const override { return &ClassProps(); }

protected:
  virtual std::unique_ptr<TEditorFountain> CreateFountain();

private:
  std::unique_ptr<TEditorFountain> fountain_;
  TPersistent* owner_ = nullptr;
};

} // namespace ze
