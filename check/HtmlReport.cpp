#include "check/HtmlReport.h"

#include "check/Columns.h"
#include "check/HistoryRecording.h"
#include "check/HtmlReportChart.h"
#include "check/ProgramVersion.h"
#include "check/TextEscape.h"

#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <cstdlib>

namespace friendlinks {
namespace {

// Nothing may be fetched or run: styles of its own, pictures only as data: addresses.
const QString kPolicy = QStringLiteral("default-src 'none'; style-src 'unsafe-inline'; img-src data:");

const QString kStyle = QStringLiteral(R"(
body { font-family: "Noto Sans CJK SC", "WenQuanYi Zen Hei", "Microsoft YaHei", "PingFang SC", sans-serif;
       font-size: 14px; color: #222; margin: 24px; max-width: 1100px; }
h1 { font-size: 22px; margin: 0 0 4px; }
h2 { font-size: 17px; margin: 28px 0 8px; padding-bottom: 4px; border-bottom: 2px solid #ccd; }
h3 { font-size: 15px; margin: 0 0 6px; }
.meta { color: #555; margin: 0 0 4px; }
.empty { color: #555; }
table { border-collapse: collapse; width: 100%; }
th, td { border: 1px solid #ccc; padding: 3px 6px; text-align: left; vertical-align: middle; }
th { background: #eef; font-weight: normal; }
td { word-break: break-all; }
td.num { text-align: right; white-space: nowrap; }
td.day { white-space: nowrap; }
#latest td:nth-child(n+5) { white-space: nowrap; }
h2 + p, table + h3 { margin-top: 14px; }
tr:nth-child(even) td { background: #fafafa; }
.red { color: #ff0000; }
.worse { color: #c00000; }
.better { color: #007000; }
.chart { width: 260px; padding: 1px 4px; }
.chart svg { display: block; }
.legend span { display: inline-block; margin-right: 14px; }
.swatch { display: inline-block; width: 10px; height: 10px; margin-right: 4px; vertical-align: -1px; }
.notice { border: 1px solid #bbc; border-radius: 4px; padding: 10px 14px; margin: 10px 0; }
.notice p { margin: 6px 0; line-height: 1.6; }
.notice .problem { font-weight: bold; }
footer { margin-top: 28px; color: #777; font-size: 12px; }
nav a { color: #2a4fa0; }
@media print {
  body { margin: 0; max-width: none; font-size: 11pt; }
  * { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
  thead { display: table-header-group; }
  tr, .notice { break-inside: avoid; }
  #notices { break-before: page; }
}
)");

// Text from a page or a site as HTML text (also inside a double-quoted attribute):
// unsafe characters visible, markup characters escaped.
QString html(const QString &text)
{
    return escapeForDisplay(text).toHtmlEscaped();
}

// A cell as the window's list shows it.
QString cellHtml(const QString &text)
{
    return oneLineCellText(text).toHtmlEscaped();
}

QString number(qint64 value)
{
    return QLocale::c().toString(value);
}

// A day as the notices write it: "12-03", with the year when it is not the check's.
QString dayText(const QDate &day, const QDate &checkDay)
{
    return day.toString(day.year() == checkDay.year() ? QStringLiteral("MM-dd") : QStringLiteral("yyyy-MM-dd"));
}

QString timeText(const QDateTime &utc, const QTimeZone &zone)
{
    return utc.toTimeZone(zone).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QDate checkDayOf(const ReportData &data)
{
    return data.latest.startedAt.toUTC().date();
}

QString pageStart(const QString &title)
{
    return QStringLiteral("<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
                          "<meta http-equiv=\"Content-Security-Policy\" content=\"%1\">\n"
                          "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                          "<title>%2</title>\n<style>%3</style>\n</head>\n<body>\n")
        .arg(kPolicy, title, kStyle);
}

QString pageEnd(const ReportData &data, const QTimeZone &zone)
{
    return QStringLiteral("<footer>由 friendlinks %1 根据 %2 的检查生成</footer>\n</body>\n</html>\n")
        .arg(html(kProgramVersion), timeText(data.latest.startedAt, zone));
}

QString statusLine(const ReportData &data)
{
    const SiteOutcome &outcome = data.latest.outcome;
    if (!outcome.reachable)
        return QStringLiteral("<p class=\"meta red\">本站首页无法访问，这次检查没有友链可查。</p>\n");
    if (outcome.home.status >= 400)
        return QStringLiteral("<p class=\"meta red\">本站首页返回 HTTP %1，这次检查没有友链可查。</p>\n")
            .arg(outcome.home.status);
    return {};
}

bool worthNotice(const PartnerNotice &notice)
{
    return notice.kind == NoticeKind::Missing || notice.kind == NoticeKind::Nofollow
        || notice.kind == NoticeKind::Unreadable;
}

// Links to the sections (within the page), with what each holds.
QString contents(const ReportData &data)
{
    const auto notices = std::count_if(data.notices.begin(), data.notices.end(), worthNotice);
    const QString changes = data.hasEarlier ? QStringLiteral("（%1 处）").arg(data.changes.size()) : QString();
    return QStringLiteral("<nav class=\"meta\"><a href=\"#latest\">最近一次检查</a> · <a href=\"#changes\">变化%1</a> · "
                          "<a href=\"#trends\">收录趋势</a> · <a href=\"#notices\">致友链站长（%2 封）</a></nav>\n")
        .arg(changes)
        .arg(notices);
}

QString header(const ReportData &data, const QTimeZone &zone)
{
    const SiteResult &latest = data.latest;
    QString out = QStringLiteral("<header>\n<h1>友情链接报告：%1</h1>\n").arg(html(data.site));
    out += QStringLiteral("<p class=\"meta\">检查时间 %1 · %2 · 友链 %3 个 · 标红 %4 处 · 已记录 %5 次检查</p>\n")
               .arg(timeText(latest.startedAt, zone),
                    latest.modern() ? QStringLiteral("现代模式") : QStringLiteral("经典模式"),
                    QString::number(latest.rows.size()), QString::number(redCellCount(latest.rows)),
                    QString::number(data.checks));
    return out + statusLine(data) + contents(data) + QStringLiteral("</header>\n");
}

QString latestSection(const ReportData &data, const QTimeZone &zone)
{
    QString out = QStringLiteral("<section id=\"latest\">\n<h2>最近一次检查（%1）</h2>\n")
                      .arg(timeText(data.latest.startedAt, zone));
    if (data.latest.rows.isEmpty())
        return out + QStringLiteral("<p class=\"empty\">没有友链。</p>\n</section>\n");
    out += QStringLiteral("<table>\n<thead><tr><th>#</th>");
    for (const ColumnInfo &column : columns())
        out += QStringLiteral("<th>%1</th>").arg(column.header.toHtmlEscaped());
    out += QStringLiteral("</tr></thead>\n<tbody>\n");
    int index = 0;
    for (const ResultRow &row : data.latest.rows) {
        out += QStringLiteral("<tr><td class=\"num\">%1</td>").arg(++index);
        for (const Cell &cell : row.cells.cells)
            out += (cell.red ? QStringLiteral("<td class=\"red\">") : QStringLiteral("<td>")) + cellHtml(cell.text)
                + QStringLiteral("</td>");
        out += QStringLiteral("</tr>\n");
    }
    return out + QStringLiteral("</tbody>\n</table>\n</section>\n");
}

QString toneClass(ReportTone tone)
{
    switch (tone) {
    case ReportTone::Worse: return QStringLiteral(" class=\"worse\"");
    case ReportTone::Better: return QStringLiteral(" class=\"better\"");
    case ReportTone::Neutral: break;
    }
    return {};
}

QString sinceCell(const QDate &since, const QDate &checkDay)
{
    return QStringLiteral("<td class=\"day\">%1</td>").arg(since.isValid() ? dayText(since, checkDay) : QString());
}

QString changeTable(const ReportData &data)
{
    const QDate checkDay = checkDayOf(data);
    QString out = QStringLiteral("<table>\n<thead><tr><th>网站地址</th><th>变化</th><th>原来</th><th>现在</th>"
                                 "<th>自</th></tr></thead>\n<tbody>\n");
    for (const ReportChange &change : data.changes)
        out += QStringLiteral("<tr%1><td>%2</td><td>%3</td><td>%4</td><td>%5</td>%6</tr>\n")
                   .arg(toneClass(change.tone), change.lianjie.isEmpty() ? QStringLiteral("本站") : html(change.lianjie),
                        html(change.label), cellHtml(change.oldValue),
                        cellHtml(change.newValue), sinceCell(change.since, checkDay));
    return out + QStringLiteral("</tbody>\n</table>\n");
}

QString ongoingTable(const ReportData &data)
{
    const QDate checkDay = checkDayOf(data);
    QString out = QStringLiteral("<h3>仍未恢复</h3>\n<table>\n<thead><tr><th>网站地址</th><th>状态</th><th>自</th>"
                                 "</tr></thead>\n<tbody>\n");
    for (const ReportOngoing &state : data.ongoing)
        out += QStringLiteral("<tr class=\"worse\"><td>%1</td><td>%2</td>%3</tr>\n")
                   .arg(state.lianjie.isEmpty() ? QStringLiteral("本站") : html(state.lianjie), html(state.label),
                        sinceCell(state.since, checkDay));
    return out + QStringLiteral("</tbody>\n</table>\n");
}

QString changesSection(const ReportData &data, const QTimeZone &zone)
{
    QString out = QStringLiteral("<section id=\"changes\">\n");
    if (!data.hasEarlier)
        return out + QStringLiteral("<h2>变化</h2>\n<p class=\"empty\">这是本站记录的第一次检查，还没有可比较的。</p>\n")
            + QStringLiteral("</section>\n");
    const auto worse = std::count_if(data.changes.begin(), data.changes.end(),
                                     [](const ReportChange &change) { return change.tone == ReportTone::Worse; });
    out += QStringLiteral("<h2>与上次检查（%1）相比</h2>\n").arg(timeText(data.comparedWith, zone));
    if (data.changes.isEmpty())
        out += QStringLiteral("<p class=\"empty\">无变化。</p>\n");
    else
        out += QStringLiteral("<p>%1（共 %2 处变化，%3 处变坏）</p>\n")
                   .arg(data.summary.toHtmlEscaped())
                   .arg(data.changes.size())
                   .arg(worse)
            + changeTable(data);
    if (!data.ongoing.isEmpty())
        out += ongoingTable(data);
    return out + QStringLiteral("</section>\n");
}

IndexPages firstPages(const FriendTrend &trend)
{
    for (const TrendPoint &point : trend.points)
        if (point.pages)
            return point.pages;
    return {};
}

IndexPages lastPages(const FriendTrend &trend)
{
    for (auto point = trend.points.crbegin(); point != trend.points.crend(); ++point)
        if (point->pages)
            return point->pages;
    return {};
}

// From the first count of the chart to the last, in whole percent ("−35%"), a fall red.
QString shiftCell(const FriendTrend &trend)
{
    const IndexPages first = firstPages(trend), last = lastPages(trend);
    if (!first || !last || *first <= 0)
        return QStringLiteral("<td class=\"num\"></td>");
    const qint64 percent = qRound64(double(*last - *first) * 100.0 / double(*first));
    if (percent == 0)
        return QStringLiteral("<td class=\"num\">0%</td>");
    return QStringLiteral("<td class=\"num%1\">%2%3%</td>")
        .arg(percent < 0 ? QStringLiteral(" worse") : QString(), percent < 0 ? QStringLiteral("−") : QStringLiteral("+"),
             QString::number(std::abs(percent)));
}

QString trendsSection(const ReportData &data)
{
    const qsizetype span = data.trends.isEmpty() ? 0 : data.trends.first().points.size();
    QString out = QStringLiteral("<section id=\"trends\">\n<h2>收录趋势（最近 %1 次检查）</h2>\n").arg(span);
    if (data.trends.isEmpty())
        return out + QStringLiteral("<p class=\"empty\">没有友链。</p>\n</section>\n");
    out += QStringLiteral("<p class=\"legend\">%1</p>\n").arg(chartLegendHtml());
    out += QStringLiteral("<table>\n<thead><tr><th>网站地址</th><th>百度收录</th><th>最新</th><th>涨跌</th></tr></thead>\n"
                          "<tbody>\n");
    for (const FriendTrend &trend : data.trends) {
        const IndexPages last = lastPages(trend);
        out += QStringLiteral("<tr><td>%1</td><td class=\"chart\">%2</td><td class=\"num\">%3</td>%4</tr>\n")
                   .arg(html(trend.lianjie), indexChartSvg(trend), last ? number(*last) : QString(), shiftCell(trend));
    }
    return out + QStringLiteral("</tbody>\n</table>\n</section>\n");
}

QString noticeArticle(const ReportData &data, const PartnerNotice &notice)
{
    const QDate checkDay = checkDayOf(data);
    const QString name = notice.anchor.trimmed().isEmpty() ? html(notice.lianjie)
                                                           : QStringLiteral("%1（%2）").arg(cellHtml(notice.anchor),
                                                                                             html(notice.lianjie));
    QString out = QStringLiteral("<article class=\"notice\">\n<h3>致 %1 的站长</h3>\n").arg(name);
    out += QStringLiteral("<p>您好！我是 %1 的站长，我站首页上有指向您站 %2 的友情链接。</p>\n")
               .arg(html(data.site), html(notice.lianjie));
    out += QStringLiteral("<p class=\"problem%1\">%2</p>\n")
               .arg(notice.kind == NoticeKind::Fine ? QString() : QStringLiteral(" worse"),
                    noticeSentence(notice, checkDay).toHtmlEscaped());
    if (notice.kind == NoticeKind::Unreadable && !notice.cellText.trimmed().isEmpty())
        out += QStringLiteral("<p>我们看到的是：%1</p>\n").arg(cellHtml(notice.cellText));
    if (notice.kind != NoticeKind::Fine && notice.kind != NoticeKind::NotChecked)
        out += QStringLiteral("<p>麻烦您有空看一下，谢谢！</p>\n");
    out += QStringLiteral("<p class=\"meta\">%1 站长 · 检查于 %2</p>\n</article>\n")
               .arg(html(data.site), checkDay.toString(Qt::ISODate));
    return out;
}

QString noticesSection(const ReportData &data)
{
    QString out = QStringLiteral("<section id=\"notices\">\n<h2>致友链站长</h2>\n");
    QString articles;
    for (const PartnerNotice &notice : data.notices)
        if (worthNotice(notice))
            articles += noticeArticle(data, notice);
    if (articles.isEmpty())
        articles = QStringLiteral("<p class=\"empty\">所有友链的反链都正常，没有要发的通知。</p>\n");
    return out + articles + QStringLiteral("</section>\n");
}

} // namespace

QString noticeSentence(const PartnerNotice &notice, const QDate &checkDay)
{
    const QString since = dayText(notice.since.isValid() ? notice.since : checkDay, checkDay);
    switch (notice.kind) {
    case NoticeKind::Missing: return QStringLiteral("您站上指向我站的链接自 %1 起不见了。").arg(since);
    case NoticeKind::Nofollow: return QStringLiteral("您站上指向我站的链接自 %1 起加了 nofollow。").arg(since);
    case NoticeKind::Unreadable: return QStringLiteral("您站的首页自 %1 起无法正常打开，看不到指向我站的链接。").arg(since);
    case NoticeKind::NotChecked: return QStringLiteral("这次检查没有查到您站。");
    case NoticeKind::Fine: break;
    }
    return QStringLiteral("您站上指向我站的链接一切正常，谢谢！");
}

QByteArray htmlReport(const ReportData &data, const QTimeZone &zone)
{
    QString out = pageStart(QStringLiteral("友情链接报告 %1 %2").arg(html(data.site), checkDayOf(data).toString(Qt::ISODate)));
    out += header(data, zone) + latestSection(data, zone) + changesSection(data, zone) + trendsSection(data)
        + noticesSection(data) + pageEnd(data, zone);
    return out.toUtf8();
}

QByteArray htmlNotice(const ReportData &data, const PartnerNotice &notice, const QTimeZone &zone)
{
    QString out = pageStart(QStringLiteral("致 %1 的站长").arg(html(notice.lianjie)));
    out += QStringLiteral("<section id=\"notices\">\n") + noticeArticle(data, notice) + QStringLiteral("</section>\n");
    return (out + pageEnd(data, zone)).toUtf8();
}

} // namespace friendlinks
