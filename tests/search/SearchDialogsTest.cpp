#include "search/SearchDialogs.h"

#include "platform/CodePage.h"
#include "platform/UserSettings.h"
#include "tests/support/TempDir.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>

namespace ze {
namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "search_qt_tests";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  return app;
}

QStringList Items(const QComboBox* combo) {
  QStringList out;
  for (int i = 0; i < combo->count(); ++i)
    out << combo->itemText(i);
  return out;
}

class SearchDialogs : public testing::Test {
protected:
  test::TempDir dir;
  QStringList notices;

  void SetUp() override {
    App();
    ::setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
  }
  void TearDown() override { ::unsetenv("XDG_CONFIG_HOME"); }

  // Does `act` to the dialog as soon as it shows, then makes sure it is
  // closed so that a failing test cannot hang.
  template <class Form> void WhenShown(std::function<void(Form&)> act) {
    QTimer::singleShot(0, [this, act] {
      auto* form = qobject_cast<Form*>(QApplication::activeModalWidget());
      if (!form) {
        ADD_FAILURE() << "no dialog";
        return;
      }
      form->Notice = [this](QWidget*, const QString& m) { notices << m; };
      act(*form);
      if (form->isVisible()) {
        ADD_FAILURE() << "the dialog is still open";
        form->done(mrCancel);
      }
    });
  }

  // Runs the search dialog, typing text and pressing OK.
  bool Search(const QString& text, ByteString& find, TSearchOptions& options,
              std::function<void(TFormSearch&)> set = {}) {
    WhenShown<TFormSearch>([&](TFormSearch& f) {
      if (set) set(f);
      f.ComboBox1->setEditText(text);
      f.btnOK->click();
    });
    return SearchDialog(find, options);
  }
  // Opens the search dialog and looks at it, then cancels.
  void LookAtSearch(std::function<void(TFormSearch&)> look) {
    WhenShown<TFormSearch>([&](TFormSearch& f) {
      look(f);
      f.btnCancel->click();
    });
    ByteString find;
    TSearchOptions options;
    SearchDialog(find, options);
  }
  void LookAtReplace(std::function<void(TFormReplace&)> look) {
    WhenShown<TFormReplace>([&](TFormReplace& f) {
      look(f);
      f.btnCancel->click();
    });
    ByteString find, replace;
    TSearchOptions options;
    ReplaceDialog(find, replace, options);
  }
};

// The widgets of `wanted` in the order Tab visits them, from the first.
std::vector<QWidget*> TabOrder(QWidget* first, const std::vector<QWidget*>& wanted) {
  std::vector<QWidget*> order;
  QWidget* w = first;
  for (int guard = 0; guard < 200 && order.size() < wanted.size(); ++guard) {
    if (std::find(wanted.begin(), wanted.end(), w) != wanted.end() &&
        std::find(order.begin(), order.end(), w) == order.end())
      order.push_back(w);
    w = w->nextInFocusChain();
  }
  return order;
}

TEST_F(SearchDialogs, BothFormsWithNoStoredSettings) {
  TFormSearch f;
  f.show();
  EXPECT_EQ(f.windowTitle(), QStringLiteral("  検 索"));
  EXPECT_EQ(f.size(), QSize(387, 163));
  EXPECT_EQ(f.font().pixelSize(), 12);
  EXPECT_EQ(f.Label1->buddy(), f.ComboBox1);
  EXPECT_EQ(f.RadioGroup1->Button(1)->text(), QStringLiteral("前方(&D)"));
  EXPECT_EQ(f.btnOK->text(), QStringLiteral("O K"));
  EXPECT_TRUE(f.btnOK->isDefault());
  for (QCheckBox* c : {f.chkMatchCase, f.chkWholeWord, f.chkNoMatchZenkaku, f.chkIncludeCRLF})
    EXPECT_FALSE(c->isChecked()) << c->objectName().toStdString();
  EXPECT_EQ(f.RadioGroup1->ItemIndex(), 1);
  EXPECT_EQ(f.Options(), soDown);
  EXPECT_EQ(f.ComboBox1->count(), 0);
  std::vector<QWidget*> order{f.ComboBox1, f.chkMatchCase, f.chkIncludeCRLF, f.btnOK, f.btnCancel};
  EXPECT_EQ(TabOrder(f.ComboBox1, order), order);

  TFormReplace r;
  r.show();
  EXPECT_EQ(r.windowTitle(), QStringLiteral("  置 換"));
  EXPECT_EQ(r.size(), QSize(387, 213));
  EXPECT_EQ(r.btnOK->text(), QStringLiteral("O  K"));
  EXPECT_EQ(r.Label2->buddy(), r.ComboBox2);
  EXPECT_TRUE(r.chkReplaceConfirm->isChecked());
  EXPECT_EQ(r.Options(), soDown | soReplaceConfirm);
  order = {r.ComboBox1, r.ComboBox2, r.chkMatchCase, r.btnOK, r.btnCancel};
  EXPECT_EQ(TabOrder(r.ComboBox1, order), order);
}

