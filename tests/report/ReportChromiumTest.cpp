// The report as a browser shows it: headless Chromium renders a report full
// of hostile page texts to a screenshot (made, not blank, with red in it),
// builds its page (no element a page's text could add), and logs its network
// use (no request leaves the page, while a page that does ask is seen asking).
// Skipped when chromium is not installed (Debian package chromium).
#include "check/HtmlReport.h"

#include "check/HistoryRecording.h"

#include "tests/common/QtPrinters.h"
#include "tests/common/ReportSamples.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace friendlinks {
namespace {

constexpr int kChromiumMs = 90 * 1000;

QString chromiumProgram()
{
    for (const char *name : {"chromium", "chromium-browser"})
        if (const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name)); !found.isEmpty())
            return found;
    return {};
}

class ReportChromiumTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_chromium = chromiumProgram();
        if (m_chromium.isEmpty())
            GTEST_SKIP() << "chromium is not installed";
        ASSERT_TRUE(m_dir.isValid());
    }

    QString write(const QString &name, const QByteArray &html)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(html);
        return path;
    }

    // Runs headless Chromium on the file with the extra arguments; what it printed on stdout.
    QByteArray render(const QString &file, const QStringList &extra)
    {
        QProcess chromium;
        chromium.setProgram(m_chromium);
        // Its own profile, nothing of its own asked of the network, no name resolved.
        chromium.setArguments(QStringList{"--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                                          "--user-data-dir=" + m_dir.filePath("profile"), "--no-first-run",
                                          "--disable-background-networking", "--disable-component-update",
                                          "--disable-sync", "--disable-default-apps", "--disable-extensions",
                                          "--host-resolver-rules=MAP * ~NOTFOUND"}
                              + extra + QStringList{QUrl::fromLocalFile(file).toString()});
        chromium.start();
        EXPECT_TRUE(chromium.waitForFinished(kChromiumMs)) << "chromium did not finish";
        if (chromium.state() != QProcess::NotRunning) {
            chromium.kill();
            chromium.waitForFinished();
        }
        EXPECT_EQ(chromium.exitStatus(), QProcess::NormalExit);
        return chromium.readAllStandardOutput();
    }

    QString reportFile() { return write("report.html", htmlReport(samples::hostileReport(), QTimeZone(8 * 3600))); }

    QString m_chromium;
    QTemporaryDir m_dir;
};

TEST_F(ReportChromiumTest, ScreenshotIsMadeAndShowsTheReport)
{
    const QString shot = m_dir.filePath("report.png");
    render(reportFile(), {"--screenshot=" + shot, "--window-size=1200,1600"});
    QImage image(shot);
    ASSERT_FALSE(image.isNull()) << "no screenshot";
    EXPECT_EQ(image.size(), QSize(1200, 1600));
    image = image.convertToFormat(QImage::Format_RGB32);
    qint64 inked = 0, red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            inked += pixel.lightness() < 200;
            red += pixel.red() > 200 && pixel.green() < 80 && pixel.blue() < 80;
        }
    EXPECT_GT(inked, image.width() * image.height() / 50) << "the page is blank";
    EXPECT_GT(red, 200) << "no red cell";
    // Kept beside the suite for a look.
    QFile::remove(QStringLiteral(FRIENDLINKS_TEST_OUTPUT "/report.png"));
    QFile::copy(shot, QStringLiteral(FRIENDLINKS_TEST_OUTPUT "/report.png"));
}

