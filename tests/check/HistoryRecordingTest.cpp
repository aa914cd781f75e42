// A check recorded into a real history file and read back: the rows and outcome it had, and the
// json it wrote; a recorder that cannot write says why once and stops.
#include "check/HistoryRecording.h"

#include "check/CheckEngine.h"
#include "check/CheckRules.h"
#include "check/JsonFormat.h"
#include "probes/BaiduProbe.h"
#include "tests/common/CheckRun.h"
#include "tests/common/FetchWait.h"
#include "tests/common/QtPrinters.h"
#include "tests/common/RowPrinters.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace friendlinks {
namespace {

class HistoryRecordingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(m_web.listen());
        fakeweb::World &world = m_web.world();
        world.setPage("http://www.home9.com/", anchor("http://www.back.com/", "回链站")
                                                   + anchor("http://www.nolink.org/", "不回链"));
        world.setPage("http://www.back.com/", anchor("http://www.home9.com/", "首页之家"));
        world.setPage("http://www.nolink.org/", anchor("http://www.else.com/", "别处"));
        world.set("http://www.gone.com/", answer(200, "", fakeweb::Answer::Fault::Drop));
        world.setPage(baiduQueryUrl(kDefaultBaiduHost, "http://www.back.com/"), baiduResultPage("约1,230", "www.back.com/"));
    }

    SiteResult check(const QString &site, bool modern)
    {
        CheckSettings settings;
        settings.proxy = m_web.proxy();
        settings.modern = modern;
        CheckEngine engine(settings);
        const std::optional<SiteResult> result = checkToEnd(engine, site);
        EXPECT_TRUE(result);
        return result.value_or(SiteResult{});
    }

    QString path() const { return m_dir.filePath(QStringLiteral("history.sqlite")); }

    QTemporaryDir m_dir;
    fakeweb::FakeWeb m_web;
};

TEST_F(HistoryRecordingTest, ACheckReadBackFromTheFileHasItsRowsOutcomeTimesAndJson)
{
    HistoryRecorder recorder(path(), QStringLiteral("8.0"));
    QList<SiteResult> checked;
    for (const bool modern : {false, true})
        for (const QString site : {"www.home9.com", "www.gone.com"}) {
            checked << check(site, modern);
            ASSERT_TRUE(recorder.record(checked.last())) << recorder.failure().reason.toStdString();
        }
    ASSERT_EQ(checked[0].rows.size(), 2);
    EXPECT_FALSE(checked[1].outcome.reachable);

    HistoryStore store;
    ASSERT_TRUE(store.open(path()));
    for (qint64 id = 1; id <= checked.size(); ++id) {
        const SiteResult &original = checked[id - 1];
        const std::optional<CheckRecord> record = store.load(id);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->mode, original.modern() ? "modern" : "classic");
        EXPECT_EQ(record->programVersion, "8.0");
        EXPECT_EQ(record->rows.value(0).lianjie, original.rows.isEmpty() ? QString() : "http://www.back.com/");
        auto back = recordedResult(*record);
        ASSERT_TRUE(std::holds_alternative<SiteResult>(back)) << std::get<QString>(back).toStdString();
        const SiteResult &read = std::get<SiteResult>(back);
        EXPECT_EQ(read.rows, original.rows) << "typed values included, check " << id;
        EXPECT_EQ(read.startedAt, original.startedAt);
        EXPECT_EQ(read.finishedAt, original.finishedAt);
        EXPECT_EQ(read.startedAt.timeSpec(), Qt::UTC);
        EXPECT_EQ(formatSiteJson(read.outcome, read.rows), formatSiteJson(original.outcome, original.rows));
        EXPECT_EQ(redCellCount(read.rows), redCellCount(original.rows));
    }
    EXPECT_EQ(redCellCount(checked[0].rows), 1) << "the row without a link back";
}

TEST_F(HistoryRecordingTest, DamagedRecordsAreNamedNotGuessed)
{
    CheckRecord record = checkRecord(check("www.home9.com", false), "8.0");
    CheckRecord badRow = record;
    badRow.rows[1].payload = "{\"guanjianzi\": 1}";
    CheckRecord badOutcome = record;
    badOutcome.outcome = "[]";
    for (const auto &[damaged, words] : {std::pair{badRow, "recorded row http://www.nolink.org/ of www.home9.com"},
                                         std::pair{badOutcome, "recorded check of www.home9.com: the site is no object"}}) {
        auto back = recordedResult(damaged);
        ASSERT_TRUE(std::holds_alternative<QString>(back));
        EXPECT_TRUE(std::get<QString>(back).startsWith(QString::fromUtf8(words))) << std::get<QString>(back).toStdString();
    }
}

TEST_F(HistoryRecordingTest, AFileThatIsNoHistoryFailsOnceWithItsReasonAndIsNotTouched)
{
    QFile garbage(path());
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4096, 'x'));
    garbage.close();
    HistoryRecorder recorder(path(), "8.0");
    const SiteResult result = check("www.home9.com", false);
    EXPECT_FALSE(recorder.record(result));
    ASSERT_TRUE(recorder.failed());
    EXPECT_EQ(recorder.failure().failure, HistoryFailure::NotHistory);
    EXPECT_TRUE(recorder.failure().reason.contains(QDir::toNativeSeparators(path()))) << recorder.failure().reason.toStdString();
    EXPECT_FALSE(recorder.record(result));
    EXPECT_FALSE(recorder.open()) << "a failed recorder stays failed";
    ASSERT_TRUE(garbage.open(QIODevice::ReadOnly));
    EXPECT_EQ(garbage.readAll(), QByteArray(4096, 'x'));
}

TEST_F(HistoryRecordingTest, AFolderThatCannotBeMadeIsSaid)
{
    QFile file(m_dir.filePath("plain"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    HistoryRecorder recorder(m_dir.filePath("plain/sub/history.sqlite"), "8.0");
    EXPECT_FALSE(recorder.open());
    EXPECT_EQ(recorder.failure().failure, HistoryFailure::CannotOpen) << recorder.failure().reason.toStdString();
}

} // namespace
} // namespace friendlinks