TEST_F(SearchDialogs, HistoryMovesARepeatedTextToTheTopAndTellsCaseApart) {
  ByteString find;
  TSearchOptions options;
  ASSERT_TRUE(Search("abc", find, options));
  ASSERT_TRUE(Search("ABC", find, options));
  ASSERT_TRUE(Search("xyz", find, options));
  ASSERT_TRUE(Search("abc", find, options));
  EXPECT_EQ(find, "abc");
  EXPECT_EQ(options, soDown);
  LookAtSearch([](TFormSearch& f) {
    EXPECT_EQ(Items(f.ComboBox1), (QStringList{"abc", "xyz", "ABC"}));
    EXPECT_EQ(f.ComboBox1->currentText(), "abc"); // the most recent text is shown
  });
}

TEST_F(SearchDialogs, TheThirtyThirdTextPushesTheOldestOut) {
  {
    UserSettingsKey key(kSearchSettingsKey);
    std::string text;
    for (int i = 1; i <= 32; ++i)
      text += "text" + std::to_string(i) + "\r\n";
    key.WriteString("SearchItems", "Text", text);
  }
  ByteString find;
  TSearchOptions options;
  ASSERT_TRUE(Search("text20", find, options)); // already there: nothing is dropped
  LookAtSearch([](TFormSearch& f) {
    ASSERT_EQ(f.ComboBox1->count(), 32);
    EXPECT_EQ(f.ComboBox1->itemText(0), "text20");
    EXPECT_EQ(f.ComboBox1->itemText(31), "text32");
  });
  ASSERT_TRUE(Search("new", find, options));
  LookAtSearch([](TFormSearch& f) {
    ASSERT_EQ(f.ComboBox1->count(), 32);
    EXPECT_EQ(f.ComboBox1->itemText(0), "new");
    EXPECT_EQ(f.ComboBox1->itemText(1), "text20");
    EXPECT_EQ(f.ComboBox1->itemText(31), "text31");
  });
}

TEST_F(SearchDialogs, OptionsAreStoredAndSharedByBothDialogs) {
  ByteString find;
  TSearchOptions options;
  ASSERT_TRUE(Search("abc", find, options, [](TFormSearch& f) {
    f.chkMatchCase->setChecked(true);
    f.chkNoMatchZenkaku->setChecked(true);
    f.chkIncludeCRLF->setChecked(true);
    f.RadioGroup1->SetItemIndex(0);
  }));
  EXPECT_EQ(options, soMatchCase | soNoMatchZenkaku | soIncludeCRLF | soIncludeSpace);
  LookAtReplace([](TFormReplace& f) {
    EXPECT_TRUE(f.chkMatchCase->isChecked());
    EXPECT_FALSE(f.chkWholeWord->isChecked());
    EXPECT_TRUE(f.chkNoMatchZenkaku->isChecked());
    EXPECT_TRUE(f.chkIncludeCRLF->isChecked());
    EXPECT_EQ(f.RadioGroup1->ItemIndex(), 0);
    EXPECT_EQ(Items(f.ComboBox1), QStringList{"abc"});
  });

  // Changed in the replace dialog, seen in the search dialog.
  WhenShown<TFormReplace>([](TFormReplace& f) {
    f.chkMatchCase->setChecked(false);
    f.chkWholeWord->setChecked(true);
    f.RadioGroup1->SetItemIndex(1);
    f.ComboBox1->setEditText("find");
    f.ComboBox2->setEditText("put");
    f.btnOK->click();
  });
  ByteString replace;
  ASSERT_TRUE(ReplaceDialog(find, replace, options));
  EXPECT_EQ(options, soReplace | soReplaceConfirm | soDown | soWholeWord | soNoMatchZenkaku |
                         soIncludeCRLF | soIncludeSpace);
  LookAtSearch([](TFormSearch& f) {
    EXPECT_FALSE(f.chkMatchCase->isChecked());
    EXPECT_TRUE(f.chkWholeWord->isChecked());
    EXPECT_EQ(f.RadioGroup1->ItemIndex(), 1);
    EXPECT_EQ(Items(f.ComboBox1), (QStringList{"find", "abc"}));
  });
}

TEST_F(SearchDialogs, CancelAndEmptyTextReturnFalseWithClearedOutputs) {
  ByteString find = "old";
  TSearchOptions options = 0xFFFF;
  WhenShown<TFormSearch>([](TFormSearch& f) {
    f.ComboBox1->setEditText("typed");
    f.btnCancel->click();
  });
  EXPECT_FALSE(SearchDialog(find, options));
  EXPECT_TRUE(find.empty());
  EXPECT_EQ(options, 0);

  // OK with no text: false, but the options are saved all the same.
  find = "old";
  EXPECT_FALSE(Search("", find, options, [](TFormSearch& f) { f.chkWholeWord->setChecked(true); }));
  EXPECT_TRUE(find.empty());
  EXPECT_EQ(options, 0);
  LookAtSearch([](TFormSearch& f) {
    EXPECT_TRUE(f.chkWholeWord->isChecked());
    EXPECT_EQ(f.ComboBox1->count(), 0); // nothing added to the history
  });
}

