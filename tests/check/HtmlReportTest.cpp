// The HTML report: every text from a page stays text (no markup, no script,
// no request), the sections and their words are there, red cells are red, the
// notices say since when.
#include "check/HtmlReport.h"

#include "check/HtmlReportChart.h"
#include "tests/common/QtPrinters.h"
#include "tests/common/ReportSamples.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace friendlinks {
namespace {

const QTimeZone kBeijing(8 * 3600);

QString reportText(const ReportData &data)
{
    return QString::fromUtf8(htmlReport(data, kBeijing));
}

// Everything between tags, with the tags' names: what a parser makes elements of.
QStringList tagNames(const QString &html)
{
    static const QRegularExpression kTag(QStringLiteral("<([a-zA-Z][a-zA-Z0-9-]*)"));
    QStringList names;
    for (const QRegularExpressionMatch &match : kTag.globalMatch(html))
        names << match.captured(1).toLower();
    names.removeDuplicates();
    names.sort();
    return names;
}

TEST(HtmlReportTest, HostileTextsStayText)
{
    ReportData data = samples::hostileReport();
    data.site = samples::hostileTexts().first();
    for (const QString &html : {reportText(data), QString::fromUtf8(htmlNotice(data, data.notices.at(1), kBeijing))}) {
        // Only the writer's own elements: none a page's text could add.
        const QStringList allowed{"article", "body", "circle", "footer", "h1", "h2", "h3", "head", "header", "html",
                                  "i", "meta", "nav", "p", "path", "rect", "section", "span", "style", "svg",
                                  "table", "tbody", "td", "th", "thead", "title", "tr", "a"};
        for (const QString &name : tagNames(html))
            EXPECT_TRUE(allowed.contains(name)) << name.toStdString();
        EXPECT_FALSE(html.contains(QLatin1String("<script"), Qt::CaseInsensitive));
        EXPECT_FALSE(html.contains(QLatin1String("onerror="), Qt::CaseInsensitive) && html.contains(QLatin1String("<img")));
        EXPECT_EQ(html.count(QLatin1String("<style>")), 1);
        EXPECT_EQ(html.count(QLatin1String("</style>")), 1);
    }
}

TEST(HtmlReportTest, HostileTextsAreShownEscaped)
{
    const QString html = reportText(samples::hostileReport());
    const struct {
        const char *text;
        const char *shown;
    } table[] = {
        {"</td><script>alert(1)</script>", "&lt;/td&gt;&lt;script&gt;alert(1)&lt;/script&gt;"},
        {"\"><img src=x onerror=alert(2)>", "&quot;&gt;&lt;img src=x onerror=alert(2)&gt;"},
        {"&lt;b&gt; & <!-- -->", "&amp;lt;b&amp;gt; &amp; &lt;!-- --&gt;"},
        // A bidirectional override and a terminal escape are shown, not obeyed.
        {"\u202e网站\x1b[31m", "\\u202e网站\\x1b[31m"},
    };
    for (const auto &row : table)
        EXPECT_TRUE(html.contains(QString::fromUtf8(row.shown))) << row.text;
    EXPECT_FALSE(html.contains(QChar(0x202e)));
    EXPECT_FALSE(html.contains(QChar(0x1b)));
}

TEST(HtmlReportTest, NothingIsFetched)
{
    const QString html = reportText(samples::hostileReport());
    // In no tag an address of a resource: no src, srcset, xmlns, href but to a place within the page, url().
    static const QRegularExpression kTag(QStringLiteral("<[a-zA-Z][^>]*>"));
    static const QRegularExpression kAttribute(QStringLiteral(R"(\s([a-zA-Z][\w:-]*)(?:\s*=\s*("[^"]*"|[^\s"'>]+))?)"));
    const QStringList banned{"src", "srcset", "xmlns", "xlink:href", "background", "poster", "data", "action", "formaction"};
    int tags = 0;
    for (const QRegularExpressionMatch &tag : kTag.globalMatch(html)) {
        ++tags;
        for (const QRegularExpressionMatch &attribute : kAttribute.globalMatch(tag.captured())) {
            const QString name = attribute.captured(1).toLower();
            const QString value = attribute.captured(2);
            EXPECT_FALSE(banned.contains(name)) << tag.captured().toStdString();
            EXPECT_TRUE(name != QLatin1String("href") || value.startsWith(QLatin1String("\"#"))) << tag.captured().toStdString();
            EXPECT_FALSE(value.contains(QLatin1String("url("), Qt::CaseInsensitive)) << tag.captured().toStdString();
            EXPECT_FALSE(name.startsWith(QLatin1String("on"))) << tag.captured().toStdString();
        }
    }
    EXPECT_GT(tags, 100);
    // Nor in the style sheet.
    const QString style = html.section(QLatin1String("<style>"), 1).section(QLatin1String("</style>"), 0, 0);
    EXPECT_FALSE(style.contains(QLatin1String("url("))) << style.toStdString();
    EXPECT_FALSE(style.contains(QLatin1String("@import")));
    EXPECT_TRUE(html.contains(QLatin1String("<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
                                            "style-src 'unsafe-inline'; img-src data:\">")));
}

TEST(HtmlReportTest, SectionsAndLabels)
{
    const QString html = reportText(samples::hostileReport());
    const char *expected[] = {
        "<!DOCTYPE html>",
        "<meta charset=\"utf-8\">",
        "<html lang=\"zh-CN\">",
        "<h1>友情链接报告：www.me.com</h1>",
        "检查时间 2026-12-09 11:00 · 现代模式 · 友链 10 个",
        "<section id=\"latest\">",
        "<h2>最近一次检查（2026-12-09 11:00）</h2>",
        "<th>网站地址</th><th>网站名字</th><th>反链关键字</th><th>百度收录</th><th>百度快照</th><th>百度site首页</th>",
        "<section id=\"changes\">",
        "<h2>与上次检查（2026-12-08 11:00）相比</h2>",
        "<h3>仍未恢复</h3>",
        "<section id=\"trends\">",
        "<h2>收录趋势（最近 30 次检查）</h2>",
        "<section id=\"notices\">",
        "<h2>致友链站长</h2>",
        "@media print",
    };
    for (const char *text : expected)
        EXPECT_TRUE(html.contains(QString::fromUtf8(text))) << text;
    EXPECT_EQ(html.count(QLatin1String("<svg ")), 10); // a chart per friend
}

TEST(HtmlReportTest, RedCellsAreRed)
{
    ReportData data = samples::hostileReport();
    data.latest.rows = {samples::reportRow(QStringLiteral("http://a.com/"), QStringLiteral("A"), QStringLiteral("没有链接"),
                                           true, BackLinkVerdict::NoLink, 10)};
    const QString html = reportText(data);
    EXPECT_TRUE(html.contains(QStringLiteral("<td>http://a.com/</td><td>A</td><td class=\"red\">没有链接</td>"
                                             "<td>约10篇</td><td>12K 2026-12-8</td><td class=\"red\">不是第一</td>")));
    EXPECT_TRUE(html.contains(QStringLiteral("标红 2 处")));
}

TEST(HtmlReportTest, FirstCheckHasNothingToCompare)
{
    ReportData data = samples::hostileReport();
    data.hasEarlier = false;
    data.changes.clear();
    data.ongoing.clear();
    const QString html = reportText(data);
    EXPECT_TRUE(html.contains(QStringLiteral("这是本站记录的第一次检查，还没有可比较的。")));
    EXPECT_FALSE(html.contains(QStringLiteral("与上次检查")));
}

TEST(HtmlReportTest, NoChangesSaysSo)
{
    ReportData data = samples::hostileReport();
    data.changes.clear();
    data.ongoing.clear();
    EXPECT_TRUE(reportText(data).contains(QStringLiteral("<p class=\"empty\">无变化。</p>")));
}

TEST(HtmlReportTest, NoticeSentences)
{
    const QDate checkDay(2026, 12, 9);
    const struct {
        NoticeKind kind;
        QDate since;
        const char *sentence;
    } table[] = {
        {NoticeKind::Missing, QDate(2026, 12, 3), "您站上指向我站的链接自 12-03 起不见了。"},
        {NoticeKind::Nofollow, QDate(2026, 12, 3), "您站上指向我站的链接自 12-03 起加了 nofollow。"},
        {NoticeKind::Missing, QDate(2025, 12, 30), "您站上指向我站的链接自 2025-12-30 起不见了。"},
        {NoticeKind::Missing, QDate(), "您站上指向我站的链接自 12-09 起不见了。"},
        {NoticeKind::Unreadable, QDate(2026, 12, 1), "您站的首页自 12-01 起无法正常打开，看不到指向我站的链接。"},
        {NoticeKind::Fine, QDate(), "您站上指向我站的链接一切正常，谢谢！"},
        {NoticeKind::NotChecked, QDate(), "这次检查没有查到您站。"},
    };
    for (const auto &row : table) {
        PartnerNotice notice;
        notice.kind = row.kind;
        notice.since = row.since;
        EXPECT_EQ(noticeSentence(notice, checkDay), QString::fromUtf8(row.sentence));
    }
}

TEST(HtmlReportTest, NoticesOnlyForLinksGoneWrong)
{
    ReportData data = samples::hostileReport();
    const QString html = reportText(data);
    EXPECT_EQ(html.count(QLatin1String("<article class=\"notice\">")), int(samples::hostileTexts().size()));
    EXPECT_FALSE(html.contains(QStringLiteral("致 好站（http://www.good.com/） 的站长")));

    data.latest.rows.resize(1);
    data.notices = partnerNotices(data);
    EXPECT_TRUE(reportText(data).contains(QStringLiteral("所有友链的反链都正常，没有要发的通知。")));
}

TEST(HtmlReportTest, OneNoticeAlone)
{
    const ReportData data = samples::hostileReport();
    PartnerNotice notice{QStringLiteral("http://www.b.com/"), QStringLiteral("B站"), NoticeKind::Missing, QDate(2026, 12, 3), {}};
    const QString html = QString::fromUtf8(htmlNotice(data, notice, kBeijing));
    EXPECT_TRUE(html.contains(QStringLiteral("<h3>致 B站（http://www.b.com/） 的站长</h3>")));
    EXPECT_TRUE(html.contains(QStringLiteral("您站上指向我站的链接自 12-03 起不见了。")));
    EXPECT_EQ(html.count(QLatin1String("<article")), 1);
    EXPECT_FALSE(html.contains(QLatin1String("id=\"latest\"")));
    EXPECT_TRUE(html.contains(QLatin1String("Content-Security-Policy")));
}

TEST(HtmlReportTest, UnreachableSiteIsSaid)
{
    ReportData data = samples::hostileReport();
    data.latest.outcome.reachable = false;
    data.latest.rows.clear();
    data.trends.clear();
    data.notices.clear();
    const QString html = reportText(data);
    EXPECT_TRUE(html.contains(QStringLiteral("本站首页无法访问")));
    EXPECT_TRUE(html.contains(QStringLiteral("没有友链。")));
    data.latest.outcome.reachable = true;
    data.latest.outcome.home.status = 503;
    EXPECT_TRUE(reportText(data).contains(QStringLiteral("本站首页返回 HTTP 503")));
}

TEST(HtmlReportChartTest, MarksAndLine)
{
    FriendTrend trend{QStringLiteral("http://a.com/<b>"), {}};
    const QDate day(2026, 12, 1);
    trend.points = {{day, 100, BackLinkVerdict::Linked},
                    {day.addDays(1), 200, BackLinkVerdict::NoLink},
                    {day.addDays(2), {}, BackLinkVerdict::PassesNothing}, // no count: the line breaks
                    {day.addDays(3), 150, BackLinkVerdict::NotRead},
                    {day.addDays(4), {}, BackLinkVerdict::Unknown}};
    const QString svg = indexChartSvg(trend);
    EXPECT_EQ(svg.count(QLatin1String("fill=\"#ff0000\"")), 1);
    EXPECT_EQ(svg.count(QLatin1String("fill=\"#ff9900\"")), 1);
    EXPECT_EQ(svg.count(QLatin1String("fill=\"#9a9a9a\"")), 1);
    // 100 at the bottom, 200 at the top; 150 alone after the gap is a dot.
    EXPECT_TRUE(svg.contains(QLatin1String("d=\"M3.0 37.0L64.0 3.0\""))) << svg.toStdString();
    EXPECT_TRUE(svg.contains(QLatin1String("<circle cx=\"186.0\" cy=\"20.0\"")));
    EXPECT_TRUE(svg.contains(QStringLiteral("<title>http://a.com/&lt;b&gt; 收录 100 – 200</title>")));
}

TEST(HtmlReportChartTest, FlatAndEmptyCharts)
{
    FriendTrend flat{QStringLiteral("http://a.com/"), {{QDate(2026, 12, 1), 5, BackLinkVerdict::Linked},
                                                      {QDate(2026, 12, 2), 5, BackLinkVerdict::Linked}}};
    EXPECT_TRUE(indexChartSvg(flat).contains(QLatin1String("d=\"M3.0 20.0L247.0 20.0\"")));
    const FriendTrend none{QStringLiteral("http://a.com/"), {{QDate(2026, 12, 1), {}, BackLinkVerdict::NoLink}}};
    const QString svg = indexChartSvg(none);
    EXPECT_FALSE(svg.contains(QLatin1String("<path")));
    EXPECT_TRUE(svg.contains(QStringLiteral("没有收录数")));
}

} // namespace
} // namespace friendlinks
