#include "ui/ChartScale.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace friendlinks {

namespace {

// The smallest round step (1, 2, 5 × 10^k) at least rough.
double roundStep(double rough)
{
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0})
        if (factor * power >= rough * (1 - 1e-9))
            return factor * power;
    return 10 * power;
}

} // namespace

ValueAxis valueAxis(double low, double high, int maxTicks)
{
    maxTicks = std::max(2, maxTicks);
    if (high < low)
        std::swap(low, high);
    if (high == low) {
        const double room = std::max(1.0, std::abs(low) * 0.1);
        low = low >= 0 ? std::max(0.0, low - room) : low - room;
        high += room;
    }
    // A count line reads best from 0 unless its values sit far above it.
    if (low >= 0 && low <= 2 * (high - low))
        low = 0;
    ValueAxis axis;
    // Counts: a step is a whole number.
    double step = std::max(1.0, roundStep((high - low) / (maxTicks - 1)));
    for (int tries = 0; tries < 4; ++tries) {
        axis.low = std::floor(low / step) * step;
        axis.high = std::ceil(high / step) * step;
        if (std::lround((axis.high - axis.low) / step) + 1 <= maxTicks)
            break;
        step = std::max(1.0, roundStep(step * 1.01));
    }
    if (axis.low < 0 && low >= 0)
        axis.low = 0;
    const long count = std::lround((axis.high - axis.low) / step);
    for (long i = 0; i <= count; ++i)
        axis.ticks << axis.low + double(i) * step;
    return axis;
}

QString shortCount(double value)
{
    const QLocale c = QLocale::c();
    const double size = std::abs(value);
    const auto scaled = [&c](double v, const QString &unit) {
        // One decimal, none when it is 0: "9.5万", "12万".
        QString text = c.toString(v, 'f', v < 100 ? 1 : 0);
        if (text.endsWith(QStringLiteral(".0")))
            text.chop(2);
        return text + unit;
    };
    if (size >= 1e8)
        return scaled(value / 1e8, QStringLiteral("亿"));
    if (size >= 1e5)
        return scaled(value / 1e4, QStringLiteral("万"));
    return groupedCount(qint64(std::llround(value)));
}

QString groupedCount(qint64 value)
{
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::DefaultNumberOptions); // the C locale alone writes no commas
    return c.toString(value);
}

QList<QDate> dateTicks(QDate first, QDate last, int maxLabels)
{
    QList<QDate> ticks;
    if (!first.isValid() || !last.isValid())
        return ticks;
    if (last < first)
        std::swap(first, last);
    maxLabels = std::max(1, maxLabels);
    const qint64 days = first.daysTo(last);
    for (const int step : {1, 2, 3, 7, 14}) {
        if (days / step + 1 <= maxLabels) {
            for (QDate day = first; day <= last; day = day.addDays(step))
                ticks << day;
            return ticks;
        }
    }
    // Longer: the first of every month, every second, third, sixth, twelfth month.
    const int months = int(days / 30) + 1;
    for (const int step : {1, 2, 3, 6, 12, 24, 60}) {
        if (months / step + 1 > maxLabels && step != 60)
            continue;
        QDate day(first.year(), first.month(), 1);
        if (day < first)
            day = day.addMonths(1);
        for (; day <= last; day = day.addMonths(step))
            ticks << day;
        return ticks;
    }
    return ticks;
}

} // namespace friendlinks
