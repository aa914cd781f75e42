// The window driving real checks through an in-process fakeweb: the demo world, and the modern mode's menu item and banner.
#include "app/Form2.h"

#include "app/ModernModeUi.h"
#include "launcher/Form9.h"
#include "tests/common/WindowFixture.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>

using namespace friendlinks;

namespace {

struct Query : WindowFixture {
    void SetUp() override
    {
        WindowFixture::SetUp();
        ASSERT_FALSE(web.world().loadFile(QStringLiteral(FRIENDLINKS_SOURCE_DIR "/demo/world.json")).has_value());
        open([](CheckSettings &s) { s.timeoutMs = 1000; }); // the slow demo friend answers after 6 s
    }

    // Clicks the button and waits for the first row of the check.
    void startQuery(const QString &site)
    {
        QSignalSpy rowAdded(form->engine()->results(), &QAbstractItemModel::rowsInserted);
        form->siteBox()->setText(site);
        QTest::mouseClick(form->queryButton(), Qt::LeftButton);
        ASSERT_TRUE(rowAdded.wait(kWaitMs));
        ASSERT_TRUE(form->engine()->isRunning());
    }
};

} // namespace

TEST_F(Query, FillsRowsWithTheEngineTextsAndRedCells)
{
    QSignalSpy progress(form->engine(), &CheckEngine::progress);
    QSignalSpy finished(form->engine(), &CheckEngine::finished);
    form->siteBox()->setText(QStringLiteral("www.demo-home.com"));
    form->queryButton()->click();
    EXPECT_EQ(form->launcher()->keywordBox()->text(), QStringLiteral("www.demo-home.com"));
    EXPECT_TRUE(form->progressBar()->isVisible());
    ASSERT_TRUE(finished.wait(kWaitMs));
    EXPECT_FALSE(form->progressBar()->isVisible());
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(form->progressBar()->maximum(), progress.last().at(1).toInt());
    EXPECT_TRUE(messages.shown.empty());

    const QList<CheckRow> &rows = form->engine()->rows();
    ASSERT_GE(rows.size(), 5);
    ASSERT_EQ(listRows(form->list()), rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < kColumnCount; ++c) {
            const Cell &cell = rows[r].cells[static_cast<size_t>(c)];
            EXPECT_EQ(listText(form->list(), r, c), cell.text) << r << "," << c;
            EXPECT_EQ(isRed(form->list(), r, c), cell.red) << r << "," << c;
        }
    }
    // The demo world holds a red cell and a plain one in the back-link column.
    const auto fanlian = [&](const QString &address) {
        for (const CheckRow &row : rows)
            if (row[Column::lianjie].text == address)
                return row[Column::fanlian];
        return Cell{QStringLiteral("no row")};
    };
    const Cell back = fanlian(QStringLiteral("http://www.friend-linkback.com/"));
    EXPECT_TRUE(back.text.startsWith(QStringLiteral("演示之家")) && !back.red) << back.text.toStdString();
    EXPECT_EQ(fanlian(QStringLiteral("http://www.friend-nolink.org/")), (Cell{QStringLiteral("没有链接"), true}));
}

TEST_F(Query, UnreachableSiteSaysSoOnce)
{
    web.world().set(QStringLiteral("http://www.dropped.test/"), answer(200, "", fakeweb::Answer::Fault::Drop));
    ASSERT_TRUE(query(QStringLiteral("www.dropped.test")));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("网址可能无法访问"));
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("提示"));
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::information);
    EXPECT_EQ(listRows(form->list()), 0);
}

TEST_F(Query, ClosingMidCheckEndsCleanly)
{
    startQuery(QStringLiteral("www.demo-home.com"));
    form->close();
    form.reset();
    // With the window gone its requests are dropped, and nothing answers into it.
    EXPECT_TRUE(waitUntil([this] { return web.openConnections() == 0; }));
}

