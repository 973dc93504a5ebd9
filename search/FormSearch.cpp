#include "search/SearchDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include <algorithm>

#include "platform/CodePage.h"
#include "platform/UserSettings.h"

namespace ze {
namespace {

QString FromUtf8(const std::string& s) {
  return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// The history as stored: every entry followed by CR LF.
QStringList SplitHistory(const QString& text) {
  QStringList out;
  qsizetype i = 0;
  while (i < text.size()) {
    qsizetype start = i;
    while (i < text.size() && text[i] != u'\r' && text[i] != u'\n')
      ++i;
    out << text.mid(start, i - start);
    if (i < text.size() && text[i] == u'\r') ++i;
    if (i < text.size() && text[i] == u'\n') ++i;
  }
  return out;
}

} // namespace

TFormSearchBase::TFormSearchBase(const QString& caption, int clientHeight, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
  setWindowTitle(caption);
  setFixedSize(387, clientHeight);
  QFont font;
  // The form's font, then the Japanese font installed with the editor.
  font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                    QStringLiteral("IPAGothic")});
  font.setPixelSize(12);
  setFont(font);

  Label1 = new QLabel(QStringLiteral("検索する文字列(&T):"), this);
  Label1->setObjectName("Label1");
  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName("ComboBox1");
  ComboBox1->setEditable(true);
  // The history is kept by hand; completion would change what is typed.
  ComboBox1->setInsertPolicy(QComboBox::NoInsert);
  ComboBox1->setCompleter(nullptr);
  Label1->setBuddy(ComboBox1);

  RadioGroup1 = new TRadioGroup(QStringLiteral(" [ 検索方向 ] "),
                                {QStringLiteral("後方(&B)"), QStringLiteral("前方(&D)")}, 2, this);
  RadioGroup1->setObjectName("RadioGroup1");
  RadioGroup1->SetItemIndex(1);

  GroupBox1 = new QGroupBox(QStringLiteral(" [ ｵﾌﾟｼｮﾝ ] "), this);
  GroupBox1->setObjectName("GroupBox1");
  auto check = [&](const char* name, const QString& text, int y) {
    auto* box = new QCheckBox(text, GroupBox1);
    box->setObjectName(name);
    box->setGeometry(10, y, 184, 18);
    return box;
  };
  chkMatchCase = check("chkMatchCase", QStringLiteral("大/小文字の区別(&C)"), 18);
  chkWholeWord = check("chkWholeWord", QStringLiteral("単語単位で探す(&W)"), 38);
  chkNoMatchZenkaku = check("chkNoMatchZenkaku", QStringLiteral("全角・半角を区別しない(&Z)"), 58);
  chkIncludeCRLF = check("chkIncludeCRLF", QStringLiteral("改行・スペースを無視(&L)"), 78);

  btnOK = new QPushButton(QStringLiteral("O K"), this);
  btnOK->setObjectName("btnOK");
  btnOK->setDefault(true);
  btnCancel = new QPushButton(QStringLiteral("キャンセル"), this);
  btnCancel->setObjectName("btnCancel");
  connect(btnCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });

  Notice = [](QWidget* parent, const QString& message) {
    QMessageBox::warning(parent, QGuiApplication::applicationDisplayName(), message);
  };
}

TFormSearchBase::~TFormSearchBase() = default;

TSearchOptions TFormSearchBase::Options() const {
  TSearchOptions o = 0;
  if (chkWholeWord->isChecked()) o |= soWholeWord;
  if (chkMatchCase->isChecked()) o |= soMatchCase;
  if (chkNoMatchZenkaku->isChecked()) o |= soNoMatchZenkaku;
  if (RadioGroup1->ItemIndex() == 1) o |= soDown;
  if (chkIncludeCRLF->isChecked()) o |= soIncludeCRLF | soIncludeSpace;
  return o;
}

void TFormSearchBase::showEvent(QShowEvent* event) {
  Prepare();
  if (QScreen* screen = this->screen()) {
    QRect area = screen->availableGeometry();
    move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
  }
  QDialog::showEvent(event);
  ComboBox1->setFocus();
}

void TFormSearchBase::Prepare() {
  searchText_ = ByteString();
  LoadSettings();
  if (ComboBox1->count() > 0) ComboBox1->setCurrentIndex(0);
}

void TFormSearchBase::LoadSettings() {
  try {
    LoadFrom(UserSettingsKey(kSearchSettingsKey));
  } catch (const Exception& e) {
    Notice(this, QStringLiteral("検索の設定を読み込めませんでした。\n%1").arg(e.what()));
  }
}

void TFormSearchBase::SaveSettings() {
  try {
    UserSettingsKey key(kSearchSettingsKey);
    SaveTo(key);
    key.Flush();
  } catch (const Exception& e) {
    Notice(this, QStringLiteral("検索の設定を保存できませんでした。\n%1").arg(e.what()));
  }
}

