#include "qt/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace quenbo::qt {

QLocale windowLocale(const QLocale& system) {
  if (system.language() == QLocale::Chinese) return system;
  return QLocale(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China);
}

bool installQtTranslations(QCoreApplication& app, const QLocale& locale) {
  QLocale::setDefault(locale);
  // "qt" gathers the catalogues of every Qt module: qtbase holds the standard buttons.
  auto* translator = new QTranslator(&app);
  if (!translator->load(locale, QStringLiteral("qt"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace quenbo::qt
