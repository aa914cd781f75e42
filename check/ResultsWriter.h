#pragma once

#include "check/ResultsModel.h"

#include <functional>
#include <memory>

namespace friendlinks {

// The one way to write a ResultsModel. A writer makes its own model, so whoever
// holds the writer (the check engine) is the model's only writer; everyone
// else is handed the model, which only reads. Each change is signalled as a
// model change (rows inserted, data changed, reset).
class ResultsWriter {
public:
    ResultsWriter();
    ~ResultsWriter();
    ResultsWriter(const ResultsWriter &) = delete;
    ResultsWriter &operator=(const ResultsWriter &) = delete;

    [[nodiscard]] ResultsModel *model() const { return m_model.get(); }

    // No rows; the outcome of a check of site in that mode that has not begun.
    void clear(const QString &site, bool modern);
    // Returns the new row's index.
    int appendRow(const ResultRow &row);
    // Applies change to the row and signals the whole row as changed; no row, no change.
    void updateRow(int row, const std::function<void(ResultRow &)> &change);
    // Marks the rows as left unprobed by a stopped check (or, unchecked false,
    // as being probed again); each row's change is signalled.
    void setUnchecked(const QList<int> &rows, bool unchecked);
    [[nodiscard]] SiteOutcome &outcome() { return m_model->m_outcome; }

private:
    std::unique_ptr<ResultsModel> m_model;
};

} // namespace friendlinks
