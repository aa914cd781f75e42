#pragma once

#include "check/Columns.h"
#include "check/RowFacts.h"
#include "check/SiteResult.h"

#include <QAbstractTableModel>
#include <QList>
#include <QSet>
#include <QString>

namespace friendlinks {

class ResultsWriter;

// The results of one check: its rows in harvest order and the site's outcome.
// Read-only to all but its ResultsWriter (the check engine holds it); the
// window's list, copy, CSV export and every output format read it.
// Columns: the six, then the fact columns. How a view colours a red cell or
// what tip it shows is the view's: the model gives the text and the red flag.
class ResultsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kAllColumns = kColumnCount + kFactColumnCount;
    // data(): whether the cell is red, a bool.
    static constexpr int kRedRole = Qt::UserRole + 1;
    // data(): whether the cell is empty because its row was never probed to its
    // end (the check was stopped first), a bool: true only for the probed cells.
    static constexpr int kUncheckedRole = Qt::UserRole + 2;
    // data(): the typed value the cell is ordered by: a number for the counted
    // columns (the index count, the HTTP status, the time, the outbound links),
    // invalid when it is unknown; the text for the others (invalid when empty).
    static constexpr int kOrderRole = Qt::UserRole + 3;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    // DisplayRole: the cell's text as found (line breaks kept); kRedRole: its red flag.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // The column headers (DisplayRole).
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    [[nodiscard]] const QList<ResultRow> &rows() const { return m_rows; }
    [[nodiscard]] const ResultRow &row(int row) const { return m_rows.at(row); }
    [[nodiscard]] const SiteOutcome &outcome() const { return m_outcome; }
    // The row was left before its probes all ran: a stopped check did not get to it.
    [[nodiscard]] bool isUnchecked(int row) const { return m_unchecked.contains(row); }
    [[nodiscard]] int uncheckedCount() const { return int(m_unchecked.size()); }
    // The cell in list column column (the six, then the fact columns).
    [[nodiscard]] Cell cell(int row, int column) const;
    // The six cells of every row, and their facts, in order.
    [[nodiscard]] QList<CheckRow> cellRows() const;
    [[nodiscard]] QList<RowFacts> factRows() const;

private:
    friend class ResultsWriter;
    ResultsModel() = default;

    QList<ResultRow> m_rows;
    SiteOutcome m_outcome;
    QSet<int> m_unchecked; // rows a stopped check left unprobed
};

} // namespace friendlinks
