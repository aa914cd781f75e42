// What the window's message area says of a check: its notes in the tones a user reads them by, the counts and
// the mode, the latest first, and how far a stopped check came.
#include "app/MessageArea.h"
#include "app/MessageTexts.h"

#include "check/CheckEngine.h"
#include "check/Messages.h"
#include "check/TextEscape.h"

#include <QApplication>
#include <QClipboard>

#include <gtest/gtest.h>

using namespace friendlinks;

namespace {

using Tone = Message::Tone;

ResultRow rowWithRed(int redCells)
{
    ResultRow row;
    for (int c = 0; c < redCells; ++c)
        row.cells.cells[size_t(kColumnCount - 1 - c)].red = true;
    return row;
}

struct Case {
    const char *name;
    SiteResult result;
    QList<Message> expected;
};

QList<Case> cases()
{
    QList<Case> out;
    SiteResult plain;
    plain.outcome.modern = true;
    plain.rows = {rowWithRed(2), rowWithRed(0), rowWithRed(1)};
    out << Case{"counts and the mode, grey", plain,
                {{Tone::Quiet, QStringLiteral("共 3 行，标红 3 处")}, {Tone::Quiet, QStringLiteral("现代模式")}}};

    SiteResult skipped;
    skipped.outcome.skipped.add(SkipReason::Https, 2);
    out << Case{"a classic check names the menu item that lists the rest", skipped,
                {{Tone::Normal, QStringLiteral("另有 2 个友链未列出（https 2），在列表右键菜单勾选“现代模式”一并检查")},
                 {Tone::Quiet, QStringLiteral("共 0 行，标红 0 处")},
                 {Tone::Quiet, QStringLiteral("经典模式")}}};

    SiteResult certificate;
    certificate.outcome.reachable = false;
    certificate.outcome.home.tlsError = QStringLiteral("self-signed\x1b");
    out << Case{"an unreachable site: the certificate says why, in red, escaped", certificate,
                {{Tone::Error, escapeForDisplay(untrustedCertificateNote(QStringLiteral("self-signed\x1b")))},
                 {Tone::Quiet, QStringLiteral("共 0 行，标红 0 处")},
                 {Tone::Quiet, QStringLiteral("经典模式")}}};

    SiteResult blocked;
    blocked.outcome.baiduBlocked = true;
    blocked.rows = {rowWithRed(1)};
    out << Case{"Baidu's block", blocked,
                {{Tone::Normal, kBaiduBlockedMessage},
                 {Tone::Quiet, QStringLiteral("共 1 行，标红 1 处")},
                 {Tone::Quiet, QStringLiteral("经典模式")}}};
    return out;
}

TEST(MessageTexts, ACheckSaysItsNotesThenItsCountsThenItsMode)
{
    // (The certificate's words are the core's; here only that they come escaped, in red, alone.)
    EXPECT_TRUE(escapeForDisplay(untrustedCertificateNote(QStringLiteral("self-signed\x1b"))).contains(QStringLiteral("\\x1b")));
    for (const Case &c : cases()) {
        const QList<Message> got = checkMessages(c.result);
        ASSERT_EQ(got.size(), c.expected.size()) << c.name;
        for (qsizetype i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].text, c.expected[i].text) << c.name;
            EXPECT_EQ(got[i].tone, c.expected[i].tone) << c.name << " " << got[i].text.toStdString();
        }
    }
}

TEST(MessageTexts, AStoppedCheckSaysHowFarItCame)
{
    EXPECT_EQ(stoppedText(3, 10), QStringLiteral("已停止：检查了 3/10 行"));
    EXPECT_EQ(stoppedText(0, 0), QStringLiteral("已停止：网站首页还没有读完"));
    EXPECT_EQ(replacedText(QStringLiteral("www.a.com"), 0, 4), QStringLiteral("已停止 www.a.com 的检查：检查了 0/4 行"));
    EXPECT_EQ(replacedText(QStringLiteral("www.a.com\x1b"), 0, 0),
              QStringLiteral("已停止 www.a.com\\x1b 的检查：网站首页还没有读完"));
}

TEST(MessageArea, TheLatestComesFirstAndANewCheckClearsIt)
{
    CheckSettings local;
    local.proxy = QNetworkProxy::NoProxy;
    CheckEngine engine(local);
    MessageArea area(&engine);
    EXPECT_FALSE(area.copyAction()->isEnabled()) << "nothing to copy";
    area.addNote(QStringLiteral("无法记录历史：x"), Tone::Error);
    SiteResult result;
    result.rows = {rowWithRed(1)};
    area.showResult(result);
    area.addNote(QStringLiteral("与 12-01 相比：1 个反链丢失"));
    EXPECT_EQ(area.texts(), (QStringList{QStringLiteral("与 12-01 相比：1 个反链丢失"), QStringLiteral("共 1 行，标红 1 处"),
                                         QStringLiteral("经典模式"), QStringLiteral("无法记录历史：x")}));
    EXPECT_EQ(area.messages().last().tone, Tone::Error);
    area.copyAction()->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), area.texts().join(QLatin1Char('\n')));
    EXPECT_TRUE(area.toolTip().contains(QStringLiteral("无法记录历史：x"))) << "the tip holds what the line elides";

    engine.start(QStringLiteral("127.0.0.1:1")); // nothing listens there: the check is only started
    EXPECT_TRUE(area.texts().isEmpty());
    EXPECT_TRUE(area.toolTip().isEmpty());
    engine.cancel();
}

} // namespace
