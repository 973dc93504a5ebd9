// Qt's own texts follow the user's language, and a missing or broken
// translation file leaves them in English without any failure.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/QtTranslation.h"
#include "tests/qt/QtApp.h"
#include "tests/support/TempDir.h"

namespace ze {
namespace {

// The text of the standard Cancel button as Qt shows it now.
QString CancelText() { return QCoreApplication::translate("QPlatformTheme", "Cancel"); }

class QtTranslationTest : public ::testing::Test {
protected:
  void SetUp() override { test::App(); }
  void TearDown() override {
    if (installed) {
      QCoreApplication::removeTranslator(installed);
      delete installed;
    }
  }
  QTranslator* installed = nullptr;
  test::TempDir dir;
};

TEST_F(QtTranslationTest, AnUnsetLocaleMeansJapaneseAnyOtherIsKept) {
  const QLocale fromC = QtTranslationLocale(QLocale::c());
  EXPECT_EQ(fromC.language(), QLocale::Japanese);
  EXPECT_EQ(fromC.territory(), QLocale::Japan);
  const QLocale german(QLocale::German, QLocale::Germany);
  EXPECT_EQ(QtTranslationLocale(german), german);
  const QLocale japanese(QLocale::Japanese, QLocale::Japan);
  EXPECT_EQ(QtTranslationLocale(japanese), japanese);
}

TEST_F(QtTranslationTest, JapaneseButtonTextsFromQtsTranslationsFolder) {
  ASSERT_EQ(CancelText(), "Cancel");
  installed = InstallQtTranslation(*QCoreApplication::instance(),
                                   QLocale(QLocale::Japanese, QLocale::Japan),
                                   QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  ASSERT_NE(installed, nullptr) << "qtbase_ja.qm missing: run scripts/setup";
  EXPECT_EQ(CancelText(), QString::fromUtf8("キャンセル"));
  EXPECT_EQ(installed->parent(), QCoreApplication::instance());
}

TEST_F(QtTranslationTest, AMissingOrBrokenFileLeavesQtInEnglish) {
  // No file at all.
  installed = InstallQtTranslation(*QCoreApplication::instance(),
                                   QLocale(QLocale::Japanese, QLocale::Japan),
                                   QString::fromStdString(dir.Path()));
  EXPECT_EQ(installed, nullptr);
  EXPECT_EQ(CancelText(), "Cancel");
  // A file of the right name that is not a translation.
  test::WriteFile(dir.File("qtbase_ja.qm"), "not a translation file");
  installed = InstallQtTranslation(*QCoreApplication::instance(),
                                   QLocale(QLocale::Japanese, QLocale::Japan),
                                   QString::fromStdString(dir.Path()));
  EXPECT_EQ(installed, nullptr);
  EXPECT_EQ(CancelText(), "Cancel");
}

} // namespace
} // namespace ze
