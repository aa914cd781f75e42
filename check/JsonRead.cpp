#include "check/JsonRead.h"

#include "check/CheckMode.h"
#include "check/RowSchema.h"
#include "check/SiteCause.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace friendlinks {
namespace {

QString text(const QJsonObject &object, const char *key)
{
    return object.value(QLatin1String(key)).toString();
}

// The one path for rows of older versions: what they did not save is taken
// from their texts. Without "red", a cell is red by the classic cell rules;
// without Baidu facts, filled Baidu cells mean Baidu answered with a result.
void fillWhatOlderFilesLack(ResultRow &row, const QJsonObject &json)
{
    if (!json.contains(QLatin1String("red"))) {
        for (const CellField &field : cellFields()) {
            Cell &cell = row.cells[field.column.column];
            cell.red = field.redByText && field.redByText(cell.text);
        }
    }
    const bool baiduCells = !row.cells[Column::shoulu].text.isEmpty() || !row.cells[Column::kuaizhao].text.isEmpty()
        || !row.cells[Column::rp].text.isEmpty();
    if (!row.facts.baidu && baiduCells)
        row.facts.baidu = BaiduFacts{BaiduState::Ok, {}, {}, RankVerdict::Unknown, {}};
}

ResultRow readRow(const QJsonObject &json, bool modern)
{
    ResultRow row;
    const QStringList red = json.value(QLatin1String("red")).toVariant().toStringList();
    for (const CellField &field : cellFields()) {
        Cell &cell = row.cells[field.column.column];
        cell.text = text(json, field.column.key);
        cell.red = red.contains(QLatin1String(field.column.key));
    }
    const QJsonObject facts = json.value(QLatin1String("facts")).toObject();
    for (const FactField &field : factFields())
        if (field.key)
            field.fromJson(facts.value(QLatin1String(field.key)), row.facts);
    fillWhatOlderFilesLack(row, json);
    for (const CellField &field : cellFields())
        if (field.readValue)
            field.readValue(row, modern);
    return row;
}

void readOutcome(const QJsonObject &json, SiteOutcome &outcome)
{
    outcome.reachable = !json.value(QLatin1String("unreachable")).toBool(false);
    FetchResult &home = outcome.home;
    home.kind = outcome.reachable ? FetchResult::Kind::Page : FetchResult::Kind::SiteUnreachable;
    const QJsonObject homeJson = json.value(QLatin1String("home")).toObject();
    home.status = homeJson.value(QLatin1String("status")).toInt(0);
    home.finalUrl = text(homeJson, "final_url");
    home.elapsedMs = homeJson.value(QLatin1String("ms")).toInteger(0);
    home.tlsError = text(homeJson, "tls_error");
    if (!outcome.reachable)
        home.failure = causeFailure(text(json, "cause"));
    const QJsonObject skipped = json.value(QLatin1String("skipped")).toObject();
    for (int i = 0; i < kSkipReasonCount; ++i)
        outcome.skipped.add(SkipReason(i), std::max(0, skipped.value(skipReasonKey(SkipReason(i))).toInt(0)));
}

std::variant<SiteRows, QString> readSite(const QJsonValue &value)
{
    if (!value.isObject())
        return QStringLiteral("a site entry is not an object");
    const QJsonObject object = value.toObject();
    if (!object.value(QLatin1String("site")).isString())
        return QStringLiteral("a site entry has no \"site\" text");
    SiteRows site;
    site.outcome.site = text(object, "site");
    site.modeSaved = object.contains(QLatin1String("mode"));
    site.outcome.modern = text(object, "mode") == kModernModeName;
    readOutcome(object, site.outcome);
    const QJsonValue rows = object.value(QLatin1String("rows"));
    if (!rows.isArray())
        return QStringLiteral("site \"%1\" has no \"rows\" list").arg(site.outcome.site);
    for (const QJsonValue &row : rows.toArray()) {
        if (!row.isObject() || !row.toObject().value(QLatin1String("lianjie")).isString())
            return QStringLiteral("a row of site \"%1\" has no \"lianjie\" text").arg(site.outcome.site);
        site.rows.append(readRow(row.toObject(), site.outcome.modern));
    }
    return site;
}

// `--format jsonl`: one site object a line; a blank line is skipped.
std::variant<QJsonArray, QString> readJsonLines(const QByteArray &text)
{
    QJsonArray entries;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty())
            continue;
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(lines[i], &error);
        if (error.error != QJsonParseError::NoError)
            return QStringLiteral("not JSON lines (%1 on line %2)").arg(error.errorString()).arg(i + 1);
        if (!document.isObject())
            return QStringLiteral("not the json output of friendlinks check (line %1 is no object)").arg(i + 1);
        entries.append(document.object());
    }
    return entries;
}

// The site objects of a json output: one site, or its "sites" list.
std::variant<QJsonArray, QString> readJsonSites(const QByteArray &json)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error == QJsonParseError::GarbageAtEnd)
        return readJsonLines(json);
    if (error.error != QJsonParseError::NoError)
        return QStringLiteral("not JSON (%1 at byte %2)").arg(error.errorString()).arg(error.offset);
    if (!document.isObject())
        return QStringLiteral("not the json output of friendlinks check (no object)");
    const QJsonObject top = document.object();
    if (top.contains(QLatin1String("sites"))) {
        if (!top.value(QLatin1String("sites")).isArray())
            return QStringLiteral("\"sites\" is not a list");
        return top.value(QLatin1String("sites")).toArray();
    }
    if (top.contains(QLatin1String("site")) && top.contains(QLatin1String("rows")))
        return QJsonArray{top};
    return QStringLiteral("not the json output of friendlinks check (no \"site\" and \"rows\", no \"sites\")");
}

} // namespace

namespace {

std::variant<QJsonObject, QString> readObject(const QByteArray &json, const char *what)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        return QStringLiteral("%1 is not JSON (%2 at byte %3)").arg(QLatin1String(what), error.errorString()).arg(error.offset);
    if (!document.isObject())
        return QStringLiteral("%1 is no object").arg(QLatin1String(what));
    return document.object();
}

} // namespace

std::variant<SiteRows, QString> readSiteJson(const QByteArray &json)
{
    auto object = readObject(json, "the site");
    if (const QString *problem = std::get_if<QString>(&object))
        return *problem;
    return readSite(std::get<QJsonObject>(object));
}

std::variant<ResultRow, QString> readRowJson(const QByteArray &json, bool modern)
{
    auto object = readObject(json, "the row");
    if (const QString *problem = std::get_if<QString>(&object))
        return *problem;
    const QJsonObject &row = std::get<QJsonObject>(object);
    if (!row.value(QLatin1String("lianjie")).isString())
        return QStringLiteral("the row has no \"lianjie\" text");
    return readRow(row, modern);
}

std::variant<QList<SiteRows>, QString> readCheckJson(const QByteArray &json)
{
    auto entries = readJsonSites(json);
    if (const QString *problem = std::get_if<QString>(&entries))
        return *problem;
    QList<SiteRows> sites;
    for (const QJsonValue &entry : std::get<QJsonArray>(entries)) {
        auto site = readSite(entry);
        if (const QString *problem = std::get_if<QString>(&site))
            return *problem;
        sites.append(std::get<SiteRows>(std::move(site)));
    }
    return sites;
}

} // namespace friendlinks