TEST_F(SearchDialogs, ReplaceAlwaysOpensConfirmingWithAnEmptyReplacement) {
  ByteString find, replace;
  TSearchOptions options;
  WhenShown<TFormReplace>([](TFormReplace& f) {
    f.ComboBox1->setEditText("a");
    f.ComboBox2->setEditText("b");
    f.chkReplaceConfirm->setChecked(false);
    f.btnAll->click();
  });
  ASSERT_TRUE(ReplaceDialog(find, replace, options));
  EXPECT_EQ(find, "a");
  EXPECT_EQ(replace, "b");
  EXPECT_EQ(options, soReplaceAll | soDown);

  LookAtReplace([](TFormReplace& f) {
    EXPECT_TRUE(f.chkReplaceConfirm->isChecked());
    EXPECT_EQ(f.ComboBox2->currentText(), "");
    EXPECT_EQ(Items(f.ComboBox2), QStringList{"b"});
    EXPECT_EQ(f.ComboBox1->currentText(), "a");
  });

  // An empty replacement cannot be asked for; the histories are kept.
  WhenShown<TFormReplace>([](TFormReplace& f) {
    f.ComboBox1->setEditText("c");
    f.btnOK->click();
  });
  find = "x";
  EXPECT_FALSE(ReplaceDialog(find, replace, options));
  EXPECT_TRUE(find.empty());
  EXPECT_TRUE(replace.empty());
  EXPECT_EQ(options, 0);
  LookAtReplace([](TFormReplace& f) { EXPECT_EQ(Items(f.ComboBox1), (QStringList{"c", "a"})); });
}

TEST_F(SearchDialogs, TextsReachTheEngineAsCp932) {
  ByteString find, replace;
  TSearchOptions options;
  ASSERT_TRUE(Search(QStringLiteral("ｶﾞ検索～"), find, options));
  EXPECT_EQ(find, Utf8ToCp932("ｶﾞ検索～"));
  EXPECT_EQ(find, "\xB6\xDE\x8C\x9F\x8D\xF5\x81\x60");
  // The history keeps the text as typed.
  LookAtSearch(
      [](TFormSearch& f) { EXPECT_EQ(f.ComboBox1->itemText(0), QStringLiteral("ｶﾞ検索～")); });
}

TEST_F(SearchDialogs, TextThatCp932CannotHoldIsRefusedWithAMessage) {
  ByteString find;
  TSearchOptions options;
  WhenShown<TFormSearch>([&](TFormSearch& f) {
    f.ComboBox1->setEditText(QStringLiteral("a😀?"));
    f.btnOK->click();
    EXPECT_TRUE(f.isVisible()); // still open for a correction
    EXPECT_EQ(f.ComboBox1->count(), 0);
    f.ComboBox1->setEditText(QStringLiteral("a?"));
    f.btnOK->click();
  });
  ASSERT_TRUE(SearchDialog(find, options));
  EXPECT_EQ(find, "a?");
  ASSERT_EQ(notices.size(), 1);
  EXPECT_TRUE(notices[0].contains(QStringLiteral("a😀?")));

  notices.clear();
  ByteString replace;
  WhenShown<TFormReplace>([&](TFormReplace& f) {
    f.ComboBox1->setEditText("a");
    f.ComboBox2->setEditText(QStringLiteral("𠀋"));
    f.btnOK->click();
    EXPECT_TRUE(f.isVisible());
    f.btnCancel->click();
  });
  EXPECT_FALSE(ReplaceDialog(find, replace, options));
  EXPECT_EQ(notices.size(), 1);
}

TEST_F(SearchDialogs, ADamagedOrUnwritableStoreStillLetsTheUserSearch) {
  {
    UserSettingsKey key(kSearchSettingsKey);
    key.WriteString("Options", "Direction", "7");
    key.WriteString("Options", "MatchCase", "yes");
  }
  LookAtSearch([](TFormSearch& f) {
    EXPECT_EQ(f.RadioGroup1->ItemIndex(), 1);
    EXPECT_FALSE(f.chkMatchCase->isChecked());
  });

  // The configuration folder is a plain file: saving fails and says so,
  // the search goes on.
  test::WriteFile(dir.File("blocked"), "x");
  ::setenv("XDG_CONFIG_HOME", dir.File("blocked").c_str(), 1);
  ByteString find;
  TSearchOptions options;
  EXPECT_TRUE(Search("abc", find, options));
  EXPECT_EQ(find, "abc");
  ASSERT_EQ(notices.size(), 1);
  EXPECT_TRUE(notices[0].contains("blocked")) << notices[0].toStdString();
}

} // namespace
} // namespace ze
