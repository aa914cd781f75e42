// The list's 变化 column after a check of a site recorded before: per row what changed since the check before
// and what still holds since when, red when worse, the summary in the banner strip, shown only with something
// to compare, hidden and shown from the header's menu and remembered; filled when the comparison off the
// window's thread is done; in 复制 and 导出 CSV… while shown, where the list shows it.
#include "app/ChangesColumn.h"
#include "app/HistoryActions.h"
#include "app/HistorySetting.h"
#include "app/ResultsListModel.h"

#include "check/CsvFormat.h"
#include "check/HistoryStore.h"
#include "tests/common/WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>

using namespace friendlinks;

namespace {

constexpr int kChanges = ResultsListModel::kChangesColumn;

struct WindowChanges : WindowFixture {
    void SetUp() override
    {
        WindowFixture::SetUp();
        web.world().setPage("http://www.home.com/", "<a href=\"http://www.one.com/\">一号</a>\n"
                                                    "<a href=\"http://www.two.com/\">二号</a>\n");
        web.world().setPage("http://www.one.com/", "<a href=\"http://www.home.com/\">首页</a>");
        linkBack(true);
    }

    void linkBack(bool linked)
    {
        web.world().setPage("http://www.two.com/", linked ? "<a href=\"http://www.home.com/\">回来</a>" : "<p>gone</p>");
    }

    // query(), then the comparison with the history that follows its recording; true when both came in time.
    [[nodiscard]] bool queryCompared(const QString &site)
    {
        QSignalSpy compared(form->changesColumn(), &ChangesColumn::compared);
        return query(site) && (!compared.isEmpty() || compared.wait(kWaitMs));
    }

    [[nodiscard]] QString historyPath() const { return QString::fromUtf8(qgetenv("FRIENDLINKS_HISTORY")); }

    // Moves every recorded check of the site back by days, as if it had run then.
    void age(int days)
    {
        HistoryStore store;
        ASSERT_TRUE(store.open(historyPath())) << store.lastError().reason.toStdString();
        QList<CheckRecord> records;
        const QList<CheckSummary> checks = store.checksOf(QStringLiteral("www.home.com"));
        for (auto it = checks.rbegin(); it != checks.rend(); ++it) {
            std::optional<CheckRecord> record = store.load(it->id);
            ASSERT_TRUE(record);
            record->started = record->started.addDays(-days);
            record->finished = record->finished.addDays(-days);
            records << *record;
        }
        ASSERT_EQ(store.clearSite(QStringLiteral("www.home.com")), int(checks.size()));
        for (const CheckRecord &record : records)
            ASSERT_GT(store.record(record), 0);
    }

    [[nodiscard]] QMenu *rightClickHeader()
    {
        QWidget *header = form->list()->header()->viewport();
        const QPoint at(10, header->height() / 2);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, header->mapToGlobal(at));
        QApplication::sendEvent(header, &event);
        for (QMenu *menu : form->findChildren<QMenu *>())
            if (menu->isVisible())
                return menu;
        return nullptr;
    }

    [[nodiscard]] QAction *changesEntry(QMenu *menu) const
    {
        for (QAction *action : menu->actions())
            if (action->text() == QStringLiteral("变化"))
                return action;
        return nullptr;
    }

    // The message area, one message a line, the latest first.
    [[nodiscard]] QString noteText() const { return messageLines(*form); }
};

QString dayText(const QDateTime &utc)
{
    return utc.toUTC().toString(QStringLiteral("MM-dd"));
}

} // namespace

TEST_F(WindowChanges, AFirstCheckHasNothingToCompareAndNoColumn)
{
    open();
    ASSERT_TRUE(queryCompared(QStringLiteral("www.home.com")));
    EXPECT_FALSE(form->changesColumn()->available());
    EXPECT_TRUE(form->list()->isColumnHidden(kChanges));
    EXPECT_EQ(form->list()->model()->headerData(kChanges, Qt::Horizontal).toString(), QStringLiteral("变化"));
    EXPECT_EQ(form->list()->header()->visualIndex(kChanges), kColumnCount) << "right after the six";
    QMenu *menu = rightClickHeader();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(changesEntry(menu), nullptr) << "nothing to show or hide yet";
    EXPECT_FALSE(noteText().contains(QStringLiteral("相比")));
}

