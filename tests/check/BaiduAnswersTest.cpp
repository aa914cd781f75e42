// Baidu's answers kept in the history by query address, and the run's use of them: fresh within the
// max age, the newest of any age when Baidu blocks, nothing at all with an age of 0.
#include "check/BaiduAnswers.h"
#include "check/HistorySchema.h"
#include "check/HistoryStore.h"
#include "check/RowSchema.h"

#include "tests/common/QtPrinters.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace friendlinks {
namespace {

const QString kQuery = QStringLiteral("http://www.baidu.com/s?wd=site:www.a.com/");
const QDateTime kNoon = QDateTime(QDate(2026, 12, 9), QTime(12, 0, 0, 250), Qt::UTC);
constexpr qint64 kHourMs = 3'600'000;

BaiduAnswer okAnswer(const QString &count = QStringLiteral("约1,230篇"))
{
    BaiduAnswer answer;
    answer.shoulu = Cell{count};
    answer.kuaizhao = Cell{QStringLiteral("3K 2026-1-2\r\n")};
    answer.rp = Cell{QStringLiteral("注意：不在第一"), true};
    answer.facts.state = BaiduState::Ok;
    answer.facts.count = QStringLiteral("1,230");
    answer.facts.pages = 1230;
    answer.facts.rank = RankVerdict::NotFirst;
    return answer;
}

class BaiduAnswersTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    [[nodiscard]] QString path() const { return m_dir.filePath(QStringLiteral("history.sqlite")); }
    // Answers on a clock the test sets.
    std::unique_ptr<BaiduAnswers> answers(qint64 maxAgeMs, const QString &history)
    {
        return std::make_unique<BaiduAnswers>(maxAgeMs, history, [this] { return m_now; });
    }

    QTemporaryDir m_dir;
    QDateTime m_now = kNoon;
};

TEST_F(BaiduAnswersTest, AnAnswerReadsBackAsTheRowTookIt)
{
    for (const bool modern : {false, true}) {
        BaiduAnswer none;
        none.facts.state = BaiduState::NoResult;
        none.shoulu = Cell{QString(), modern};
        for (const BaiduAnswer &answer : {okAnswer(), none}) {
            const std::optional<BaiduAnswer> back = readBaiduAnswer(baiduAnswerJson(answer), modern);
            ASSERT_TRUE(back) << baiduAnswerJson(answer).toStdString();
            EXPECT_EQ(*back, answer) << baiduAnswerJson(answer).toStdString();
        }
    }
    BaiduAnswer marked = okAnswer();
    marked.facts.cachedAt = kNoon;
    EXPECT_FALSE(baiduAnswerJson(marked).contains("cached_at")) << "the time is the store's column";
    for (const QByteArray &bad : {QByteArray(), QByteArray("[]"), QByteArray("{\"shoulu\": \"1篇\"}"), QByteArray("{")})
        EXPECT_FALSE(readBaiduAnswer(bad, false)) << bad.toStdString();
}

TEST_F(BaiduAnswersTest, TheStoreKeepsTheNewestAnswerOfEachQueryAndMode)
{
    HistoryStore store;
    ASSERT_TRUE(store.open(path())) << store.lastError().reason.toStdString();
    EXPECT_FALSE(store.baiduAnswer(kQuery, "classic"));
    EXPECT_TRUE(store.lastError().ok()) << "none is no failure";
    ASSERT_TRUE(store.recordBaiduAnswer(kQuery, "classic", kNoon, "noon"));
    ASSERT_TRUE(store.recordBaiduAnswer(kQuery, "classic", kNoon.addSecs(-3600), "earlier")) << "kept, not stored";
    ASSERT_TRUE(store.recordBaiduAnswer(kQuery, "modern", kNoon.addSecs(-7200), "modern's"));
    const auto classic = store.baiduAnswer(kQuery, "classic");
    ASSERT_TRUE(classic);
    EXPECT_EQ(classic->answer, "noon") << "an answer asked earlier does not replace a later one";
    EXPECT_EQ(classic->askedAt, kNoon);
    EXPECT_EQ(store.baiduAnswer(kQuery, "modern").value_or(HistoryStore::BaiduAnswer{}).answer, "modern's");
    EXPECT_TRUE(store.baiduAnswer(kQuery, "classic", kNoon));
    EXPECT_FALSE(store.baiduAnswer(kQuery, "classic", kNoon.addMSecs(1))) << "older than asked for";
    ASSERT_TRUE(store.recordBaiduAnswer(kQuery, "classic", kNoon.addSecs(60), "later"));
    EXPECT_EQ(store.baiduAnswer(kQuery, "classic").value_or(HistoryStore::BaiduAnswer{}).answer, "later");
}

