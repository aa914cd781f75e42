#pragma once

#include <QDate>
#include <QList>
#include <QString>

namespace friendlinks {

// The value axis of a chart of counts: whole round ticks (1, 2 or 5 times a
// power of ten) from at or below low to at or above high, at most maxTicks of
// them (at least two). A flat range gets room around its value; the axis
// starts at 0 when the values are not far above it.
struct ValueAxis {
    double low = 0;
    double high = 1;
    QList<double> ticks;
};
[[nodiscard]] ValueAxis valueAxis(double low, double high, int maxTicks);

// A count as a short label: "950", "9,500", "12.5万", "1.2亿" (Chinese readers count in 万).
[[nodiscard]] QString shortCount(double value);
// A whole count with commas: "12,300".
[[nodiscard]] QString groupedCount(qint64 value);

// The days to label on a time axis from first to last so that at most
// maxLabels fit: every 1, 2, 3, 7 or 14 days from first, else the first days
// of every 1, 2, 3, 6, 12... months.
[[nodiscard]] QList<QDate> dateTicks(QDate first, QDate last, int maxLabels);

} // namespace friendlinks