TEST_F(WindowChanges, TheNextCheckSaysPerRowWhatChangedRedWhenWorseAndSumsItUp)
{
    open();
    ASSERT_TRUE(queryCompared(QStringLiteral("www.home.com")));
    const QDateTime first = QDateTime::currentDateTimeUtc();
    linkBack(false);
    ASSERT_TRUE(queryCompared(QStringLiteral("www.home.com")));
    EXPECT_TRUE(form->changesColumn()->available());
    EXPECT_FALSE(form->list()->isColumnHidden(kChanges));
    ASSERT_EQ(listRows(form->list()), 2);
    EXPECT_EQ(listText(form->list(), 0, kChanges), QString());
    EXPECT_FALSE(isRed(form->list(), 0, kChanges));
    EXPECT_EQ(listText(form->list(), 1, kChanges), QStringLiteral("反链丢失"));
    EXPECT_TRUE(isRed(form->list(), 1, kChanges));
    EXPECT_EQ(form->list()->model()->index(1, kChanges).data(Qt::ToolTipRole).toString(),
              QStringLiteral("反链丢失：回来 → 没有链接"));
    EXPECT_TRUE(noteText().startsWith(QStringLiteral("与 %1 相比：1 个反链丢失\n").arg(dayText(first)))) << noteText().toStdString();

    // Back again: better, not red.
    linkBack(true);
    ASSERT_TRUE(queryCompared(QStringLiteral("www.home.com")));
    EXPECT_EQ(listText(form->list(), 1, kChanges), QStringLiteral("反链恢复"));
    EXPECT_FALSE(isRed(form->list(), 1, kChanges));

    // A new check empties the column until it is recorded and compared.
    QSignalSpy compared(form->changesColumn(), &ChangesColumn::compared);
    form->queryButton()->click();
    EXPECT_TRUE(form->list()->isColumnHidden(kChanges));
    ASSERT_TRUE(compared.wait(kWaitMs));
    EXPECT_FALSE(form->list()->isColumnHidden(kChanges));
    EXPECT_EQ(listText(form->list(), 1, kChanges), QString()) << "nothing changed";
    EXPECT_FALSE(noteText().contains(QStringLiteral("相比"))) << "nothing changed needs no words";
}

TEST_F(WindowChanges, ALinkStillMissingSaysSinceTheDayItWent)
{
    open();
    ASSERT_TRUE(queryCompared(QStringLiteral("www.home.com")));
    linkBack(false);
    ASSERT_TRUE(queryCompared(QStringLiteral("www.home.com")));
    form.reset();
    age(3);
    open();
    ASSERT_TRUE(queryCompared(QStringLiteral("www.home.com")));
    const QString since = dayText(QDateTime::currentDateTimeUtc().addDays(-3));
    EXPECT_EQ(listText(form->list(), 1, kChanges), QStringLiteral("反链丢失 (%1 起)").arg(since));
    EXPECT_TRUE(isRed(form->list(), 1, kChanges));
    EXPECT_EQ(listText(form->list(), 0, kChanges), QString());
}

TEST_F(WindowChanges, TheHeaderMenuHidesAndShowsTheColumnAndTheChoiceIsRemembered)
{
    open();
    ASSERT_TRUE(queryCompared(QStringLiteral("www.home.com")));
    ASSERT_TRUE(queryCompared(QStringLiteral("www.home.com")));
    QMenu *menu = rightClickHeader();
    ASSERT_NE(menu, nullptr);
    QAction *entry = changesEntry(menu);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(menu->actions().indexOf(entry), kColumnCount) << "where the list shows it";
    EXPECT_TRUE(entry->isChecked() && entry->isEnabled());
    entry->trigger();
    EXPECT_TRUE(form->list()->isColumnHidden(kChanges));
    menu->close();

    open(); // the next start
    ASSERT_TRUE(queryCompared(QStringLiteral("www.home.com")));
    EXPECT_TRUE(form->changesColumn()->available());
    EXPECT_TRUE(form->list()->isColumnHidden(kChanges)) << "remembered";
    menu = rightClickHeader();
    ASSERT_NE(menu, nullptr);
    entry = changesEntry(menu);
    ASSERT_NE(entry, nullptr);
    EXPECT_FALSE(entry->isChecked());
    entry->trigger();
    EXPECT_FALSE(form->list()->isColumnHidden(kChanges));
    menu->close();
    open();
    EXPECT_TRUE(form->changesColumn()->chosen());
}

