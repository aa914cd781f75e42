#include "check/BatchFormats.h"

#include "check/OutputFormats.h"
#include "check/TextEscape.h"

#include <QStringList>

#include <algorithm>

namespace friendlinks {
namespace {

// A site as one table cell: control and bidirectional characters shown as escapes.
QString tableText(const QString &text)
{
    return escapeForDisplay(text);
}

QStringList linesOf(const QByteArray &text)
{
    QStringList lines = QString::fromUtf8(text).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

QByteArray joinJsonSites(const QList<QByteArray> &siteObjects)
{
    QByteArray out = "{\"sites\": [";
    for (qsizetype i = 0; i < siteObjects.size(); ++i) {
        out += i == 0 ? "\n" : ",\n";
        out += siteObjects[i].trimmed();
    }
    out += siteObjects.isEmpty() ? "]}\n" : "\n]}\n";
    return out;
}

QByteArray jsonLine(const QByteArray &siteObject)
{
    QByteArray line = siteObject.trimmed();
    line.replace('\n', "");
    return line + '\n';
}

QByteArray unreachableSiteJson(const QString &site, const QString &mode, const FetchResult *home)
{
    return QStringLiteral("{\"site\": %1, \"mode\": %2, \"unreachable\": true, \"rows\": []%3}\n")
        .arg(jsonString(site), jsonString(mode), home ? QStringLiteral(", \"home\": ") + homeJson(*home) : QString())
        .toUtf8();
}

QByteArray withSiteColumnTsv(const QByteArray &tsv, const QStringList &siteOfRow)
{
    const QStringList lines = linesOf(tsv);
    QString out;
    for (qsizetype i = 0; i < lines.size(); ++i)
        out += (i == 0 ? kSiteHeader : tsvField(siteOfRow.value(i - 1))) + QLatin1Char('\t') + lines[i] + QLatin1Char('\n');
    return out.toUtf8();
}

QByteArray withSiteColumnTable(const QByteArray &table, const QStringList &siteOfRow)
{
    const QStringList lines = linesOf(table);
    int width = displayWidth(kSiteHeader);
    for (const QString &site : siteOfRow)
        width = std::max(width, displayWidth(tableText(site)));
    QString out;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const bool summary = i + 1 == lines.size() && i > siteOfRow.size();
        if (summary) {
            out += lines[i] + QLatin1Char('\n');
            continue;
        }
        const QString site = i == 0 ? kSiteHeader : tableText(siteOfRow.value(i - 1));
        out += site + QString(width - displayWidth(site) + 2, QLatin1Char(' ')) + lines[i] + QLatin1Char('\n');
    }
    return out.toUtf8();
}

} // namespace friendlinks
