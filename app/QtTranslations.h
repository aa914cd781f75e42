#pragma once

#include <QLocale>

class QCoreApplication;
class QTranslator;

namespace friendlinks {

// Installs Qt's own translations (file dialogs, standard buttons) for locale,
// so "导出 CSV…" asks in the desktop's language. The translator belongs to app;
// nullptr when Qt has none installed for that locale (Qt's English stays).
QTranslator *installQtTranslations(QCoreApplication &app, const QLocale &locale);

} // namespace friendlinks
