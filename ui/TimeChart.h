#pragma once

#include "ui/ChartScale.h"
#include "ui/ChartSeries.h"

#include <QRectF>
#include <QWidget>

class QPainter;

namespace friendlinks {

// A line of values through time drawn with QPainter: the marked days as red
// bands behind it, a value axis of round numbers at the left, dates below
// (MM-dd), a legend above. Readable from about 240 × 140 pixels up; a series
// without points says so instead.
class TimeChart : public QWidget {
    Q_OBJECT
public:
    explicit TimeChart(QWidget *parent = nullptr);

    void setSeries(ChartSeries series);
    [[nodiscard]] const ChartSeries &series() const { return m_series; }
    // Where the lines and bands are drawn, in the widget's coordinates (labels outside it).
    [[nodiscard]] QRectF plotArea() const;
    // The x of a moment inside plotArea().
    [[nodiscard]] double xOf(const QDateTime &at) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    inline static const QString kNoPoints = QStringLiteral("暂无记录");
    inline static const QString kNoValues = QStringLiteral("暂无收录数");

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Span {
        qint64 first = 0, last = 0; // ms since the epoch, the axis's ends
    };
    [[nodiscard]] Span span() const;
    void paintLegend(QPainter &painter, const QRectF &plot) const;
    [[nodiscard]] ValueAxis paintValueAxis(QPainter &painter, const QRectF &plot) const;
    void paintBands(QPainter &painter, const QRectF &plot) const;
    void paintDates(QPainter &painter, const QRectF &plot) const;
    void paintLine(QPainter &painter, const QRectF &plot, const ValueAxis &axis) const;

    ChartSeries m_series;
};

} // namespace friendlinks
