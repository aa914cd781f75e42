#pragma once

#include <QString>

#include <ostream>

// Readable failure messages: QString printed as UTF-8 with CR and LF made visible.
inline void PrintTo(const QString &text, std::ostream *os)
{
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1String("\\r")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
    *os << '"' << shown.toStdString() << '"';
}
