#include "probes/PageAnchors.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include <gtest/gtest.h>

namespace friendlinks {
namespace {

// The links of a page as modern mode reads them, in the measuring tool's form:
// `address "text"` (addresses percent-encoded, as a browser writes them), "-" for
// an address that is not http(s), " hidden" when hidden; joined by " | ".
QString linksRead(const QString &html, const QString &pageAddress)
{
    QStringList out;
    for (const PageAnchor &a : readPageAnchors(html, pageAddress)) {
        const QString address = a.address.isEmpty() ? QStringLiteral("-") : QUrl(a.address).toString(QUrl::FullyEncoded);
        out << address + " \"" + a.text + "\"" + (a.hidden ? " hidden" : "");
    }
    return out.join(" | ");
}

// tests/probes/data/browser_pages.json holds awkward pages with the links
// headless Chromium found in them (tools/browserpages/measure.py wrote it).
TEST(BrowserPagesTest, ReadsAwkwardPagesAsABrowserDoes)
{
    QFile file(QStringLiteral(FRIENDLINKS_SOURCE_DIR "/tests/probes/data/browser_pages.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject table = QJsonDocument::fromJson(file.readAll()).object();
    const QString page = table.value("page").toString();
    const QJsonArray rows = table.value("rows").toArray();
    ASSERT_GE(rows.size(), 100);
    int agree = 0;
    for (const QJsonValue &value : rows) {
        const QJsonObject row = value.toObject();
        SCOPED_TRACE(row.value("name").toString().toStdString());
        const QString read = linksRead(row.value("html").toString(), page);
        EXPECT_EQ(read, row.value("read").toString());
        agree += read == row.value("read").toString() ? 1 : 0;
    }
    std::cout << agree << " of " << rows.size() << " pages read as a browser reads them\n";
}

} // namespace
} // namespace friendlinks