TEST_F(WindowChanges, WithRecordingOffTheCheckIsComparedWithTheNewestRecorded)
{
    open();
    ASSERT_TRUE(queryCompared(QStringLiteral("www.home.com")));
    form->historySetting()->recordAction()->setChecked(false);
    linkBack(false);
    ASSERT_TRUE(queryCompared(QStringLiteral("www.home.com")));
    EXPECT_EQ(listText(form->list(), 1, kChanges), QStringLiteral("反链丢失"));
    ASSERT_TRUE(queryCompared(QStringLiteral("www.home.com")));
    EXPECT_EQ(listText(form->list(), 1, kChanges), QStringLiteral("反链丢失")) << "still against the recorded one";
    HistoryStore store;
    ASSERT_TRUE(store.open(historyPath()));
    EXPECT_EQ(store.checksOf(QStringLiteral("www.home.com")).size(), 1);
}

TEST_F(WindowChanges, ARecheckIsComparedAndClearingTheHistoryTakesTheColumnAway)
{
    open();
    ASSERT_TRUE(queryCompared(QStringLiteral("www.home.com")));
    linkBack(false);
    selectOnlyRow(form->list(), 1);
    QSignalSpy rechecked(form->engine(), &CheckEngine::recheckFinished);
    QSignalSpy compared(form->changesColumn(), &ChangesColumn::compared);
    form->listActions()->recheckAction()->trigger();
    ASSERT_TRUE(rechecked.wait(kWaitMs));
    ASSERT_TRUE(!compared.isEmpty() || compared.wait(kWaitMs));
    EXPECT_EQ(listText(form->list(), 1, kChanges), QStringLiteral("反链丢失"));
    EXPECT_FALSE(form->list()->isColumnHidden(kChanges));

    struct Yes : Confirmation {
        bool confirm(QWidget *, const QString &, const QString &) override { return true; }
    } yes;
    form->historyActions()->setConfirmation(&yes);
    EXPECT_EQ(form->historyActions()->clearSiteHistory(), 2);
    EXPECT_FALSE(form->changesColumn()->available());
    EXPECT_TRUE(form->list()->isColumnHidden(kChanges));
    EXPECT_EQ(listText(form->list(), 1, kChanges), QString());
}

TEST_F(WindowChanges, TheColumnFillsWhenTheComparisonOffTheWindowsThreadIsDone)
{
    open();
    ASSERT_TRUE(queryCompared(QStringLiteral("www.home.com")));
    linkBack(false);
    QSignalSpy compared(form->changesColumn(), &ChangesColumn::compared);
    // As the check ends, after it is recorded: the comparison has begun, and nothing of it is shown yet.
    bool comparedAtTheEnd = true;
    QString cellAtTheEnd = QStringLiteral("not seen");
    QObject::connect(form->engine(), &CheckEngine::siteFinished, form.get(), [&] {
        comparedAtTheEnd = !compared.isEmpty();
        cellAtTheEnd = listText(form->list(), 1, kChanges);
    });
    ASSERT_TRUE(query(QStringLiteral("www.home.com")));
    EXPECT_FALSE(comparedAtTheEnd);
    EXPECT_EQ(cellAtTheEnd, QString());
    QTRY_COMPARE_WITH_TIMEOUT(listText(form->list(), 1, kChanges), QStringLiteral("反链丢失"), kWaitMs);
    EXPECT_EQ(compared.count(), 1);
    EXPECT_TRUE(isRed(form->list(), 1, kChanges));
    EXPECT_FALSE(form->list()->isColumnHidden(kChanges));
    EXPECT_TRUE(noteText().section(QLatin1Char('\n'), 0, 0).endsWith(QStringLiteral("1 个反链丢失"))) << noteText().toStdString();
}

