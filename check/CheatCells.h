#pragma once

#include "check/Columns.h"
#include "check/RowValues.h"

#include <QByteArray>
#include <QString>

namespace friendlinks {

// Modern mode's back-link cells for a link back that a partner keeps from Baidu.
inline const QString kRobotsBlockedCell = QStringLiteral("robots.txt 禁止百度抓取");
inline const QString kSpiderHiddenCell = QStringLiteral("对百度蜘蛛隐藏");
inline const QString kJumpLinkCell = QStringLiteral("跳转链接");

// The User-Agent Baidu's spider sends, for the second fetch of a friend's page.
inline const QByteArray kBaiduSpiderUserAgent =
    QByteArrayLiteral("Mozilla/5.0 (compatible; Baiduspider/2.0; +http://www.baidu.com/search/spider.html)");

// A link back that looked as if it passed weight passes nothing after all:
// the cell says why in red, and the verdict follows it. Cells already red
// (no link, nofollow, an error page) keep their text: the first reason stands.
inline void markPassesNothing(Cell &cell, BackLinkVerdict &verdict, const QString &why)
{
    if (verdict != BackLinkVerdict::Linked || cell.red)
        return;
    cell = Cell{why, true};
    verdict = BackLinkVerdict::PassesNothing;
}

} // namespace friendlinks
