#include "check/ResultsWriter.h"

namespace friendlinks {

ResultsWriter::ResultsWriter()
    : m_model(new ResultsModel)
{
}

ResultsWriter::~ResultsWriter() = default;

void ResultsWriter::clear(const QString &site, bool modern)
{
    ResultsModel &m = *m_model;
    m.beginResetModel();
    m.m_rows.clear();
    m.m_unchecked.clear();
    m.m_outcome = SiteOutcome();
    m.m_outcome.site = site;
    m.m_outcome.modern = modern;
    m.endResetModel();
}

int ResultsWriter::appendRow(const ResultRow &row)
{
    ResultsModel &m = *m_model;
    const int at = int(m.m_rows.size());
    m.beginInsertRows({}, at, at);
    m.m_rows.append(row);
    m.endInsertRows();
    return at;
}

void ResultsWriter::updateRow(int row, const std::function<void(ResultRow &)> &change)
{
    ResultsModel &m = *m_model;
    if (row < 0 || row >= m.m_rows.size())
        return;
    change(m.m_rows[row]);
    emit m.dataChanged(m.index(row, 0), m.index(row, ResultsModel::kAllColumns - 1));
}

void ResultsWriter::setUnchecked(const QList<int> &rows, bool unchecked)
{
    ResultsModel &m = *m_model;
    for (const int row : rows) {
        if (row < 0 || row >= m.m_rows.size() || m.m_unchecked.contains(row) == unchecked)
            continue;
        if (unchecked)
            m.m_unchecked.insert(row);
        else
            m.m_unchecked.remove(row);
        emit m.dataChanged(m.index(row, 0), m.index(row, ResultsModel::kAllColumns - 1));
    }
}

} // namespace friendlinks
