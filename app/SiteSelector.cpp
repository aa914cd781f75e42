#include "app/SiteSelector.h"

#include "check/ResultsModel.h"
#include "check/TextEscape.h"

#include <QHeaderView>

namespace friendlinks {
namespace {

enum SelectorColumn { kSite, kState, kRows, kRed, kNotChecked };

} // namespace

SiteSummary summarize(const ResultsModel *results, bool finished)
{
    SiteSummary summary;
    if (!results)
        return summary;
    const SiteOutcome &outcome = results->outcome();
    summary.rows = results->rowCount();
    for (const ResultRow &row : results->rows()) {
        for (const Cell &cell : row.cells.cells)
            summary.redCells += cell.red;
        // The back-link cell is the first a probe fills.
        if (!finished && row.cells[Column::fanlian].text.isEmpty())
            ++summary.notChecked;
    }
    if (finished)
        summary.notChecked = outcome.uncheckedLinks;
    summary.state = !finished ? SiteSummary::State::Running
        : outcome.reachable   ? SiteSummary::State::Done
                              : SiteSummary::State::Unreachable;
    return summary;
}

QString stateText(SiteSummary::State state)
{
    switch (state) {
    case SiteSummary::State::Waiting: return QStringLiteral("等待");
    case SiteSummary::State::Running: return QStringLiteral("检查中");
    case SiteSummary::State::Done: return QStringLiteral("完成");
    case SiteSummary::State::Unreachable: return QStringLiteral("无法访问");
    }
    return {};
}

SiteSelector::SiteSelector(const QStringList &sites, QWidget *parent)
    : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("siteSelector"));
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHeaderLabels({QStringLiteral("网站"), QStringLiteral("状态"), QStringLiteral("行"), QStringLiteral("标红"),
                     QStringLiteral("未检查")});
    for (const QString &site : sites) {
        // A site typed or read from a file: shown with control and bidi characters visible.
        auto *item = new QTreeWidgetItem(this, {escapeForDisplay(site)});
        item->setToolTip(kSite, escapeForDisplay(site));
        for (int column = kRows; column <= kNotChecked; ++column)
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int site = 0; site < int(sites.size()); ++site)
        setSummary(site, SiteSummary{});
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(kSite, QHeaderView::Stretch);
    for (int column = kState; column <= kNotChecked; ++column)
        header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        if (item)
            emit siteChosen(indexOfTopLevelItem(item));
    });
}

void SiteSelector::setSummary(int site, const SiteSummary &summary)
{
    QTreeWidgetItem *item = topLevelItem(site);
    if (!item)
        return;
    item->setText(kState, stateText(summary.state));
    const bool started = summary.state != SiteSummary::State::Waiting;
    item->setText(kRows, started ? QString::number(summary.rows) : QString());
    item->setText(kRed, started ? QString::number(summary.redCells) : QString());
    item->setText(kNotChecked, started ? QString::number(summary.notChecked) : QString());
    const QColor red(255, 0, 0);
    item->setForeground(kRed, summary.redCells > 0 ? QBrush(red) : QBrush());
    item->setForeground(kState, summary.state == SiteSummary::State::Unreachable ? QBrush(red) : QBrush());
    item->setForeground(kNotChecked, QBrush(QColor(128, 128, 128)));
}

int SiteSelector::currentSite() const
{
    return currentItem() ? indexOfTopLevelItem(currentItem()) : -1;
}

} // namespace friendlinks
