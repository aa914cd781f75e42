#include "app/FriendHistoryDialog.h"

#include "app/FriendHistoryModel.h"
#include "check/TextEscape.h"
#include "ui/Platform.h"
#include "ui/TimeChart.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace friendlinks {

FriendHistoryDialog::FriendHistoryDialog(const QString &site, const QString &lianjie, QList<FriendDay> days,
                                         QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("friendHistory"));
    const QString friendName = escapeForDisplay(lianjie);
    setWindowTitle(QStringLiteral("历史：%1 - %2").arg(friendName, applicationTitle()));

    const int checks = int(days.size());
    int missing = 0, nofollow = 0;
    for (const FriendDay &day : days) {
        missing += day.backLinkMissing() ? 1 : 0;
        nofollow += !day.backLinkMissing() && day.backLinkNofollow() ? 1 : 0;
    }
    auto *heading = new QLabel(this);
    heading->setObjectName(QStringLiteral("heading"));
    heading->setTextFormat(Qt::PlainText);
    heading->setWordWrap(true);
    QString words = QStringLiteral("%1 在 %2 的 %3 次检查中").arg(friendName, escapeForDisplay(site)).arg(checks);
    if (missing == 0 && nofollow == 0)
        words += QStringLiteral("，反链都在");
    if (missing > 0)
        words += QStringLiteral("，%1 次没有反链").arg(missing);
    if (nofollow > 0)
        words += QStringLiteral("，%1 次反链为 nofollow").arg(nofollow);
    heading->setText(words);

    m_chart = new TimeChart(this);
    m_chart->setObjectName(QStringLiteral("indexChart"));
    m_chart->setSeries(friendChart(days));

    m_model = new FriendHistoryModel(std::move(days), QTimeZone::systemTimeZone(), this);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("historyTable"));
    m_table->setModel(m_model);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setWordWrap(false);
    m_table->resizeColumnsToContents();
    m_table->setColumnWidth(FriendHistoryModel::BackLink, std::min(m_table->columnWidth(FriendHistoryModel::BackLink), 180));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("关闭"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_chart, 3);
    layout->addWidget(m_table, 2);
    layout->addWidget(buttons);
    resize(640, 520);
}

} // namespace friendlinks
