#include "ui/TimeChart.h"

#include "ui/ChartScale.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace friendlinks {

namespace {

const QColor kLine(32, 96, 192);
const QColor kBadBand(230, 40, 40, 70);
const QColor kWeakBand(230, 40, 40, 48);
const QColor kRed(210, 0, 0);
const QColor kGrid(222, 226, 232);
const QColor kText(80, 80, 80);
constexpr int kGap = 6;

// The lowest and highest value of the points; 0 and 1 when none has one.
std::pair<double, double> valueRange(const QList<ChartPoint> &points)
{
    bool any = false;
    double low = 0, high = 1;
    for (const ChartPoint &p : points)
        if (p.value) {
            low = any ? std::min(low, *p.value) : *p.value;
            high = any ? std::max(high, *p.value) : *p.value;
            any = true;
        }
    return {low, high};
}

double yOf(const ValueAxis &axis, const QRectF &plot, double value)
{
    return plot.bottom() - plot.height() * (value - axis.low) / (axis.high - axis.low);
}

} // namespace

TimeChart::TimeChart(QWidget *parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void TimeChart::setSeries(ChartSeries series)
{
    m_series = std::move(series);
    update();
}

QSize TimeChart::sizeHint() const
{
    return {560, 220};
}

QSize TimeChart::minimumSizeHint() const
{
    return {240, 140};
}

TimeChart::Span TimeChart::span() const
{
    const QList<ChartPoint> &points = m_series.points;
    if (points.isEmpty())
        return {};
    qint64 first = points.first().at.toMSecsSinceEpoch(), last = points.last().at.toMSecsSinceEpoch();
    // Half a typical gap beyond the ends, so the first and last days have their bands too.
    const qint64 pad = points.size() > 1 ? std::max<qint64>((last - first) / (2 * (points.size() - 1)), 3600000)
                                         : 12 * 3600000LL;
    return {first - pad, last + pad};
}

QRectF TimeChart::plotArea() const
{
    const QFontMetrics fm(font());
    const int legend = fm.height() + kGap;
    // Room for the widest value label the axis could have.
    const auto [low, high] = valueRange(m_series.points);
    int labelWidth = fm.horizontalAdvance(QStringLiteral("0"));
    const int maxTicks = std::max(2, (height() - legend - 2 * fm.height()) / (fm.height() * 2));
    for (const double tick : valueAxis(low, high, maxTicks).ticks)
        labelWidth = std::max(labelWidth, fm.horizontalAdvance(shortCount(tick)));
    return QRectF(labelWidth + 2 * kGap, legend + kGap, width() - labelWidth - 3 * kGap - 4,
                  height() - legend - kGap - fm.height() - 2 * kGap);
}

double TimeChart::xOf(const QDateTime &at) const
{
    const QRectF plot = plotArea();
    const Span s = span();
    if (s.last <= s.first)
        return plot.center().x();
    return plot.left() + plot.width() * double(at.toMSecsSinceEpoch() - s.first) / double(s.last - s.first);
}

void TimeChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QList<ChartPoint> &points = m_series.points;
    const QRectF plot = plotArea();
    painter.setPen(kText);
    if (points.isEmpty() || plot.width() < 20 || plot.height() < 20) {
        painter.drawText(rect(), Qt::AlignCenter, points.isEmpty() ? kNoPoints : QString());
        return;
    }
    paintLegend(painter, plot);
    const ValueAxis axis = paintValueAxis(painter, plot);
    paintBands(painter, plot);
    paintDates(painter, plot);
    paintLine(painter, plot, axis);
}

