#include "app/QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace ze {

QLocale QtTranslationLocale(const QLocale& system) {
  if (system.language() == QLocale::C || system.language() == QLocale::AnyLanguage)
    return QLocale(QLocale::Japanese, QLocale::Japan);
  return system;
}

QTranslator* InstallQtTranslation(QCoreApplication& app, const QLocale& locale,
                                  const QString& dir) {
  auto* translator = new QTranslator(&app);
  // Tries qtbase_ja_JP.qm, qtbase_ja.qm and so on for each of the locale's
  // languages.
  if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), dir) ||
      !QCoreApplication::installTranslator(translator)) {
    delete translator;
    return nullptr;
  }
  return translator;
}

QTranslator* InstallQtTranslation(QCoreApplication& app) {
  return InstallQtTranslation(app, QtTranslationLocale(QLocale::system()),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

} // namespace ze
