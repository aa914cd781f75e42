#pragma once

#include "check/Columns.h"
#include "check/ResultsModel.h"
#include "check/RowFacts.h"

#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace friendlinks {

// The row schema: every field of a result row once, with its key, its column,
// how it is written to json and read back, and how two checks of it compare.
// The column lists (columns(), factColumns(), factCell()), the json keys, the
// csv/tsv/table headers and diff's changes are loops over these two tables.
//
// Adding a fact: its member in RowFacts (and its FactColumn), the probe that
// fills it, and one FactField entry in RowSchema.cpp.

// What diff calls a change of a row (json keeps the codes).
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
inline const QString kChangeRobotsBlocked = QStringLiteral("robots_blocked"); // robots.txt now keeps Baidu's spider out
inline const QString kChangeSpiderHidden = QStringLiteral("spider_hidden");   // the spider is now shown another link back
inline const QString kChangeJumpLink = QStringLiteral("jump_link");           // the link back now goes through a jump
inline const QString kChangeScriptLink = QStringLiteral("script_link"); // the link back now only in script text
inline const QString kChangeFrameLink = QStringLiteral("frame_link");   // now only in a frame page
inline const QString kChangeCssHidden = QStringLiteral("css_hidden");   // now hidden by the page's style

// True for the changes that make things worse.
[[nodiscard]] bool isRegression(const QString &change);

// One change of a field between an older and a newer check of a row, its values as shown.
struct FieldChange {
    QString change; // a kChange… code
    QString oldValue;
    QString newValue;
};
// What changed in one field; nothing when it did not or cannot be told (a value unknown on one side).
using DiffRule = QList<FieldChange> (*)(const ResultRow &older, const ResultRow &newer);

// One of the six cells. Its json is its text under its key, its red flag in
// the row's "red" list; its typed value (if it has one) lives in the facts.
struct CellField {
    ColumnInfo column;
    // Sets the typed value behind the cell from what a saved row holds (its
    // cells, red flags and facts), as the check that wrote it did; nullptr: none.
    void (*readValue)(ResultRow &row, bool modern);
    // Whether the cell is red, for a file of a version that saved no "red"; nullptr: never.
    bool (*redByText)(const QString &text);
    DiffRule diff; // nullptr: not compared
};

// One fact of a row: its key in the row's "facts", its column if it has one.
struct FactField {
    const char *key;                      // nullptr: written inside another fact's object
    std::optional<FactColumnInfo> column; // none: a fact json alone holds
    Cell (*cell)(const RowFacts &facts);  // as its column shows it: empty when unknown, red when it should be noticed
    QString (*toJson)(const RowFacts &facts);
    // Reads what toJson wrote (and what older versions wrote); a missing key reads as unknown.
    void (*fromJson)(const QJsonValue &value, RowFacts &facts);
    DiffRule diff; // nullptr: not compared
};

[[nodiscard]] const std::array<CellField, kColumnCount> &cellFields();
[[nodiscard]] const QList<FactField> &factFields();

// The keys of a row's red cells, in column order ("fanlian", "rp").
[[nodiscard]] QStringList redKeys(const CheckRow &row);

// What the window's tip on a row's Baidu cells says when they come from an
// earlier check's answer ("百度结果沿用 2026-12-09 16:00 的查询，未重新查询",
// local time); empty when Baidu was asked in this check.
[[nodiscard]] QString cachedAnswerNote(const RowFacts &facts);

// An index fell by more than this share.
inline constexpr double kIndexDropShare = 0.30;
// Whether an index count fell by more than kIndexDropShare, in whole numbers.
[[nodiscard]] bool isIndexDrop(qint64 older, qint64 newer);

} // namespace friendlinks
