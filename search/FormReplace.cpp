#include "search/SearchDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "platform/UserSettings.h"

namespace ze {

TFormReplace::TFormReplace(QWidget* parent)
    : TFormSearchBase(QStringLiteral("  置 換"), 213, parent) {
  setObjectName("FormReplace");
  btnOK->setText(QStringLiteral("O  K"));

  Label2 = new QLabel(QStringLiteral("置換える文字列(&R):"), this);
  Label2->setObjectName("Label2");
  ComboBox2 = new QComboBox(this);
  ComboBox2->setObjectName("ComboBox2");
  ComboBox2->setEditable(true);
  ComboBox2->setInsertPolicy(QComboBox::NoInsert);
  ComboBox2->setCompleter(nullptr);
  Label2->setBuddy(ComboBox2);
  btnAll = new QPushButton(QStringLiteral("すべて置換(&A)"), this);
  btnAll->setObjectName("btnAll");
  chkReplaceConfirm = new QCheckBox(QStringLiteral("置換え動作の確認(&P)"), this);
  chkReplaceConfirm->setObjectName("chkReplaceConfirm");
  chkReplaceConfirm->setChecked(true);

  Label1->setGeometry(8, 8, 200, 16);
  ComboBox1->setGeometry(8, 26, 280, 22);
  Label2->setGeometry(8, 54, 200, 16);
  ComboBox2->setGeometry(8, 72, 280, 22);
  btnOK->setGeometry(296, 24, 83, 25);
  btnAll->setGeometry(296, 56, 83, 25);
  btnCancel->setGeometry(296, 88, 83, 25);
  GroupBox1->setGeometry(8, 106, 200, 98);
  RadioGroup1->setGeometry(216, 122, 163, 50);
  chkReplaceConfirm->setGeometry(220, 182, 159, 18);

  setTabOrder(ComboBox1, ComboBox2);
  setTabOrder(ComboBox2, RadioGroup1->Button(0));
  setTabOrder(RadioGroup1->Button(0), RadioGroup1->Button(1));
  setTabOrder(RadioGroup1->Button(1), chkMatchCase);
  setTabOrder(chkMatchCase, chkWholeWord);
  setTabOrder(chkWholeWord, chkNoMatchZenkaku);
  setTabOrder(chkNoMatchZenkaku, chkIncludeCRLF);
  setTabOrder(chkIncludeCRLF, chkReplaceConfirm);
  setTabOrder(chkReplaceConfirm, btnOK);
  setTabOrder(btnOK, btnAll);
  setTabOrder(btnAll, btnCancel);

  connect(btnOK, &QPushButton::clicked, this, [this] { Accept(soReplace, mrOk); });
  connect(btnAll, &QPushButton::clicked, this, [this] { Accept(soReplaceAll, mrAll); });
}

TSearchOptions TFormReplace::Options() const {
  TSearchOptions o = accumulator_ | TFormSearchBase::Options();
  if (chkReplaceConfirm->isChecked()) o |= soReplaceConfirm;
  return o;
}

void TFormReplace::Prepare() {
  replaceText_ = ByteString();
  accumulator_ = 0;
  TFormSearchBase::Prepare();
  // Confirmation is on and the replacement empty every time it opens.
  chkReplaceConfirm->setChecked(true);
  ComboBox2->setEditText(QString());
}

void TFormReplace::LoadFrom(const UserSettingsKey& key) {
  TFormSearchBase::LoadFrom(key);
  LoadHistory(key, "ReplaceItems", ComboBox2);
}

void TFormReplace::SaveTo(UserSettingsKey& key) const {
  TFormSearchBase::SaveTo(key);
  SaveHistory(key, "ReplaceItems", ComboBox2);
}

void TFormReplace::Accept(TSearchOptions button, TModalResult result) {
  ByteString find, replace;
  if (!ConvertText(ComboBox1, find) || !ConvertText(ComboBox2, replace)) return;
  AcceptHistory(ComboBox1);
  AcceptHistory(ComboBox2);
  if (!find.empty()) searchText_ = find;
  if (!replace.empty()) replaceText_ = replace;
  SaveSettings();
  accumulator_ |= button;
  done(result);
}

} // namespace ze
