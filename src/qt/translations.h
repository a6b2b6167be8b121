// Qt's own texts (standard buttons, file dialogs) in the window's language.
#pragma once

#include <QLocale>

class QCoreApplication;

namespace quenbo::qt {

// The window is Chinese: a Chinese system locale (zh_TW, zh_HK, ...) is kept, any other
// becomes zh_CN.
QLocale windowLocale(const QLocale& system);

// Makes `locale` the default and installs Qt's translations for it, from Qt's own
// translations directory. False when they are not installed (qt6-translations-l10n); Qt's
// English texts then remain.
bool installQtTranslations(QCoreApplication& app, const QLocale& locale);

}  // namespace quenbo::qt
