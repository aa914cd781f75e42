#include "app/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace friendlinks {

QTranslator *installQtTranslations(QCoreApplication &app, const QLocale &locale)
{
    // qtbase_zh_CN.qm and its kin, from Qt's translation folder (Debian: qt6-translations-l10n).
    auto *translator = new QTranslator(&app);
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

} // namespace friendlinks
