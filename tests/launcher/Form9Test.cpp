// Form9: its engine table, the search it opens, its messages and its icons.
#include "launcher/Form9.h"

#include "launcher/EngineTable.h"
#include "tests/common/QtPrinters.h"
#include "tests/common/Recorders.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace friendlinks;

namespace {

struct Launcher : ::testing::Test {
    RecordingBrowser browser;
    RecordingMessageBox messages;
    Form9 form{nullptr, &browser, &messages};
    void SetUp() override
    {
        form.show();
        form.activateWindow();
        form.activate();
    }
    // The engine list and its icon, by the control names the design gives them.
    [[nodiscard]] QComboBox *combo1() const { return form.findChild<QComboBox *>(QStringLiteral("Combo1")); }
    [[nodiscard]] QLabel *picture2() const { return form.findChild<QLabel *>(QStringLiteral("Picture2")); }
    void search(const QString &keyword)
    {
        form.keywordBox()->setText(keyword);
        form.search();
    }
};

} // namespace

TEST_F(Launcher, ActivationChoosesBaiduAndASearchOpensTheChosenEngineForTheTrimmedKeyword)
{
    EXPECT_EQ(combo1()->currentText(), QStringLiteral("百度"));
    form.keywordBox()->setText(QStringLiteral("  abc  "));
    QTest::keyClick(form.keywordBox(), Qt::Key_Return);
    combo1()->setCurrentIndex(9);
    QTest::mouseClick(form.searchButton(), Qt::LeftButton);
    EXPECT_EQ(browser.opened, (QStringList{"http://www.baidu.com/s?wd=abc",
                                           "http://www.iciba.com/abc/9c1e07b2d5a34f68e0b7c2a91d4f5e36/"}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Launcher, WhatCannotBeSearchedGivesAMessageAndOpensNothing)
{
    // The hint is no keyword: with the box left empty, or blank, a search asks for one.
    EXPECT_EQ(form.keywordBox()->placeholderText(), QStringLiteral("输入查询的关键字"));
    form.search();
    search(QStringLiteral("    "));
    combo1()->setEditText(QStringLiteral("不存在"));
    search(QStringLiteral("abc"));
    EXPECT_TRUE(browser.opened.isEmpty());
    browser.works = false;
    combo1()->setCurrentIndex(0);
    search(QStringLiteral("abc"));
    ASSERT_EQ(messages.shown.size(), 4u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("请输入查找之关键词"));
    EXPECT_EQ(messages.shown[1].text, messages.shown[0].text);
    EXPECT_EQ(messages.shown[1].title, applicationTitle());
    EXPECT_EQ(messages.shown[1].icon, MessageIcon::none);
    EXPECT_EQ(messages.shown[2].text, QStringLiteral("请选择搜索引擎"));
    EXPECT_EQ(browser.opened.size(), 1) << "the failing browser was asked";
    // The address stands on a line of its own, for the user to copy.
    EXPECT_TRUE(messages.shown[3].text.endsWith(QStringLiteral("\nhttp://www.baidu.com/s?wd=abc"))) << messages.shown[3].text.toStdString();
}

TEST_F(Launcher, ChangeOfEngineMovesFocusAndShowsItsOwnIcon)
{
    form.searchButton()->setFocus();
    ASSERT_EQ(form.focusWidget(), form.searchButton());
    combo1()->setCurrentIndex(3);
    EXPECT_EQ(form.focusWidget(), form.keywordBox());
    const QImage third = picture2()->pixmap().toImage();
    EXPECT_EQ(third.size(), QSize(16, 16));
    combo1()->setCurrentIndex(0);
    EXPECT_NE(picture2()->pixmap().toImage(), third) << "each engine its own icon";
    // The icon shows in Picture2 only, not a second time in the list.
    for (int k = 0; k < kEngineCount; ++k)
        EXPECT_TRUE(combo1()->itemIcon(k).isNull()) << k;
}

TEST(WidgetMessageBoxTest, TextIsPlainAndSelectable)
{
    // Answers the modal box from inside its own event loop, after looking at it.
    Qt::TextInteractionFlags flags;
    Qt::TextFormat format = Qt::AutoText;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            flags = box->textInteractionFlags();
            format = box->textFormat();
            box->accept();
        }
    });
    answer.start(10);
    WidgetMessageBox().show(nullptr, applicationTitle(), QStringLiteral("<b>http://a.test/</b>"), MessageIcon::warning);
    EXPECT_TRUE(flags & Qt::TextSelectableByMouse);
    EXPECT_EQ(format, Qt::PlainText);
}

TEST(EngineTable, TrimSpacesTakesOnlyU0020AtBothEnds)
{
    const std::pair<QString, QString> cases[] = {
        {"   ", ""}, {"\tabc ", "\tabc"}, {" a  b ", "a  b"}, {"\u3000x\u3000", "\u3000x\u3000"}};
    for (const auto &[in, out] : cases)
        EXPECT_EQ(trimSpaces(in), out) << in.toStdString();
}
