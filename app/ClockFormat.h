#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace friendlinks {

// The clock's form: the locale's short date and its long time (with seconds),
// without the time-zone name. Pattern letters that Qt does not know (a day
// period "B" in some locales) never reach the screen as letters.
[[nodiscard]] QString clockFormat(const QLocale &locale);

// The clock's text for a moment, in clockFormat(locale).
[[nodiscard]] QString clockText(const QDateTime &moment, const QLocale &locale);

} // namespace friendlinks