void TimeChart::paintLegend(QPainter &painter, const QRectF &plot) const
{
    const QFontMetrics fm(font());
    const QList<ChartPoint> &points = m_series.points;
    // The legend, left to right: the line, then the bands that occur; in a
    // smaller font when a narrow chart has no room for it.
    const bool hasBad = std::any_of(points.begin(), points.end(), [](const ChartPoint &p) { return p.mark == ChartMark::Bad; });
    const bool hasWeak = std::any_of(points.begin(), points.end(), [](const ChartPoint &p) { return p.mark == ChartMark::Weak; });
    QStringList names{m_series.valueName, hasBad ? m_series.badName : QString(), hasWeak ? m_series.weakName : QString()};
    constexpr int kSample = 14, kAfterSample = 4, kBetween = 10;
    QFont legendFont = font();
    const auto legendWidth = [&](const QFontMetrics &metrics) {
        int total = 0;
        for (const QString &name : names)
            total += name.isEmpty() ? 0 : kSample + kAfterSample + metrics.horizontalAdvance(name) + kBetween;
        return total - kBetween;
    };
    while (legendWidth(QFontMetrics(legendFont)) > width() - plot.left() - kGap && legendFont.pointSizeF() > 6)
        legendFont.setPointSizeF(legendFont.pointSizeF() - 0.5);
    const QFontMetrics lfm(legendFont);
    double x = std::max<double>(kGap, std::min<double>(plot.left(), width() - kGap - legendWidth(lfm)));
    const double legendMid = kGap / 2.0 + fm.height() / 2.0;
    painter.setFont(legendFont);
    for (int i = 0; i < names.size(); ++i) {
        if (names[i].isEmpty())
            continue;
        const QRectF box(x, legendMid - 5, kSample, 10);
        if (i == 0) {
            painter.setPen(QPen(kLine, 2));
            painter.drawLine(QPointF(box.left(), box.center().y()), QPointF(box.right(), box.center().y()));
        } else {
            painter.fillRect(box, i == 1 ? QColor(230, 40, 40, 110) : QColor(230, 40, 40, 70));
        }
        painter.setPen(kText);
        painter.drawText(QPointF(x + kSample + kAfterSample, legendMid + lfm.ascent() / 2.0 - 1), names[i]);
        x += kSample + kAfterSample + lfm.horizontalAdvance(names[i]) + kBetween;
    }
    painter.setFont(font());

}

ValueAxis TimeChart::paintValueAxis(QPainter &painter, const QRectF &plot) const
{
    const QFontMetrics fm(font());
    // The value axis and its grid; none for a series without values, which says so.
    const bool anyValue = std::any_of(m_series.points.begin(), m_series.points.end(),
                                      [](const ChartPoint &p) { return p.value.has_value(); });
    if (!anyValue) {
        painter.setPen(kText);
        painter.drawText(plot, Qt::AlignCenter, kNoValues);
        return {};
    }
    const auto [low, high] = valueRange(m_series.points);
    const ValueAxis axis = valueAxis(low, high, std::max(2, int(plot.height()) / (fm.height() * 2)));
    for (const double tick : axis.ticks) {
        const double y = yOf(axis, plot, tick);
        painter.setPen(QPen(kGrid, 1));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(kText);
        painter.drawText(QRectF(0, y - fm.height() / 2.0, plot.left() - kGap, fm.height()),
                         Qt::AlignRight | Qt::AlignVCenter, shortCount(tick));
    }
    return axis;
}

void TimeChart::paintBands(QPainter &painter, const QRectF &plot) const
{
    const QList<ChartPoint> &points = m_series.points;
    // The marked days: each point's band reaches halfway to its neighbours, a
    // run of days one band (so crowded bands do not darken where they meet).
    for (qsizetype i = 0; i < points.size();) {
        const ChartMark mark = points[i].mark;
        qsizetype last = i;
        while (last + 1 < points.size() && points[last + 1].mark == mark)
            ++last;
        if (mark != ChartMark::None) {
            const double first = xOf(points[i].at), end = xOf(points[last].at);
            double left = i > 0 ? (xOf(points[i - 1].at) + first) / 2 : plot.left();
            double right = last + 1 < points.size() ? (xOf(points[last + 1].at) + end) / 2 : plot.right();
            // At least 3 pixels, so one day among a year of them still shows.
            left = std::min(left, first - 1.5);
            right = std::max(right, end + 1.5);
            painter.fillRect(QRectF(left, plot.top(), right - left, plot.height()),
                             mark == ChartMark::Bad ? kBadBand : kWeakBand);
        }
        i = last + 1;
    }

}

