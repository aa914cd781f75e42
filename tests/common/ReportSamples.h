#pragma once

// Reports as the history gives them, for the HTML writer's tests and the
// renders in Chromium: a few friends, one with a lost link, one nofollow, one
// whose page is not read, changes since the check before, and page texts of
// every kind that could try to add markup.

#include "check/ReportData.h"

#include <QStringList>

namespace friendlinks::samples {

// Texts a hostile page could give as an anchor text, a cell or an address.
inline const QStringList &hostileTexts()
{
    static const QStringList texts{
        QStringLiteral("</td><script>alert(1)</script>"),
        QStringLiteral("\"><img src=x onerror=alert(2)>"),
        QStringLiteral("'><svg onload=alert(3)>"),
        QStringLiteral("<style>body{display:none}</style>"),
        QStringLiteral("<link rel=stylesheet href=http://127.0.0.1:9/x.css>"),
        QStringLiteral("<iframe src=\"https://evil.example/\"></iframe>"),
        QStringLiteral("&lt;b&gt; & <!-- -->"),
        QStringLiteral("]]><![CDATA[<script>alert(4)</script>"),
        QStringLiteral("\u202e\u7f51\u7ad9\x1b[31m"),
    };
    return texts;
}

inline ResultRow reportRow(const QString &lianjie, const QString &name, const QString &fanlian, bool red,
                           BackLinkVerdict verdict, qint64 pages)
{
    ResultRow row;
    row.cells[Column::lianjie].text = lianjie;
    row.cells[Column::guanjianzi].text = name;
    row.cells[Column::fanlian] = Cell{fanlian, red};
    row.cells[Column::shoulu].text = QStringLiteral("约%1篇").arg(pages);
    row.cells[Column::kuaizhao].text = QStringLiteral("12K 2026-12-8");
    row.cells[Column::rp] = Cell{red ? QStringLiteral("不是第一") : QStringLiteral("首页第一"), red};
    row.facts.backlinkVerdict = verdict;
    row.facts.baidu = BaiduFacts{BaiduState::Ok, QString::number(pages), pages, RankVerdict::HomeFirst, {}};
    return row;
}

// A friend's chart over days checks ending 2026-12-09: pages growing, the
// link back as verdictAt(day index) says.
template <typename VerdictAt>
FriendTrend reportTrend(const QString &lianjie, int days, qint64 pages, VerdictAt verdictAt)
{
    FriendTrend trend{lianjie, {}};
    const QDate last(2026, 12, 9);
    for (int i = 0; i < days; ++i) {
        const bool gap = i % 17 == 5; // Baidu gave no count that day
        trend.points.append({last.addDays(i - days + 1), gap ? IndexPages() : IndexPages(pages + i * 7 - (i % 5) * 11),
                             verdictAt(i)});
    }
    return trend;
}

// The report of www.me.com on 2026-12-09 with the hostile texts in every
// place a page's text goes (anchor texts, back-link cells, addresses, labels).
inline ReportData hostileReport()
{
    ReportData data;
    data.site = QStringLiteral("www.me.com");
    data.checkId = 30;
    data.checks = 30;
    data.hasEarlier = true;
    data.comparedWith = QDateTime(QDate(2026, 12, 8), QTime(3, 0), Qt::UTC);
    data.summary = QStringLiteral("与 12-08 相比：9 个反链丢失，1 个新增");
    data.latest.outcome.site = data.site;
    data.latest.outcome.modern = true;
    data.latest.outcome.home.status = 200;
    data.latest.startedAt = QDateTime(QDate(2026, 12, 9), QTime(3, 0), Qt::UTC);
    data.latest.finishedAt = data.latest.startedAt.addSecs(60);
    const auto fine = [](int) { return BackLinkVerdict::Linked; };
    data.latest.rows << reportRow(QStringLiteral("http://www.good.com/"), QStringLiteral("好站"), QStringLiteral("我的站"),
                                  false, BackLinkVerdict::Linked, 12000);
    data.trends << reportTrend(QStringLiteral("http://www.good.com/"), 30, 12000, fine);
    const QStringList &hostile = hostileTexts();
    for (qsizetype i = 0; i < hostile.size(); ++i) {
        const QString address = QStringLiteral("http://www.f%1.com/").arg(i) + hostile[i];
        const BackLinkVerdict verdict = i % 3 == 0 ? BackLinkVerdict::NoLink
            : i % 3 == 1                            ? BackLinkVerdict::PassesNothing
                                                    : BackLinkVerdict::NotRead;
        data.latest.rows << reportRow(address, hostile[i], hostile[(i + 1) % hostile.size()], true, verdict, 500 + i * 300);
        data.trends << reportTrend(address, 30, 500 + i * 300, [verdict, i](int day) {
            return day >= 20 + int(i) ? verdict : BackLinkVerdict::Linked;
        });
        data.changes << ReportChange{address, QStringLiteral("backlink_lost"), QStringLiteral("反链丢失") + hostile[i],
                                     hostile[i], hostile[(i + 2) % hostile.size()], ReportTone::Worse, QDate(2026, 12, 9)};
        data.ongoing << ReportOngoing{address, QStringLiteral("nofollow_added"), hostile[i], QDate(2026, 11, 28)};
    }
    data.changes << ReportChange{QStringLiteral("http://www.new.com/"), QStringLiteral("added"), QStringLiteral("新增友链"),
                                 {}, QStringLiteral("http://www.new.com/"), ReportTone::Better, QDate(2026, 12, 9)};
    data.notices = partnerNotices(data);
    return data;
}

} // namespace friendlinks::samples
