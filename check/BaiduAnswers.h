#pragma once

#include "check/Columns.h"
#include "check/RowFacts.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace friendlinks {

class HistoryStore;

// What a row takes from one Baidu answer: its three Baidu cells and its Baidu facts.
struct BaiduAnswer {
    Cell shoulu, kuaizhao, rp;
    BaiduFacts facts;
    bool operator==(const BaiduAnswer &) const = default;
};

// The answer as the history keeps it: the cells under their json keys, the
// red ones in "red", the facts as the row's json writes "baidu" (no cached_at).
[[nodiscard]] QByteArray baiduAnswerJson(const BaiduAnswer &answer);
// What baiduAnswerJson wrote, the typed values behind the cells read as a check
// of that mode reads them; none for a text that is not such an answer.
[[nodiscard]] std::optional<BaiduAnswer> readBaiduAnswer(const QByteArray &json, bool modern);

// Whether an answer is worth using again: Baidu said what it knows of the
// friend (not a block, a failure or a page it no longer writes so).
[[nodiscard]] bool isKeptAnswer(const BaiduFacts &facts);

// The Baidu answers a run may use instead of asking Baidu again
// (--baidu-max-age, the window's 百度结果有效期): those had in this run, and,
// given a history file, those earlier runs recorded there (each new answer is
// recorded as it comes). With a max age of 0 it keeps and finds nothing, and
// the check asks anew for every row. A history that cannot be opened or
// written leaves the answers of the run (the recorder says what is wrong with
// the file).
//
//   BaiduAnswers answers(24h, defaultHistoryPath());
//   if (auto kept = answers.fresh(query, modern)) use(*kept); else ask(query);
class BaiduAnswers {
public:
    using Clock = std::function<QDateTime()>; // now, in UTC

    BaiduAnswers(qint64 maxAgeMs, QString historyPath, Clock clock = {});
    ~BaiduAnswers();
    BaiduAnswers(const BaiduAnswers &) = delete;
    BaiduAnswers &operator=(const BaiduAnswers &) = delete;

    [[nodiscard]] bool isOn() const { return m_maxAgeMs > 0; }
    // Every query is asked anew (a re-check of rows the user chose): fresh()
    // finds nothing, while answers are still kept and stand in when Baidu blocks.
    void askAnew() { m_askAnew = true; }
    // An answer to the query asked within the max age, its facts' cachedAt
    // saying when (an answer of this run is not marked); none when off.
    [[nodiscard]] std::optional<BaiduAnswer> fresh(const QString &query, bool modern);
    // The newest answer of any age (Baidu blocks: better yesterday's than none); none when off.
    [[nodiscard]] std::optional<BaiduAnswer> newest(const QString &query, bool modern);
    // Keeps an answer just had, asked now, when it is worth keeping and the answers are on.
    void keep(const QString &query, bool modern, const BaiduAnswer &answer);

private:
    struct Kept {
        QDateTime askedAt;
        BaiduAnswer answer;
        bool thisRun = false; // asked in this run: served as Baidu's answer of now, not marked
    };
    std::optional<BaiduAnswer> find(const QString &query, bool modern, const QDateTime &notBefore);
    HistoryStore *store();
    [[nodiscard]] QDateTime now() const;

    qint64 m_maxAgeMs = 0;
    QString m_path;
    Clock m_clock;
    std::unique_ptr<HistoryStore> m_store; // opened at the first use
    bool m_storeTried = false;
    bool m_askAnew = false;
    QHash<QString, Kept> m_kept; // this run's, and those read from the store, by mode and query
};

} // namespace friendlinks
