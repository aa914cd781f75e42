#pragma once

#include "app/Form2.h"
#include "app/BannerNotes.h"
#include "app/MessageArea.h"
#include "app/ModeSetting.h"

#include "tests/common/FetchWait.h"
#include "tests/common/Recorders.h"

#include <QBrush>
#include <QDir>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QSettings>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <functional>
#include <memory>

namespace friendlinks {

// The window whose checks go through an in-process fakeweb, with recorders in place of the browser and the
// message boxes.
struct WindowFixture : ::testing::Test {
    QTemporaryDir historyDir; // before the window, which keeps the history open, so it goes after it
    QByteArray historyBefore;
    fakeweb::FakeWeb web;
    RecordingBrowser browser;
    RecordingMessageBox messages;
    std::unique_ptr<Form2> form;

    void SetUp() override
    {
        ASSERT_TRUE(web.listen());
        // Every test starts as a first start: no remembered mode (the test main keeps settings in a temporary folder).
        QSettings remembered = windowSettings();
        ASSERT_TRUE(remembered.fileName().startsWith(QDir::tempPath())) << remembered.fileName().toStdString();
        remembered.clear();
        // And with no history: what a test records is compared with what it recorded itself, never another test's.
        ASSERT_TRUE(historyDir.isValid());
        historyBefore = qgetenv("FRIENDLINKS_HISTORY");
        qputenv("FRIENDLINKS_HISTORY", historyDir.filePath(QStringLiteral("history.sqlite")).toUtf8());
    }

    void TearDown() override
    {
        form.reset();
        qputenv("FRIENDLINKS_HISTORY", historyBefore);
    }

    // A new window that trusts fakeweb's https; adjust changes its settings.
    void open(const std::function<void(CheckSettings &)> &adjust = {})
    {
        CheckSettings settings;
        settings.proxy = web.proxy();
        settings.authorities = fakeweb::FakeWeb::authority();
        if (adjust)
            adjust(settings);
        form = std::make_unique<Form2>(settings, &browser, &messages);
        form->show();
    }

    // Types the site and clicks the query button, as a user does; true when the check then finished in time.
    [[nodiscard]] bool query(const QString &site)
    {
        QSignalSpy finished(form->engine(), &CheckEngine::siteFinished);
        form->siteBox()->setText(site);
        QTest::mouseClick(form->queryButton(), Qt::LeftButton);
        return finished.wait(kWaitMs);
    }
};

// The window's message area, one message a line, the latest first.
inline QString messageLines(const Form2 &form)
{
    return form.messageArea()->texts().join(QLatin1Char('\n'));
}

// The window's result list as a user sees it: through its view's model.
inline int listRows(const QTreeView *list)
{
    return list->model()->rowCount();
}

inline QString listText(const QTreeView *list, int row, int column)
{
    return list->model()->index(row, column).data().toString();
}

inline bool isRed(const QTreeView *list, int row, int column)
{
    const QVariant v = list->model()->index(row, column).data(Qt::ForegroundRole);
    return v.isValid() && v.value<QBrush>().color() == QColor(255, 0, 0);
}

inline void selectOnlyRow(QTreeView *list, int row)
{
    list->selectionModel()->select(list->model()->index(row, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

} // namespace friendlinks
