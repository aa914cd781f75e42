#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <variant>

namespace friendlinks {

// One row of a saved check, as far as comparing two checks needs it.
struct SavedRow {
    QString lianjie;
    QString fanlian;
    QString shoulu;
    QString rp;
    std::optional<bool> follow;          // facts.backlink.follow
    std::optional<QString> baiduCount;   // facts.baidu.count, as decimal digits
    std::optional<bool> fanlianRed;      // "fanlian" in "red"; unknown in a file without "red"
};

struct SavedSite {
    QString site;
    bool unreachable = false;
    QList<SavedRow> rows;
    int homeStatus = 0; // home.status, 0 when not saved
    QString mode = {};  // "classic" or "modern", empty when not saved
};

// A saved `friendlinks check --format json` output (one site or {"sites": [...]})
// or `--format jsonl` output (one site object a line), or why the text is not one.
[[nodiscard]] std::variant<QList<SavedSite>, QString> readSavedCheck(const QByteArray &json);

// What changed for one friend link between two checks.
struct LinkChange {
    QString site;
    QString lianjie;
    QString change;   // one of the kChange… names
    QString oldValue;
    QString newValue;
    bool operator==(const LinkChange &) const = default;
};

inline const QString kChangeRemoved = QStringLiteral("removed");
inline const QString kChangeAdded = QStringLiteral("added");
inline const QString kChangeBacklinkLost = QStringLiteral("backlink_lost");
inline const QString kChangeBacklinkBack = QStringLiteral("backlink_back");
inline const QString kChangeNofollowAdded = QStringLiteral("nofollow_added");
inline const QString kChangeNofollowRemoved = QStringLiteral("nofollow_removed");
inline const QString kChangeIndexDrop = QStringLiteral("index_drop");
inline const QString kChangeRankLost = QStringLiteral("rank_lost");
inline const QString kChangeRankBack = QStringLiteral("rank_back");
inline const QString kChangeUnreachable = QStringLiteral("unreachable"); // the whole site, one line
inline const QString kChangeReachable = QStringLiteral("reachable");

// True for the changes that make things worse.
[[nodiscard]] bool isRegression(const QString &change);

// The changes from older to newer: sites matched by site (a site missing from
// either side is not compared), rows by lianjie with repeats paired in order. A site that could not be
// checked on one side (unreachable, or its home page answered an HTTP error)
// is one unreachable or reachable change, its rows not compared.
// Per site, regressions first, each group in row order.
[[nodiscard]] QList<LinkChange> diffChecks(const QList<SavedSite> &older, const QList<SavedSite> &newer);

// The index count of a row as decimal digits without leading zeros, counts of
// any size: the saved count fact, or where there is none (a file saved without
// facts) the number of the index cell ("约1,230篇" → "1230").
[[nodiscard]] std::optional<QString> indexCount(const SavedRow &row);

// Whether a count fell by more than kIndexDropShare (counts as indexCount gives them).
[[nodiscard]] bool isIndexDrop(const QString &older, const QString &newer);

// An index fell by more than this share.
inline constexpr double kIndexDropShare = 0.30;

} // namespace friendlinks