// The modern mode: the check item of the list's menu and the banner note.
namespace {

struct ModernModeWindow : WindowFixture {
    void SetUp() override
    {
        WindowFixture::SetUp();
        web.world().setPage(QStringLiteral("https://www.mysite.com/"),
                            "<a href=\"https://www.friend-a.com/\">甲</a><a href=\"http://www.friend-b.net/\">乙</a>"
                            "<a href=\"https://bbs.friend-c.org/\">丙</a>");
    }

    void open(bool modern, bool trusted = true)
    {
        WindowFixture::open([&](CheckSettings &s) {
            s.baiduHost = QStringLiteral("www.baidu.test");
            s.timeoutMs = 2000;
            if (trusted)
                s.authorities = fakeweb::FakeWeb::authority();
            s.modern = modern;
        });
    }

    [[nodiscard]] QAction *modernAction() const { return form->modernModeUi()->modernAction(); }
    [[nodiscard]] QLabel *note() const { return form->modernModeUi()->bannerNote(); }
    [[nodiscard]] QLabel *modeNote() const { return form->modernModeUi()->modeNote(); }
};

} // namespace

TEST_F(ModernModeWindow, ClassicCheckTellsWhereToFindTheHttpsFriends)
{
    open(false);
    EXPECT_FALSE(modernAction()->isChecked());
    EXPECT_FALSE(modeNote()->isVisible());
    ASSERT_TRUE(query(QStringLiteral("https://www.mysite.com")));
    EXPECT_EQ(listRows(form->list()), 1);
    EXPECT_EQ(modeNote()->text(), QStringLiteral("经典模式"));
    EXPECT_TRUE(note()->isVisible());
    EXPECT_EQ(note()->text(), QStringLiteral("另有 2 个 https 友链未列出，在列表右键菜单勾选“现代模式”一并检查"));

    // The check item takes effect from the next press: then every friend is listed, and nothing is said.
    modernAction()->setChecked(true);
    EXPECT_TRUE(form->engine()->settings().modern);
    ASSERT_TRUE(query(QStringLiteral("https://www.mysite.com")));
    ASSERT_EQ(listRows(form->list()), 3);
    EXPECT_EQ(listText(form->list(), 0, 0), QStringLiteral("https://www.friend-a.com/"));
    EXPECT_FALSE(note()->isVisible());
    EXPECT_TRUE(modeNote()->isVisible());
    EXPECT_EQ(modeNote()->text(), QStringLiteral("现代模式"));

    // The choice outlives the window: the next start is modern, until unchecked.
    open(false);
    EXPECT_TRUE(modernAction()->isChecked());
    EXPECT_TRUE(form->engine()->settings().modern);
    modernAction()->setChecked(false);
    open(false);
    EXPECT_FALSE(modernAction()->isChecked());
    open(true); // started modern, the item is checked
    EXPECT_TRUE(modernAction()->isChecked());
}

TEST_F(ModernModeWindow, UntrustedSiteSaysWhyInTheBanner)
{
    open(false, false);
    ASSERT_TRUE(query(QStringLiteral("https://www.mysite.com")));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("网址可能无法访问"));
    EXPECT_TRUE(note()->isVisible());
    EXPECT_TRUE(note()->text().startsWith(QStringLiteral("证书不可信："))) << note()->text().toStdString();

    // Any other cause goes to the banner beside the same message box; a home page with an error status too.
    web.world().set(QStringLiteral("http://www.dropped.com/"), answer(200, "", fakeweb::Answer::Fault::Drop));
    ASSERT_TRUE(query(QStringLiteral("www.dropped.com")));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, QStringLiteral("网址可能无法访问"));
    EXPECT_EQ(note()->text(), QStringLiteral("网址可能无法访问：连接被中断"));
    web.world().set(QStringLiteral("http://www.moved-out.com/"), answer(404, "<p>gone</p>"));
    ASSERT_TRUE(query(QStringLiteral("www.moved-out.com")));
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(note()->text(), QStringLiteral("首页返回 HTTP 404"));
}