TEST_F(WindowChanges, AComparisonOvertakenByTheNextCheckIsDropped)
{
    open();
    ASSERT_TRUE(queryCompared(QStringLiteral("www.home.com")));
    linkBack(false);
    QSignalSpy compared(form->changesColumn(), &ChangesColumn::compared);
    // The list is left as a new check leaves it while this check's comparison is under way.
    QMetaObject::Connection once;
    once = QObject::connect(form->engine(), &CheckEngine::siteFinished, form.get(), [&] {
        QObject::disconnect(once);
        form->changesColumn()->forget();
    });
    ASSERT_TRUE(query(QStringLiteral("www.home.com")));
    linkBack(true);
    ASSERT_TRUE(queryCompared(QStringLiteral("www.home.com")));
    // Comparisons run in turn: the dropped one was answered before this one.
    EXPECT_EQ(compared.count(), 1);
    EXPECT_EQ(listText(form->list(), 1, kChanges), QStringLiteral("反链恢复"));
}

TEST_F(WindowChanges, CopyAndExportHaveTheColumnWhereTheListShowsIt)
{
    open();
    ASSERT_TRUE(queryCompared(QStringLiteral("www.home.com")));
    linkBack(false);
    ASSERT_TRUE(queryCompared(QStringLiteral("www.home.com")));
    selectOnlyRow(form->list(), 1);
    const auto lines = [this] { return form->listActions()->selectedRowsTsv().split(QLatin1Char('\n')); };
    QStringList copied = lines();
    ASSERT_EQ(copied.size(), 3);
    EXPECT_TRUE(copied[0].endsWith(QStringLiteral("\t标红\t变化"))) << copied[0].toStdString();
    EXPECT_TRUE(copied[1].endsWith(QStringLiteral("\t反链丢失"))) << copied[1].toStdString();

    // Right after the six in the list: before the fact columns shown.
    const int status = kColumnCount + int(FactColumn::status);
    form->list()->setColumnHidden(status, false);
    copied = lines();
    EXPECT_TRUE(copied[0].endsWith(QStringLiteral("\t标红\t变化\tHTTP状态"))) << copied[0].toStdString();
    EXPECT_TRUE(copied[1].endsWith(QStringLiteral("\t反链丢失\t200"))) << copied[1].toStdString();
    // Moved to the end, it comes last.
    QHeaderView *header = form->list()->header();
    header->moveSection(header->visualIndex(kChanges), header->count() - 1);
    copied = lines();
    EXPECT_TRUE(copied[0].endsWith(QStringLiteral("\t标红\tHTTP状态\t变化"))) << copied[0].toStdString();
    EXPECT_TRUE(copied[1].endsWith(QStringLiteral("\t200\t反链丢失"))) << copied[1].toStdString();

    struct Answer : SaveDialog {
        QString askSaveFile(QWidget *, const QString &, const QString &, const QString &) override { return file; }
        QString file;
    } answer;
    answer.file = historyDir.filePath(QStringLiteral("links.csv"));
    form->listActions()->setSaveDialog(&answer);
    ASSERT_TRUE(form->listActions()->exportCsv());
    QFile csv(answer.file);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList records = QString::fromUtf8(csv.readAll()).split(QStringLiteral("\r\n"));
    csv.close(); // Windows replaces no file that is open
    ASSERT_EQ(records.size(), 4);
    EXPECT_TRUE(records[0].endsWith(QStringLiteral(",标红,HTTP状态,变化"))) << records[0].toStdString();
    EXPECT_TRUE(records[1].endsWith(QStringLiteral(",200,"))) << records[1].toStdString();
    EXPECT_TRUE(records[2].endsWith(QStringLiteral(",200,反链丢失"))) << records[2].toStdString();

    // Hidden, it is in neither; the other columns as before.
    form->changesColumn()->setChosen(false);
    copied = lines();
    EXPECT_TRUE(copied[0].endsWith(QStringLiteral("\t标红\tHTTP状态"))) << copied[0].toStdString();
    EXPECT_TRUE(copied[1].endsWith(QStringLiteral("\t200"))) << copied[1].toStdString();
    ASSERT_TRUE(form->listActions()->exportCsv());
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll(), formatCsv(resultTable(*form->engine()->results(), {FactColumn::status})));
}