void TimeChart::paintDates(QPainter &painter, const QRectF &plot) const
{
    const QFontMetrics fm(font());
    const QList<ChartPoint> &points = m_series.points;
    // The dates below: under every point, or every few points, over a season
    // (checks made daily at one hour line up with their days); else under the
    // first days of months.
    const Span s = span();
    const QDate firstDay = points.first().at.toLocalTime().date();
    const QDate lastDay = points.last().at.toLocalTime().date();
    const bool years = firstDay.year() != lastDay.year() && firstDay.daysTo(lastDay) > 180;
    const QString format = years ? QStringLiteral("yyyy-MM") : QStringLiteral("MM-dd");
    const int labelWidth = fm.horizontalAdvance(years ? QStringLiteral("0000-00") : QStringLiteral("00-00")) + 2 * kGap;
    const int maxLabels = std::max(1, int(plot.width()) / labelWidth);
    QList<QDateTime> labelled;
    if (firstDay.daysTo(lastDay) <= 92) {
        const qsizetype every = (points.size() + maxLabels - 1) / maxLabels;
        for (qsizetype i = 0; i < points.size(); i += every)
            if (labelled.isEmpty() || labelled.last().toLocalTime().date() != points[i].at.toLocalTime().date())
                labelled << points[i].at;
    } else {
        for (const QDate &day : dateTicks(firstDay, lastDay, maxLabels))
            labelled << QDateTime(day, QTime(12, 0)); // the middle of the day, in local time
    }
    double lastRight = -1e9;
    for (const QDateTime &at : labelled) {
        const qint64 ms = at.toMSecsSinceEpoch();
        const double tx = xOf(at);
        if (ms < s.first || ms > s.last || tx - labelWidth / 2.0 < lastRight || tx + labelWidth / 2.0 > width())
            continue;
        painter.setPen(QPen(kGrid, 1));
        painter.drawLine(QPointF(tx, plot.bottom()), QPointF(tx, plot.bottom() + 3));
        painter.setPen(kText);
        painter.drawText(QRectF(tx - labelWidth / 2.0, plot.bottom() + 3, labelWidth, fm.height()), Qt::AlignCenter,
                         at.toLocalTime().date().toString(format));
        lastRight = tx + labelWidth / 2.0;
    }
    painter.setPen(QPen(QColor(170, 176, 186), 1));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());

}

void TimeChart::paintLine(QPainter &painter, const QRectF &plot, const ValueAxis &axis) const
{
    const QList<ChartPoint> &points = m_series.points;
    // The line, broken where a day has no value, and its dots.
    QPainterPath path;
    bool open = false;
    for (const ChartPoint &p : points) {
        if (!p.value) {
            open = false;
            continue;
        }
        const QPointF at(xOf(p.at), yOf(axis, plot, *p.value));
        if (open)
            path.lineTo(at);
        else
            path.moveTo(at);
        open = true;
    }
    painter.setPen(QPen(kLine, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    const double dot = points.size() > plot.width() / 6 ? 1.5 : 3; // a crowded line keeps small dots
    for (const ChartPoint &p : points) {
        if (!p.value)
            continue;
        const QPointF at(xOf(p.at), yOf(axis, plot, *p.value));
        switch (p.mark) {
        case ChartMark::None:
            painter.setPen(Qt::NoPen);
            painter.setBrush(kLine);
            break;
        case ChartMark::Bad:
            painter.setPen(Qt::NoPen);
            painter.setBrush(kRed);
            break;
        case ChartMark::Weak:
            painter.setPen(QPen(kRed, 1.5));
            painter.setBrush(Qt::white);
            break;
        }
        painter.drawEllipse(at, dot + (p.mark == ChartMark::None ? 0 : 1), dot + (p.mark == ChartMark::None ? 0 : 1));
    }
    // A marked day without a value still gets its red dot, on the axis.
    painter.setPen(Qt::NoPen);
    painter.setBrush(kRed);
    for (const ChartPoint &p : points)
        if (!p.value && p.mark != ChartMark::None)
            painter.drawEllipse(QPointF(xOf(p.at), plot.bottom()), 3, 3);
}

} // namespace friendlinks
