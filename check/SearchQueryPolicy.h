#pragma once

#include "check/QueryPacer.h"
#include "web/FetchResult.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace friendlinks {

struct FetchOptions;

// How a run asks one search engine (Baidu today): one query per distinct
// address per run, whose answer serves every row that needs it, also from a
// compressed cache of the answers had; one query at a time at the pace asked
// for; and once the engine answers with its block (a security check), no
// further query: those not on the wire are dropped and their rows told on the
// next turn of the event loop. The queries go out through a Transport, the
// pool's workers and host places; a second engine is a second policy.
class SearchQueryPolicy {
public:
    // A query the transport took: waiting for a free place, then on the wire.
    class SentQuery {
    public:
        virtual ~SentQuery() = default;
        [[nodiscard]] virtual bool isOnTheWire() const = 0;
        // Not sent after all, or aborted on the wire: its done never runs.
        virtual void drop() = 0;
    };
    // What the policy needs of the pool that sends its queries.
    class Transport {
    public:
        virtual ~Transport() = default;
        // Sends address on worker's fetcher once its host has a free place;
        // done runs before the place passes to the next fetch waiting for it.
        virtual std::shared_ptr<SentQuery> sendQuery(int worker, const QString &address, const QString &site,
                                                     const FetchOptions &options,
                                                     std::function<void(const FetchResult &)> done) = 0;
        // Whether the client still takes answers (one that left is told nothing).
        [[nodiscard]] virtual bool isServing(const void *client) const = 0;
    };
    // Whether an answer is the engine's block.
    using BlockTest = std::function<bool(const FetchResult &answer)>;

    SearchQueryPolicy(Transport &transport, QString host, int intervalMs, BlockTest isBlock, QueryPacer::Clock clock = {});
    ~SearchQueryPolicy();

    // The engine's host, lower case.
    [[nodiscard]] const QString &host() const { return m_host; }
    // One query for client's row; done gets the answer, or null when none is
    // sent because the engine blocks us.
    void ask(const void *client, int worker, const QString &query, const QString &site,
             std::function<void(const FetchResult *answer)> done);
    // The client left: its rows wait no more; a query no row needs is not sent, or aborted.
    void forget(const void *client);
    // Forgets every query waiting or on the wire (the pool goes).
    void clear() { m_pending.clear(); }

private:
    struct Query;
    struct Waiter {
        const void *client;
        std::function<void(const FetchResult *)> done;
    };
    struct KeptAnswer {
        FetchResult facts;     // the answer less its text
        QByteArray packedText; // its text, compressed
    };

    bool send(const std::shared_ptr<Query> &query);
    void answered(const std::shared_ptr<Query> &query, const FetchResult &answer);
    void blocked();
    void drop(const std::shared_ptr<Query> &query);
    void keep(const QString &query, const FetchResult &answer);
    [[nodiscard]] std::optional<FetchResult> kept(const QString &query) const;

    Transport &m_transport;
    QString m_host;
    BlockTest m_isBlock;
    QueryPacer m_pacer;
    QObject m_context; // of the calls deferred to the event loop, which go with the policy
    QHash<QString, std::shared_ptr<Query>> m_pending; // waiting or on the wire, by address
    QHash<QString, KeptAnswer> m_answers;             // answered in this run, by address
    std::deque<QString> m_answerOrder;                // oldest first, to stay within the budget
    qint64 m_answerBytes = 0;
    bool m_blocked = false;
};

} // namespace friendlinks
