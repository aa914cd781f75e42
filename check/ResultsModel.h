#pragma once

#include "check/Columns.h"
#include "check/RowFacts.h"
#include "check/SkippedLinks.h"
#include "web/FetchResult.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>

#include <functional>

namespace friendlinks {

// One result row: the six cells with their red flags, and the facts read beside them.
struct ResultRow {
    CheckRow cells;
    RowFacts facts;
    bool operator==(const ResultRow &) const = default;
};

// What a check found out about the checked site itself.
struct SiteOutcome {
    QString site;               // as checked: the text given, less the white space around it
    bool modern = false;        // the mode the check ran in
    bool reachable = true;      // false when the site's own page could not be fetched (no rows)
    FetchResult home;           // the fetch of the site's own page, without its text; status 0 before the harvest
    SkippedLinks skipped;       // the anchors of its page that gave no row, by reason
    int uncheckedLinks = 0;     // friend links beyond the row limit, not checked
    bool baiduBlocked = false;  // Baidu asked for a security check
    QString baiduTlsError;      // certificate trouble of the first Baidu answer that had any
};

// The results of one check: its rows in harvest order and the site's outcome.
// The check engine writes into it; the window's list, copy, CSV export and
// every output format read it. Columns: the six, then the fact columns.
class ResultsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kAllColumns = kColumnCount + kFactColumnCount;

    explicit ResultsModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    // DisplayRole: the cell's text as found (line breaks kept); ForegroundRole:
    // red for a red cell (a QColor where Qt Gui is loaded); ToolTipRole: the
    // address, escaped, on the link column.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // The column headers; the fact columns' meaning as their tool tips.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    [[nodiscard]] const QList<ResultRow> &rows() const { return m_rows; }
    [[nodiscard]] const ResultRow &row(int row) const { return m_rows.at(row); }
    [[nodiscard]] const SiteOutcome &outcome() const { return m_outcome; }
    // The cell in list column column (the six, then the fact columns).
    [[nodiscard]] Cell cell(int row, int column) const;
    // The six cells of every row, and their facts, in order.
    [[nodiscard]] QList<CheckRow> cellRows() const;
    [[nodiscard]] QList<RowFacts> factRows() const;

    // Writing, for the engine.
    void clear(const QString &site, bool modern);
    int appendRow(const ResultRow &row);
    void setCell(int row, Column column, const Cell &cell);
    void setFacts(int row, const RowFacts &facts);
    // Applies change to the row (its cells and facts, field by field) and says so once for the whole row.
    void updateRow(int row, const std::function<void(ResultRow &)> &change);
    SiteOutcome &outcomeToWrite() { return m_outcome; }

private:
    QList<ResultRow> m_rows;
    SiteOutcome m_outcome;
};

} // namespace friendlinks
