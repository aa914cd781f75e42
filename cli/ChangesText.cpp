#include "cli/ChangesText.h"

#include "check/CsvFormat.h"
#include "check/DisplayWidth.h"
#include "check/JsonText.h"
#include "check/RowSchema.h"
#include "check/TextEscape.h"
#include "check/TsvFormat.h"

#include <QStringList>

#include <algorithm>

namespace friendlinks {
namespace {

const QString kOngoingWord = QStringLiteral("仍未恢复");
const QString kNoValue = QStringLiteral("—");

QString toneWord(ChangeTone tone)
{
    switch (tone) {
    case ChangeTone::Worse: return QStringLiteral("变差");
    case ChangeTone::Better: return QStringLiteral("好转");
    case ChangeTone::Neutral: break;
    }
    return QStringLiteral("变化");
}

QString toneKey(ChangeTone tone)
{
    switch (tone) {
    case ChangeTone::Worse: return QStringLiteral("worse");
    case ChangeTone::Better: return QStringLiteral("better");
    case ChangeTone::Neutral: break;
    }
    return QStringLiteral("neutral");
}

// A value as people read it: nofollow's flag as follow or nofollow.
QString shownValue(const QString &code, const QString &value)
{
    if (code == kChangeNofollowAdded || code == kChangeNofollowRemoved)
        return value == QLatin1String("true") ? QStringLiteral("follow") : QStringLiteral("nofollow");
    return value;
}

// Whether a change's values say more than its words and its friend's address.
bool valuesTell(const RowChange &change)
{
    return change.code != kChangeAdded && change.code != kChangeRemoved && change.code != kChangeReachable;
}

QString sinceText(const QDate &day)
{
    return day.toString(QStringLiteral("MM-dd"));
}

// One line of the flat tables: site, tone, words, code, friend, old, new, since.
QList<QStringList> flatLines(const QList<SiteChangesOf> &sites)
{
    QList<QStringList> lines;
    for (const SiteChangesOf &site : sites) {
        for (const RowChange &change : site.changes.changes)
            lines << QStringList{site.site, toneWord(change.tone), change.label, change.code, change.lianjie,
                                 shownValue(change.code, change.oldValue), shownValue(change.code, change.newValue),
                                 change.since.toString(Qt::ISODate)};
        for (const RowState &state : site.changes.ongoing)
            lines << QStringList{site.site, kOngoingWord, state.label, state.code, state.lianjie, QString(), QString(),
                                 state.since.toString(Qt::ISODate)};
    }
    return lines;
}

const QStringList kFlatHeader{QStringLiteral("站点"), QStringLiteral("趋势"),   QStringLiteral("变化"),
                              QStringLiteral("代码"), QStringLiteral("网站地址"), QStringLiteral("旧值"),
                              QStringLiteral("新值"), QStringLiteral("起始日")};

} // namespace

QByteArray changesTableText(const QList<SiteChangesOf> &sites)
{
    QString out;
    for (const SiteChangesOf &site : sites) {
        const SiteChanges &changes = site.changes;
        const QString name = displayCellText(site.site);
        if (!changes.hasEarlier) {
            out += name + QStringLiteral(" 没有更早的检查可比较\n");
            continue;
        }
        out += name + QLatin1Char(' ') + changes.summary() + QLatin1Char('\n');
        QList<QStringList> lines;
        for (const RowChange &change : changes.changes) {
            QString values;
            if (valuesTell(change))
                values = (change.oldValue.isEmpty() ? kNoValue : displayCellText(shownValue(change.code, change.oldValue)))
                    + QStringLiteral(" → ")
                    + (change.newValue.isEmpty() ? kNoValue : displayCellText(shownValue(change.code, change.newValue)));
            lines << QStringList{toneWord(change.tone), change.label, displayCellText(change.lianjie), values};
        }
        for (const RowState &state : changes.ongoing)
            lines << QStringList{kOngoingWord, QStringLiteral("%1 (%2 起)").arg(state.label, sinceText(state.since)),
                                 displayCellText(state.lianjie), QString()};
        int widths[3] = {0, 0, 0};
        for (const QStringList &line : lines)
            for (int c = 0; c < 3; ++c)
                widths[c] = std::max(widths[c], displayWidth(line[c]));
        for (const QStringList &line : lines) {
            QString text = QStringLiteral("  ");
            for (int c = 0; c < 3; ++c)
                text += line[c] + QString(widths[c] - displayWidth(line[c]) + 2, QLatin1Char(' '));
            out += (text + line[3]).trimmed().prepend(QStringLiteral("  ")) + QLatin1Char('\n');
        }
    }
    return out.toUtf8();
}

QByteArray changesTsv(const QList<SiteChangesOf> &sites)
{
    QString out = kFlatHeader.join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (const QStringList &line : flatLines(sites)) {
        QStringList fields;
        for (const QString &field : line)
            fields << tsvField(field);
        out += fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return out.toUtf8();
}

QByteArray changesCsv(const QList<SiteChangesOf> &sites, bool bom)
{
    const auto line = [](const QStringList &fields) {
        QStringList out;
        for (const QString &field : fields)
            out << csvField(escapeKeepingLineBreaks(formulaSafe(field)));
        return out.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    };
    QString out = (bom ? QString(QChar(0xFEFF)) : QString()) + line(kFlatHeader);
    for (const QStringList &fields : flatLines(sites))
        out += line(fields);
    return out.toUtf8();
}

QString changesJsonMembers(const SiteChanges &changes)
{
    QStringList list, ongoing;
    for (const RowChange &change : changes.changes)
        list << QStringLiteral("{\"lianjie\": %1, \"change\": %2, \"old\": %3, \"new\": %4, \"label\": %5, \"tone\": %6, "
                               "\"since\": %7}")
                    .arg(jsonString(change.lianjie), jsonString(change.code), jsonString(change.oldValue),
                         jsonString(change.newValue), jsonString(change.label), jsonString(toneKey(change.tone)),
                         jsonString(change.since.toString(Qt::ISODate)));
    for (const RowState &state : changes.ongoing)
        ongoing << QStringLiteral("{\"lianjie\": %1, \"change\": %2, \"label\": %3, \"since\": %4}")
                       .arg(jsonString(state.lianjie), jsonString(state.code), jsonString(state.label),
                            jsonString(state.since.toString(Qt::ISODate)));
    const auto array = [](const QStringList &objects) {
        return objects.isEmpty() ? QStringLiteral("[]")
                                 : QStringLiteral("[\n  ") + objects.join(QStringLiteral(",\n  ")) + QStringLiteral("\n]");
    };
    const QString compared = changes.hasEarlier
        ? jsonString(changes.comparedWith.toUTC().toString(Qt::ISODateWithMs))
        : QStringLiteral("null");
    return QStringLiteral(", \"compared_with\": %1, \"changes\": %2, \"ongoing\": %3")
        .arg(compared, array(list), array(ongoing));
}

QByteArray withChangesJson(const QByteArray &siteObject, const SiteChanges &changes)
{
    QByteArray object = siteObject.trimmed();
    object.chop(1); // its closing brace
    return object + changesJsonMembers(changes).toUtf8() + "}\n";
}

QByteArray changesOnlyJson(const SiteChangesOf &site)
{
    return (QStringLiteral("{\"site\": %1").arg(jsonString(site.site)) + changesJsonMembers(site.changes)
            + QStringLiteral("}\n"))
        .toUtf8();
}

} // namespace friendlinks
