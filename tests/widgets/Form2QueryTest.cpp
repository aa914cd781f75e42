// The window driving a real check through an in-process fakeweb on the demo world.
#include "app/Form2.h"

#include "tests/common/Recorders.h"
#include "tools/fakeweb/FakeWeb.h"

#include "launcher/Form9.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace friendlinks;

namespace {

constexpr int kWaitMs = 20000;

struct Query : ::testing::Test {
    fakeweb::FakeWeb web;
    RecordingBrowser browser;
    RecordingMessageBox messages;
    std::unique_ptr<Form2> form;

    void SetUp() override
    {
        ASSERT_FALSE(web.world().loadFile(QStringLiteral(FRIENDLINKS_SOURCE_DIR "/demo/world.json")).has_value());
        ASSERT_TRUE(web.listen());
        CheckSettings settings;
        settings.proxy = web.proxy();
        settings.timeoutMs = 1000; // the slow demo friend answers after 6 s
        form = std::make_unique<Form2>(settings, &browser, &messages);
        form->show();
    }

    // Types the site and clicks the button, as a user does.
    void queryFor(const QString &site)
    {
        form->siteBox()->setText(site);
        QTest::mouseClick(form->queryButton(), Qt::LeftButton);
    }

    [[nodiscard]] int rowOf(const QString &address) const
    {
        for (int i = 0; i < form->list()->topLevelItemCount(); ++i) {
            if (form->list()->topLevelItem(i)->text(0) == address)
                return i;
        }
        return -1;
    }
};

bool isRed(const QTreeWidgetItem *item, int column)
{
    const QVariant v = item->data(column, Qt::ForegroundRole);
    return v.isValid() && v.value<QBrush>().color() == QColor(255, 0, 0);
}

} // namespace

TEST_F(Query, FillsRowsWithTheEngineTextsAndRedCells)
{
    QSignalSpy finished(form->engine(), &CheckEngine::finished);
    queryFor(QStringLiteral("www.demo-home.com"));
    EXPECT_EQ(form->launcher()->keywordBox()->text(), QStringLiteral("www.demo-home.com"));
    EXPECT_TRUE(form->progressBar()->isVisible());
    ASSERT_TRUE(finished.wait(kWaitMs));
    EXPECT_FALSE(form->progressBar()->isVisible());
    EXPECT_TRUE(messages.shown.empty());

    const QList<CheckRow> &rows = form->engine()->rows();
    ASSERT_GE(rows.size(), 5);
    ASSERT_EQ(form->list()->topLevelItemCount(), rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        const QTreeWidgetItem *item = form->list()->topLevelItem(r);
        for (int c = 0; c < kColumnCount; ++c) {
            const Cell &cell = rows[r].cells[static_cast<size_t>(c)];
            EXPECT_EQ(item->text(c), cell.text) << r << "," << c;
            EXPECT_EQ(isRed(item, c), cell.red) << r << "," << c;
        }
    }

    // The demo world holds a red cell and a plain one in the back-link column.
    const auto fanlian = [&](const QString &address) {
        const int r = rowOf(address);
        return r < 0 ? Cell{QStringLiteral("no row")} : rows[r][Column::fanlian];
    };
    const Cell back = fanlian(QStringLiteral("http://www.friend-linkback.com/"));
    EXPECT_TRUE(back.text.startsWith(QStringLiteral("演示之家")) && !back.red) << back.text.toStdString();
    EXPECT_EQ(fanlian(QStringLiteral("http://www.friend-nolink.org/")), (Cell{QStringLiteral("没有链接"), true}));
}

TEST_F(Query, UnreachableSiteSaysSoOnce)
{
    fakeweb::Answer dropped;
    dropped.fault = fakeweb::Answer::Fault::Drop;
    web.world().set(QStringLiteral("http://www.dropped.test/"), dropped);
    QSignalSpy finished(form->engine(), &CheckEngine::finished);
    queryFor(QStringLiteral("www.dropped.test"));
    ASSERT_TRUE(finished.wait(kWaitMs));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("网址可能无法访问"));
    EXPECT_EQ(form->list()->topLevelItemCount(), 0);
}

TEST_F(Query, PressingAgainMidCheckRestarts)
{
    QSignalSpy started(form->engine(), &CheckEngine::started);
    QSignalSpy finished(form->engine(), &CheckEngine::finished);
    QSignalSpy rowAdded(form->engine(), &CheckEngine::rowAdded);
    queryFor(QStringLiteral("www.demo-home.com"));
    ASSERT_TRUE(rowAdded.wait(kWaitMs)); // the first check is under way
    ASSERT_TRUE(form->engine()->isRunning());
    queryFor(QStringLiteral("www.demo-home.com"));
    EXPECT_EQ(started.count(), 2);
    ASSERT_TRUE(finished.wait(kWaitMs));
    EXPECT_EQ(finished.count(), 1); // the first run ended without finishing
    EXPECT_EQ(form->list()->topLevelItemCount(), form->engine()->rows().size());
    // No row twice: the list holds the second run's rows only.
    QStringList addresses;
    for (int i = 0; i < form->list()->topLevelItemCount(); ++i)
        addresses << form->list()->topLevelItem(i)->text(0);
    EXPECT_EQ(addresses.size(), QSet<QString>(addresses.begin(), addresses.end()).size());
}

TEST_F(Query, ClosingMidCheckEndsCleanly)
{
    QSignalSpy rowAdded(form->engine(), &CheckEngine::rowAdded);
    queryFor(QStringLiteral("www.demo-home.com"));
    ASSERT_TRUE(rowAdded.wait(kWaitMs));
    ASSERT_TRUE(form->engine()->isRunning());
    form->close();
    form.reset();
    // With the window gone its requests are dropped, and nothing answers into it.
    EXPECT_TRUE(QTest::qWaitFor([this] { return web.openConnections() == 0; }, kWaitMs));
}