void TFormSearchBase::LoadFrom(const UserSettingsKey& key) {
  chkMatchCase->setChecked(key.ReadBool("Options", "MatchCase", false));
  chkWholeWord->setChecked(key.ReadBool("Options", "WholeWord", false));
  chkNoMatchZenkaku->setChecked(key.ReadBool("Options", "NoMatchZenkaku", false));
  chkIncludeCRLF->setChecked(key.ReadBool("Options", "IncludeCRLF", false));
  int direction = key.ReadInteger("Options", "Direction", 1);
  // A value from a damaged file must not leave both directions unchecked.
  RadioGroup1->SetItemIndex(direction >= 0 && direction < RadioGroup1->ItemCount() ? direction : 1);
  LoadHistory(key, "SearchItems", ComboBox1);
}

void TFormSearchBase::SaveTo(UserSettingsKey& key) const {
  key.WriteBool("Options", "MatchCase", chkMatchCase->isChecked());
  key.WriteBool("Options", "WholeWord", chkWholeWord->isChecked());
  key.WriteBool("Options", "NoMatchZenkaku", chkNoMatchZenkaku->isChecked());
  key.WriteBool("Options", "IncludeCRLF", chkIncludeCRLF->isChecked());
  key.WriteInteger("Options", "Direction", RadioGroup1->ItemIndex());
  SaveHistory(key, "SearchItems", ComboBox1);
}

void TFormSearchBase::LoadHistory(const UserSettingsKey& key, const char* section,
                                  QComboBox* combo) {
  QStringList items = SplitHistory(FromUtf8(key.ReadString(section, "Text", "")));
  while (items.size() > kSearchHistoryMax)
    items.removeLast();
  combo->clear();
  combo->addItems(items);
}

void TFormSearchBase::SaveHistory(UserSettingsKey& key, const char* section,
                                  const QComboBox* combo) {
  QString text;
  for (int i = 0; i < combo->count(); ++i)
    text += combo->itemText(i) + QStringLiteral("\r\n");
  key.WriteString(section, "Text", text.toStdString());
}

void TFormSearchBase::AcceptHistory(QComboBox* combo) {
  QString text = combo->currentText();
  if (text.isEmpty()) return;
  for (int i = 0; i < combo->count(); ++i) {
    if (combo->itemText(i) == text) { // exact, case-sensitive
      combo->removeItem(i);
      break;
    }
  }
  combo->insertItem(0, text);
  if (combo->count() > kSearchHistoryMax) combo->removeItem(combo->count() - 1);
  combo->setCurrentIndex(0);
  combo->setEditText(text);
}

bool TFormSearchBase::ConvertText(QComboBox* combo, ByteString& out) {
  QString text = combo->currentText();
  std::string bytes = Utf16ToCp932(text.toStdU16String());
  // Every character that CP932 lacks becomes one '?'.
  if (std::count(bytes.begin(), bytes.end(), kCp932Replacement) > text.count(u'?')) {
    Notice(this,
           QStringLiteral("「%1」にはシフトJISで表せない文字があるため、使えません。").arg(text));
    combo->setFocus();
    return false;
  }
  out = ByteString(bytes);
  return true;
}

TFormSearch::TFormSearch(QWidget* parent)
    : TFormSearchBase(QStringLiteral("  検 索"), 163, parent) {
  setObjectName("FormSearch");
  Label1->setGeometry(8, 8, 200, 16);
  ComboBox1->setGeometry(8, 26, 288, 22);
  btnOK->setGeometry(304, 24, 75, 25);
  btnCancel->setGeometry(304, 56, 75, 25);
  GroupBox1->setGeometry(8, 58, 200, 98);
  RadioGroup1->setGeometry(216, 100, 163, 50);

  setTabOrder(ComboBox1, RadioGroup1->Button(0));
  setTabOrder(RadioGroup1->Button(0), RadioGroup1->Button(1));
  setTabOrder(RadioGroup1->Button(1), chkMatchCase);
  setTabOrder(chkMatchCase, chkWholeWord);
  setTabOrder(chkWholeWord, chkNoMatchZenkaku);
  setTabOrder(chkNoMatchZenkaku, chkIncludeCRLF);
  setTabOrder(chkIncludeCRLF, btnOK);
  setTabOrder(btnOK, btnCancel);
  connect(btnOK, &QPushButton::clicked, this, &TFormSearch::OnOK);
}

void TFormSearch::OnOK() {
  ByteString text;
  if (!ConvertText(ComboBox1, text)) return;
  AcceptHistory(ComboBox1);
  if (!text.empty()) searchText_ = text;
  SaveSettings(); // also with an empty text
  done(mrOk);
}

} // namespace ze
