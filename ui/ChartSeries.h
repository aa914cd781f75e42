#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace friendlinks {

// How a point's day is marked behind the line: a bad day as a red band, a
// weak one as a paler red band with a hollow dot.
enum class ChartMark { None, Bad, Weak };

struct ChartPoint {
    QDateTime at;
    std::optional<double> value; // none: the line has a gap there
    ChartMark mark = ChartMark::None;
    bool operator==(const ChartPoint &) const = default;
};

// What TimeChart draws: one line through time and the marked days, with the
// words of its legend. Points in time order.
struct ChartSeries {
    QList<ChartPoint> points;
    QString valueName; // the line's
    QString badName;   // the red bands'
    QString weakName;  // the pale bands'
    bool operator==(const ChartSeries &) const = default;
};

} // namespace friendlinks
