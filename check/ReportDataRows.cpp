#include "check/ReportDataRows.h"

#include "check/RowSchema.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>

namespace friendlinks {
namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

qsizetype skipSpace(QByteArrayView text, qsizetype i)
{
    while (i < text.size() && isSpace(text[i]))
        ++i;
    return i;
}

// Just past the string that starts at text[i] (a quote), or -1.
qsizetype stringEnd(QByteArrayView text, qsizetype i)
{
    const char *const data = text.data();
    const qsizetype size = text.size();
    for (++i; i < size; ++i) {
        const char c = data[i];
        if (c == '\\')
            ++i;
        else if (c == '"')
            return i + 1;
    }
    return -1;
}

// Just past the value that starts at text[i], or -1.
qsizetype valueEnd(QByteArrayView text, qsizetype i)
{
    if (i >= text.size())
        return -1;
    if (text[i] == '"')
        return stringEnd(text, i);
    if (text[i] != '{' && text[i] != '[') {
        const qsizetype start = i;
        while (i < text.size() && !isSpace(text[i]) && text[i] != ',' && text[i] != '}' && text[i] != ']')
            ++i;
        return i > start ? i : -1;
    }
    int depth = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '"') {
            if ((i = stringEnd(text, i)) < 0)
                return -1;
            continue;
        }
        if (c == '{' || c == '[')
            ++depth;
        else if ((c == '}' || c == ']') && --depth == 0)
            return i + 1;
        ++i;
    }
    return -1;
}

QByteArrayView memberValue(const QList<JsonMemberText> &members, QByteArrayView key)
{
    for (const JsonMemberText &member : members)
        if (member.key == key)
            return member.value;
    return {};
}

} // namespace

std::optional<QList<JsonMemberText>> jsonObjectMembers(QByteArrayView text)
{
    qsizetype i = skipSpace(text, 0);
    if (i >= text.size() || text[i] != '{')
        return std::nullopt;
    QList<JsonMemberText> members;
    members.reserve(16);
    i = skipSpace(text, i + 1);
    if (i < text.size() && text[i] == '}')
        return skipSpace(text, i + 1) == text.size() ? std::optional(members) : std::nullopt;
    while (i < text.size() && text[i] == '"') {
        const qsizetype keyEnd = stringEnd(text, i);
        if (keyEnd < 0)
            return std::nullopt;
        const QByteArrayView key = text.sliced(i + 1, keyEnd - i - 2);
        i = skipSpace(text, keyEnd);
        if (i >= text.size() || text[i] != ':')
            return std::nullopt;
        i = skipSpace(text, i + 1);
        const qsizetype end = valueEnd(text, i);
        if (end < 0)
            return std::nullopt;
        members.append({key, text.sliced(i, end - i)});
        i = skipSpace(text, end);
        if (i < text.size() && text[i] == '}')
            return skipSpace(text, i + 1) == text.size() ? std::optional(members) : std::nullopt;
        if (i >= text.size() || text[i] != ',')
            return std::nullopt;
        i = skipSpace(text, i + 1);
    }
    return std::nullopt;
}

std::optional<ResultRow> chartRow(const QByteArray &payload, bool modern)
{
    const auto members = jsonObjectMembers(payload);
    if (!members)
        return std::nullopt;
    const auto facts = jsonObjectMembers(memberValue(*members, "facts"));
    // The values wanted, parsed at once as one small array (an absent one as null):
    // the six cells, "red", facts.backlink, facts.baidu.
    QByteArray list = "[";
    const auto add = [&list](QByteArrayView value) {
        list += value.isEmpty() ? QByteArrayView("null") : value;
        list += ',';
    };
    for (const CellField &field : cellFields())
        add(memberValue(*members, field.column.key));
    const QByteArrayView red = memberValue(*members, "red");
    add(red);
    add(facts ? memberValue(*facts, "backlink") : QByteArrayView());
    add(facts ? memberValue(*facts, "baidu") : QByteArrayView());
    list.back() = ']';
    QJsonParseError error{};
    const QJsonArray values = QJsonDocument::fromJson(list, &error).array();
    if (error.error != QJsonParseError::NoError)
        return std::nullopt;
    ResultRow row;
    const QJsonArray redKeys = values[kColumnCount].toArray();
    for (const CellField &field : cellFields()) {
        Cell &cell = row.cells[field.column.column];
        cell.text = values[int(field.column.column)].toString();
        // A version that saved no "red": red by the cell rules, as the json reader does.
        cell.red = red.isEmpty() ? field.redByText && field.redByText(cell.text)
                                 : redKeys.contains(QJsonValue(QString::fromLatin1(field.column.key)));
    }
    for (const FactField &field : factFields()) {
        if (field.key && qstrcmp(field.key, "backlink") == 0)
            field.fromJson(values[kColumnCount + 1], row.facts);
        else if (field.key && qstrcmp(field.key, "baidu") == 0)
            field.fromJson(values[kColumnCount + 2], row.facts);
    }
    // As the json reader does: without Baidu facts, filled Baidu cells mean Baidu answered.
    const bool baiduCells = !row.cells[Column::shoulu].text.isEmpty() || !row.cells[Column::kuaizhao].text.isEmpty()
        || !row.cells[Column::rp].text.isEmpty();
    if (!row.facts.baidu && baiduCells)
        row.facts.baidu = BaiduFacts{BaiduState::Ok, {}, {}, RankVerdict::Unknown};
    for (const CellField &field : cellFields())
        if (field.readValue)
            field.readValue(row, modern);
    return row;
}

} // namespace friendlinks
