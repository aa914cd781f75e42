#pragma once

#include "check/HistoryChanges.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace friendlinks {

// The changes of a check's sites since their previous recorded checks, as
// `check --changes` writes them beside its output: one entry a site, in the
// order given.
struct SiteChangesOf {
    QString site;
    SiteChanges changes;
};

// The aligned table's block: a line with the site and the summary, then one
// indented line a change (变差/好转/变化, its words, the friend, old → new) and
// one a state still bad (仍未恢复, its words and since when). A site with no
// earlier check says so in one line.
[[nodiscard]] QByteArray changesTableText(const QList<SiteChangesOf> &sites);
// tsv and csv: one line a change or state, columns 站点 趋势 变化 代码 网站地址
// 旧值 新值 起始日, a header line first.
[[nodiscard]] QByteArray changesTsv(const QList<SiteChangesOf> &sites);
// bom: csv's byte-order mark first (not after another table).
[[nodiscard]] QByteArray changesCsv(const QList<SiteChangesOf> &sites, bool bom = true);
// The members a site object of json gains: "compared_with" (UTC, ISO 8601; null
// for a site's first check), "changes" [{lianjie, change, old, new, label, tone,
// since}] and "ongoing" [{lianjie, change, label, since}], each begun with ", ".
[[nodiscard]] QString changesJsonMembers(const SiteChanges &changes);
// A site object of json (as formatSiteJson ends it, "}\n") with those members added at its end.
[[nodiscard]] QByteArray withChangesJson(const QByteArray &siteObject, const SiteChanges &changes);
// The site object --changes-only writes: {"site"} and those members.
[[nodiscard]] QByteArray changesOnlyJson(const SiteChangesOf &site);

} // namespace friendlinks
