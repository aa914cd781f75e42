#include "launcher/Form9.h"

#include "tests/common/Recorders.h"

#include "launcher/EngineTable.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace friendlinks;

namespace {

struct Fixture : ::testing::Test {
    RecordingBrowser browser;
    RecordingMessageBox messages;
    Form9 form{nullptr, &browser, &messages};
    void SetUp() override
    {
        form.show();
        form.activateWindow();
        form.activate();
    }
};

} // namespace

TEST_F(Fixture, ActivationSelectsFirstEngineAndShowsItsIcon)
{
    EXPECT_EQ(form.engineChoice()->count(), kEngineCount);
    EXPECT_EQ(form.engineChoice()->currentIndex(), 0);
    EXPECT_EQ(form.engineChoice()->currentText(), QStringLiteral("百度"));
    EXPECT_FALSE(form.engineIcon()->pixmap().isNull());
    EXPECT_EQ(form.SearchUrls().size(), kEngineCount);
}

TEST_F(Fixture, EnterSearchesTrimmedKeywordOnBaidu)
{
    form.keywordBox()->setText(QStringLiteral("  abc  "));
    QTest::keyClick(form.keywordBox(), Qt::Key_Return);
    ASSERT_EQ(browser.opened.size(), 1);
    EXPECT_EQ(browser.opened[0], QStringLiteral("http://www.baidu.com/s?wd=abc"));
    EXPECT_EQ(form.SearchUrls(), buildSearchUrls(QStringLiteral("abc")));
}

TEST_F(Fixture, ClickOnIcibaSearchesItsPath)
{
    form.engineChoice()->setCurrentIndex(9);
    form.keywordBox()->setText(QStringLiteral("abc"));
    QTest::mouseClick(form.searchButton(), Qt::LeftButton);
    ASSERT_EQ(browser.opened.size(), 1);
    EXPECT_EQ(browser.opened[0], QStringLiteral("http://www.iciba.com/abc/9c1e07b2d5a34f68e0b7c2a91d4f5e36/"));
}

TEST_F(Fixture, DesignTextIsAKeyword)
{
    form.search();
    ASSERT_EQ(browser.opened.size(), 1);
    EXPECT_EQ(browser.opened[0], QStringLiteral("http://www.baidu.com/s?wd=输入查询的关键字"));
}

TEST_F(Fixture, SpacesOnlyGiveMessageAndKeepUrls)
{
    form.keywordBox()->setText(QStringLiteral("abc"));
    form.search();
    const QStringList before = form.SearchUrls();
    form.keywordBox()->setText(QStringLiteral("    "));
    form.search();
    EXPECT_EQ(browser.opened.size(), 1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("请输入查找之关键词"));
    EXPECT_EQ(messages.shown[0].title, applicationTitle());
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::none);
    EXPECT_EQ(form.SearchUrls(), before);
}

TEST_F(Fixture, ChangeOfEngineMovesFocusAndIcon)
{
    form.searchButton()->setFocus();
    ASSERT_EQ(form.focusWidget(), form.searchButton());
    const QImage first = form.engineIcon()->pixmap().toImage();
    form.engineChoice()->setCurrentIndex(3);
    EXPECT_EQ(form.focusWidget(), form.keywordBox());
    EXPECT_NE(form.engineIcon()->pixmap().toImage(), first);
    EXPECT_EQ(form.engineIcon()->pixmap().toImage(), Form9::engineIconPixmap(3).toImage());
}

TEST_F(Fixture, EditedEngineTextOpensNothing)
{
    form.engineChoice()->setEditText(QStringLiteral("不存在"));
    form.keywordBox()->setText(QStringLiteral("abc"));
    form.search();
    EXPECT_TRUE(browser.opened.isEmpty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("请选择搜索引擎"));
}

TEST_F(Fixture, BrowserFailureIsReported)
{
    browser.works = false;
    form.keywordBox()->setText(QStringLiteral("abc"));
    form.search();
    EXPECT_EQ(browser.opened.size(), 1);
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST(Form9Icons, ElevenDistinctSixteenPixelIcons)
{
    std::vector<QImage> images;
    for (int k = 0; k < kEngineCount; ++k) {
        const QPixmap p = Form9::engineIconPixmap(k);
        EXPECT_EQ(p.size(), QSize(16, 16));
        for (const QImage &other : images)
            EXPECT_NE(p.toImage(), other) << k;
        images.push_back(p.toImage());
    }
}
