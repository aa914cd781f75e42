#include "check/HtmlReportChart.h"

#include "check/TextEscape.h"

#include <QLocale>

#include <algorithm>
#include <optional>

namespace friendlinks {
namespace {

constexpr double kWidth = 250;
constexpr double kHeight = 40;
constexpr double kPad = 3;

const QString kLineColour = QStringLiteral("#2a6fdb");
const QString kMissingColour = QStringLiteral("#ff0000");
const QString kNofollowColour = QStringLiteral("#ff9900");
const QString kUnreadColour = QStringLiteral("#9a9a9a");

QString coordinate(double value)
{
    return QString::number(value, 'f', 1);
}

// The colour of the bar behind a check, none for a link back that is fine (or not probed).
std::optional<QString> markColour(BackLinkVerdict verdict)
{
    switch (verdict) {
    case BackLinkVerdict::NoLink: return kMissingColour;
    case BackLinkVerdict::PassesNothing: return kNofollowColour;
    case BackLinkVerdict::NotRead: return kUnreadColour;
    case BackLinkVerdict::Linked:
    case BackLinkVerdict::Unknown: break;
    }
    return std::nullopt;
}

struct Scale {
    qsizetype count = 0;
    qint64 low = 0, high = 0;
    [[nodiscard]] double step() const { return count > 1 ? (kWidth - 2 * kPad) / double(count - 1) : 0; }
    [[nodiscard]] double x(qsizetype i) const { return count > 1 ? kPad + step() * double(i) : kWidth / 2; }
    [[nodiscard]] double y(qint64 pages) const
    {
        if (high == low)
            return kHeight / 2;
        return kPad + (kHeight - 2 * kPad) * double(high - pages) / double(high - low);
    }
};

Scale scaleOf(const FriendTrend &trend, bool *anyCount)
{
    Scale scale{trend.points.size()};
    *anyCount = false;
    for (const TrendPoint &point : trend.points) {
        if (!point.pages)
            continue;
        scale.low = *anyCount ? std::min(scale.low, *point.pages) : *point.pages;
        scale.high = *anyCount ? std::max(scale.high, *point.pages) : *point.pages;
        *anyCount = true;
    }
    return scale;
}

QString marks(const FriendTrend &trend, const Scale &scale)
{
    const double width = std::max(2.0, scale.count > 1 ? scale.step() : 6.0);
    QString out;
    for (qsizetype i = 0; i < trend.points.size(); ++i) {
        if (const auto colour = markColour(trend.points[i].backlink))
            out += QStringLiteral("<rect x=\"%1\" y=\"0\" width=\"%2\" height=\"%3\" fill=\"%4\" fill-opacity=\"0.45\"/>")
                       .arg(coordinate(std::max(0.0, scale.x(i) - width / 2)), coordinate(width),
                            coordinate(kHeight), *colour);
    }
    return out;
}

// The line through the counts, broken where one is missing; a lone count is a dot.
QString line(const FriendTrend &trend, const Scale &scale)
{
    QString path, dots;
    for (qsizetype i = 0; i < trend.points.size(); ++i) {
        const IndexPages &pages = trend.points[i].pages;
        if (!pages)
            continue;
        const bool joined = i > 0 && trend.points[i - 1].pages;
        const bool continued = i + 1 < trend.points.size() && trend.points[i + 1].pages;
        const QString at = coordinate(scale.x(i)) + QLatin1Char(' ') + coordinate(scale.y(*pages));
        if (joined || continued)
            path += (joined ? QStringLiteral("L") : QStringLiteral("M")) + at;
        else
            dots += QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"1.8\" fill=\"%3\"/>")
                        .arg(coordinate(scale.x(i)), coordinate(scale.y(*pages)), kLineColour);
    }
    if (path.isEmpty())
        return dots;
    return QStringLiteral("<path d=\"%1\" fill=\"none\" stroke=\"%2\" stroke-width=\"1.5\" stroke-linejoin=\"round\"/>")
               .arg(path, kLineColour)
        + dots;
}

QString titleOf(const FriendTrend &trend, const Scale &scale, bool anyCount)
{
    QString text = escapeForDisplay(trend.lianjie);
    if (anyCount)
        text += QStringLiteral(" 收录 %1 – %2").arg(QLocale::c().toString(scale.low), QLocale::c().toString(scale.high));
    else
        text += QStringLiteral(" 没有收录数");
    return text.toHtmlEscaped();
}

} // namespace

QString indexChartSvg(const FriendTrend &trend)
{
    bool anyCount = false;
    const Scale scale = scaleOf(trend, &anyCount);
    const QString title = titleOf(trend, scale, anyCount);
    return QStringLiteral("<svg width=\"%1\" height=\"%2\" viewBox=\"0 0 %1 %2\" "
                          "role=\"img\" aria-label=\"%3\"><title>%3</title>"
                          "<rect width=\"%1\" height=\"%2\" fill=\"#f4f6fb\"/>%4%5</svg>")
        .arg(coordinate(kWidth), coordinate(kHeight), title, marks(trend, scale), line(trend, scale));
}

QString chartLegendHtml()
{
    const auto swatch = [](const QString &colour, const QString &label) {
        return QStringLiteral("<span><i class=\"swatch\" style=\"background:%1\"></i>%2</span>").arg(colour, label);
    };
    return swatch(kLineColour, QStringLiteral("百度收录数")) + swatch(kMissingColour, QStringLiteral("反链丢失"))
        + swatch(kNofollowColour, QStringLiteral("反链 nofollow")) + swatch(kUnreadColour, QStringLiteral("对方页面打不开"));
}

} // namespace friendlinks
