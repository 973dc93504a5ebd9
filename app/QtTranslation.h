#pragma once
// Qt's own texts (file and print dialogs, message box buttons) in the
// user's language, so that they match the Japanese menus around them.

#include <QLocale>
#include <QString>

class QCoreApplication;
class QTranslator;

namespace ze {

// The language for Qt's texts: the system's, or Japanese when the system
// names none (the "C" locale of an unset LANG).
QLocale QtTranslationLocale(const QLocale& system);

// Loads "qtbase" for locale from dir and installs it in app, which owns
// it. A missing or unreadable file is no error: nullptr, nothing
// installed, and Qt keeps its English texts.
QTranslator* InstallQtTranslation(QCoreApplication& app, const QLocale& locale,
                                  const QString& dir);

// Both of the above with the system locale and Qt's translations folder.
QTranslator* InstallQtTranslation(QCoreApplication& app);

} // namespace ze
