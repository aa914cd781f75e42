#include "check/BatchFormats.h"

namespace friendlinks {

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

} // namespace friendlinks
