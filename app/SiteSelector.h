#pragma once

#include <QString>
#include <QTreeWidget>

namespace friendlinks {

class ResultsModel;

// What the side list says of one site of a batch.
struct SiteSummary {
    enum class State { Waiting, Running, Done, Unreachable };
    State state = State::Waiting;
    int rows = 0;
    int redCells = 0;   // of the six columns
    int notChecked = 0; // rows not probed yet; once done, friend links beyond the row limit
    bool operator==(const SiteSummary &) const = default;
};

// The summary of a site's results; finished says its check has ended.
[[nodiscard]] SiteSummary summarize(const ResultsModel *results, bool finished);
[[nodiscard]] QString stateText(SiteSummary::State state);

// The side list of the several-sites view: one line a site, in the order
// given, with its state, rows, red cells and rows not checked; the current
// line is the site the list beside it shows.
class SiteSelector : public QTreeWidget {
    Q_OBJECT
public:
    explicit SiteSelector(const QStringList &sites, QWidget *parent = nullptr);

    // Shows the summary on the site's line (the view keeps the summaries).
    void setSummary(int site, const SiteSummary &summary);
    [[nodiscard]] int currentSite() const;

signals:
    void siteChosen(int site);
};

} // namespace friendlinks