TEST_F(ReportChromiumTest, PageTextsAddNoElements)
{
    const QString dom = QString::fromUtf8(render(reportFile(), {"--dump-dom"}));
    ASSERT_TRUE(dom.contains("<section id=\"notices\">")) << dom.left(300).toStdString();
    for (const char *element : {"<script", "<img", "<iframe", "<link", "<object", "<embed", "<b>"})
        EXPECT_FALSE(dom.contains(QLatin1String(element), Qt::CaseInsensitive)) << element;
    // No event handler: the tags' attributes, their quoted values left out.
    static const QRegularExpression kTag(QStringLiteral("<[a-zA-Z][^>]*>")), kQuoted(QStringLiteral(R"("[^"]*")"));
    for (const QRegularExpressionMatch &tag : kTag.globalMatch(dom))
        EXPECT_FALSE(QString(tag.captured()).remove(kQuoted).contains(QRegularExpression(R"(\son\w+\s*=)")))
            << tag.captured().toStdString();
    EXPECT_EQ(dom.count("<style>"), 1);
    // The texts are there as text.
    EXPECT_TRUE(dom.contains("&lt;/td&gt;&lt;script&gt;alert(1)&lt;/script&gt;"));
    EXPECT_EQ(dom.count("<article class=\"notice\">"), samples::hostileTexts().size());
}

// The addresses of the requests a network log shows made for a page: those
// with an initiator ("null" for a page read from a file), not the browser's
// own ("not an origin": its clock, its updates).
QStringList pageRequests(const QString &netLog)
{
    QFile file(netLog);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << "no network log";
    QJsonParseError error{};
    const QJsonObject log = QJsonDocument::fromJson(file.readAll(), &error).object();
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const QJsonValue startJob = log.value("constants").toObject().value("logEventTypes").toObject().value("URL_REQUEST_START_JOB");
    EXPECT_TRUE(startJob.isDouble()) << "the log names no URL_REQUEST_START_JOB";
    QStringList found;
    for (const QJsonValue &event : log.value("events").toArray()) {
        const QJsonObject object = event.toObject();
        const QJsonObject params = object.value("params").toObject();
        // The job's start names its address and its initiator; its end names neither.
        if (object.value("type") == startJob && params.contains("url")
            && params.value("initiator").toString() != QLatin1String("not an origin"))
            found << params.value("url").toString();
    }
    return found;
}

TEST_F(ReportChromiumTest, NoRequestLeavesThePage)
{
    // The log sees a request: a page without the report's policy that asks for a picture.
    const QString probeLog = m_dir.filePath("probe.json");
    render(write("probe.html", "<!DOCTYPE html><p>x</p><img src=\"http://report-probe.invalid/p.png\">"),
           {"--log-net-log=" + probeLog, "--dump-dom"});
    EXPECT_EQ(pageRequests(probeLog), QStringList{"http://report-probe.invalid/p.png"});

    const QString reportLog = m_dir.filePath("report.json");
    render(reportFile(), {"--log-net-log=" + reportLog, "--dump-dom"});
    const QStringList requested = pageRequests(reportLog);
    EXPECT_TRUE(requested.isEmpty()) << requested.join(' ').toStdString();
}

// 40 days of checks of twelve friends, as the README shows the report: one
// loses its link back, one adds nofollow, one's page stops answering, one's
// index falls, one is new. Run by hand:
//   build/tests/report/report_tests --gtest_also_run_disabled_tests --gtest_filter='*Readme*'
// and copy build/tests/report/report-sample.png to docs/report.png.
TEST_F(ReportChromiumTest, DISABLED_ReadmeScreenshot)
{
    const QStringList names{"张三的博客", "旅游攻略网", "美食天下", "摄影之家", "编程笔记", "音乐随想",
                            "读书小站", "户外运动", "家居生活", "健康百科", "财经观察", "汽车评测"};
    const QString path = m_dir.filePath("history.sqlite");
    HistoryRecorder recorder(path, QStringLiteral("8.0"));
    const QDateTime first(QDate(2026, 10, 31), QTime(3, 0), Qt::UTC);
    for (int day = 0; day < 40; ++day) {
        SiteResult result;
        result.outcome.site = QStringLiteral("www.me.com");
        result.outcome.modern = true;
        result.outcome.home.status = 200;
        result.startedAt = first.addDays(day);
        result.finishedAt = result.startedAt.addSecs(42);
        for (int i = 0; i < names.size() - (day < 39 ? 1 : 0); ++i) {
            const bool lost = i == 2 && day >= 33, unread = i == 9 && day >= 38, nofollow = i == 6 && day >= 36;
            const qint64 pages = 800 + i * 1900 + day * (i % 3 + 1) * 13 - (i == 4 && day == 39 ? 7000 : 0);
            ResultRow row = samples::reportRow(QStringLiteral("http://www.site%1.com/").arg(i + 1), names[i],
                                               lost ? QStringLiteral("没有链接") : unread ? QStringLiteral("访问太慢")
                                                                                        : QStringLiteral("我的站"),
                                               lost || unread || nofollow,
                                               lost ? BackLinkVerdict::NoLink
                                               : unread ? BackLinkVerdict::NotRead
                                                        : nofollow ? BackLinkVerdict::PassesNothing : BackLinkVerdict::Linked,
                                               pages);
            row.cells[Column::rp] = Cell{i == 8 ? QStringLiteral("不是第一") : QStringLiteral("首页第一"), i == 8};
            row.cells[Column::kuaizhao].text = QStringLiteral("%1K %2").arg(20 + i * 3).arg(result.startedAt.date().toString("yyyy-M-d"));
            if (!lost && !unread) // the anchor that links back
                row.facts.backlink = BackLinkFacts{QStringLiteral("http://www.me.com/"),
                                                   nofollow ? QStringList{"nofollow"} : QStringList{}, !nofollow};
            result.rows << row;
        }
        ASSERT_TRUE(recorder.record(result)) << recorder.failure().reason.toStdString();
    }
    HistoryStore store;
    ASSERT_TRUE(store.open(path));
    auto data = gatherReport(store, QStringLiteral("www.me.com"));
    ASSERT_TRUE(std::holds_alternative<ReportData>(data)) << std::get<ReportProblem>(data).reason.toStdString();
    const QString shot = QStringLiteral(FRIENDLINKS_TEST_OUTPUT "/report-sample.png");
    QFile::remove(shot);
    const QString html = write("sample.html", htmlReport(std::get<ReportData>(data), QTimeZone(8 * 3600)));
    QFile::remove(QStringLiteral(FRIENDLINKS_TEST_OUTPUT "/report-sample.html"));
    QFile::copy(html, QStringLiteral(FRIENDLINKS_TEST_OUTPUT "/report-sample.html"));
    render(html, {"--screenshot=" + shot, "--window-size=1200,1600"});
    EXPECT_FALSE(QImage(shot).isNull());
}

} // namespace
} // namespace friendlinks
