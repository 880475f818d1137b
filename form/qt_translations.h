#pragma once
// Qt's own texts (standard buttons, file and folder dialogs, context menus) in
// the user's language, next to the program's Chinese captions.

#include <QLocale>

class QCoreApplication;

namespace lct {

/// The locale whose Qt texts the program shows: the system's, except that
/// the C and POSIX locales (no language chosen) give Chinese (zh_CN).
QLocale programLocale(const QLocale& system);

/// Loads Qt's translation of its own texts ("qtbase", from Qt's translations
/// folder) for `locale` and installs it on `application`, which owns it.
/// False when Qt has no translation for that language (its texts stay
/// English).
bool installQtTranslations(QCoreApplication& application, const QLocale& locale);

}  // namespace lct