TEST_F(BaiduAnswersTest, AStoreOfTheVersionBeforeGainsTheTable)
{
    {
        HistoryStore store;
        ASSERT_TRUE(store.open(path()));
    }
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(path().toUtf8().constData(), &db), SQLITE_OK);
    // The store as the version before the answers' table left it.
    const QByteArray downgrade =
        "DROP TABLE baidu_answer; PRAGMA user_version = " + QByteArray::number(historyMigrations().size() - 1);
    EXPECT_EQ(sqlite3_exec(db, downgrade.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    HistoryStore store;
    ASSERT_TRUE(store.open(path())) << store.lastError().reason.toStdString();
    EXPECT_TRUE(store.recordBaiduAnswer(kQuery, "classic", kNoon, "x")) << store.lastError().reason.toStdString();
    EXPECT_GE(historyMigrations().size(), 2);
}

TEST_F(BaiduAnswersTest, WithinTheAgeAnEarlierRunsAnswerIsUsedAndSaysWhen)
{
    answers(12 * kHourMs, path())->keep(kQuery, false, okAnswer());

    m_now = kNoon.addMSecs(12 * kHourMs);
    auto later = answers(12 * kHourMs, path());
    const std::optional<BaiduAnswer> fresh = later->fresh(kQuery, false);
    ASSERT_TRUE(fresh) << "12 hours on, still within 12h";
    EXPECT_EQ(fresh->facts.cachedAt, QDateTime(QDate(2026, 12, 9), QTime(12, 0), Qt::UTC)) << "whole seconds";
    BaiduAnswer unmarked = *fresh;
    unmarked.facts.cachedAt = {};
    EXPECT_EQ(unmarked, okAnswer());
    EXPECT_FALSE(later->fresh(kQuery, true)) << "the modern mode reads the page otherwise";
    EXPECT_FALSE(later->fresh(kQuery + "x", false));

    m_now = m_now.addMSecs(1);
    auto stale = answers(12 * kHourMs, path());
    EXPECT_FALSE(stale->fresh(kQuery, false)) << "past the age: asked anew";
    const std::optional<BaiduAnswer> newest = stale->newest(kQuery, false);
    ASSERT_TRUE(newest) << "what a block falls back on";
    EXPECT_TRUE(newest->facts.cachedAt.isValid());
}

TEST_F(BaiduAnswersTest, ARunsOwnAnswersServeItUnmarkedWithoutAStore)
{
    auto run = answers(kHourMs, QString());
    run->keep(kQuery, false, okAnswer());
    EXPECT_EQ(run->fresh(kQuery, false), okAnswer()) << "Baidu's answer of now: no cached_at";
    m_now = kNoon.addMSecs(kHourMs + 1);
    EXPECT_FALSE(run->fresh(kQuery, false));
    EXPECT_EQ(run->newest(kQuery, false), okAnswer());
    EXPECT_FALSE(QFileInfo::exists(path()));
}

TEST_F(BaiduAnswersTest, OnlyWhatBaiduSaidOfTheFriendIsKept)
{
    auto run = answers(kHourMs, path());
    for (const BaiduState state : {BaiduState::Blocked, BaiduState::Unreachable, BaiduState::UnknownPage}) {
        BaiduAnswer answer;
        answer.facts.state = state;
        run->keep(kQuery, false, answer);
    }
    EXPECT_FALSE(run->newest(kQuery, false));
    EXPECT_FALSE(answers(kHourMs, path())->newest(kQuery, false));
}

TEST_F(BaiduAnswersTest, ARecheckAsksAnewYetKeepsAndFallsBack)
{
    answers(kHourMs, path())->keep(kQuery, false, okAnswer());
    auto recheck = answers(kHourMs, path());
    recheck->askAnew();
    EXPECT_FALSE(recheck->fresh(kQuery, false));
    EXPECT_TRUE(recheck->newest(kQuery, false));
    recheck->keep(kQuery, false, okAnswer(QStringLiteral("约7篇")));
    EXPECT_EQ(answers(kHourMs, path())->fresh(kQuery, false).value_or(BaiduAnswer{}).shoulu.text, "约7篇");
}

TEST_F(BaiduAnswersTest, TheRowsJsonSaysWhenAKeptAnswerWasAsked)
{
    const FactField *baidu = nullptr;
    for (const FactField &field : factFields())
        if (field.key && QByteArrayView(field.key) == "baidu")
            baidu = &field;
    ASSERT_NE(baidu, nullptr);
    RowFacts facts;
    facts.baidu = okAnswer().facts;
    EXPECT_EQ(baidu->toJson(facts), R"({"state": "ok", "count": "1,230"})") << "as it always was";
    facts.baidu->cachedAt = QDateTime(QDate(2026, 12, 9), QTime(6, 0, 12), Qt::UTC);
    const QString json = baidu->toJson(facts);
    EXPECT_EQ(json, R"({"state": "ok", "count": "1,230", "cached_at": "2026-12-09T06:00:12Z"})");
    RowFacts back;
    baidu->fromJson(QJsonDocument::fromJson(json.toUtf8()).object(), back);
    ASSERT_TRUE(back.baidu);
    EXPECT_EQ(back.baidu->cachedAt, facts.baidu->cachedAt);
    EXPECT_EQ(back.baidu->count, facts.baidu->count);
}

TEST_F(BaiduAnswersTest, AnAgeOfZeroKeepsAndFindsNothing)
{
    answers(kHourMs, path())->keep(kQuery, false, okAnswer());
    auto off = answers(0, path());
    EXPECT_FALSE(off->isOn());
    EXPECT_FALSE(off->fresh(kQuery, false));
    EXPECT_FALSE(off->newest(kQuery, false)) << "not even when Baidu blocks: the check of old";
    off->keep(QStringLiteral("other"), false, okAnswer());
    EXPECT_FALSE(answers(kHourMs, path())->newest(QStringLiteral("other"), false));
}

TEST_F(BaiduAnswersTest, AHistoryThatCannotBeOpenedLeavesTheRunsAnswers)
{
    const QString notADirectory = m_dir.filePath(QStringLiteral("file"));
    QFile file(notADirectory);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    auto run = answers(kHourMs, notADirectory + QStringLiteral("/history.sqlite"));
    EXPECT_FALSE(run->fresh(kQuery, false));
    run->keep(kQuery, false, okAnswer());
    EXPECT_EQ(run->fresh(kQuery, false), okAnswer());
}

} // namespace
} // namespace friendlinks
