#pragma once

#include "check/HostLimiter.h"
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

class PageFetcher;
struct FetchOptions;

struct CheckSettings;

// The workers and the per-host limit that one or more checks share. A worker
// is one fetcher doing one task at a time (a harvest, or the probes of one
// row). Clients are offered free workers in the order they attached, so a
// batch finishes its sites roughly in the order given while the workers never
// sit idle as long as any site has work. However many sites share the pool,
// no host, Baidu included, gets more than perHostLimit requests at once.
class WorkerPool : public QObject {
    Q_OBJECT
public:
    // One user of the workers, usually one site's check.
    class Client {
    public:
        virtual ~Client() = default;
        // Starts one task on worker and returns true, or returns false when it
        // has nothing to do right now. The task ends with workerDone(worker).
        virtual bool takeWorker(int worker) = 0;
    };

    explicit WorkerPool(const CheckSettings &settings, QObject *parent = nullptr);
    // The same with the Baidu pace decided on the given clock (tests).
    WorkerPool(const CheckSettings &settings, QueryPacer::Clock clock, QObject *parent = nullptr);
    ~WorkerPool() override;

    // Adds a client behind the ones already attached.
    void attach(Client *client);
    // Removes a client: its requests are aborted (their callbacks never run),
    // its places and waits given up, its workers go to the others.
    void detach(Client *client);
    // Offers every free worker; a client calls it when it has new work.
    void offerIdleWorkers();
    // The task that client ran on worker has ended; the worker is offered again.
    void workerDone(int worker);

    // Fetches address on the worker's fetcher once its host has a free place.
    // site is the checked site as typed (its own failures read as unreachable).
    void fetch(Client *client, int worker, const QString &address, const QString &site,
               std::function<void(const FetchResult &)> done);

    // One Baidu query, at the pace, for every client of the pool: an address
    // asked before in this run (or being asked) is not asked again, its answer
    // serves every row that needs it. done gets the answer, or null when none
    // is sent because Baidu asked for a security check: from the first such
    // answer on, no further query goes out, and those waiting for their turn
    // or for a free place are dropped (told on the next turn of the event loop).
    void askBaidu(Client *client, int worker, const QString &query, const QString &site,
                  std::function<void(const FetchResult *answer)> done);
    [[nodiscard]] bool isBaiduBlocked() const { return m_baiduBlocked; }

    // Paces the Baidu queries of every check on this pool together, so a batch
    // asks Baidu no faster than one check would.
    [[nodiscard]] QueryPacer &baiduPacer() { return m_baiduPacer; }

    // The host a request goes to, for the per-host limit (not the proxy's).
    [[nodiscard]] static QString hostOf(const QString &address);

private:
    struct Ticket;
    struct BaiduQuery;
    struct BaiduWaiter {
        Client *client;
        std::function<void(const FetchResult *)> done;
    };

    void forget(const std::shared_ptr<Ticket> &ticket);
    void startFetch(const std::shared_ptr<Ticket> &ticket, int worker, const QString &address,
                    const QString &site, const FetchOptions &options,
                    std::function<void(const FetchResult &)> done);
    bool sendBaidu(const std::shared_ptr<BaiduQuery> &query);
    void baiduAnswered(const std::shared_ptr<BaiduQuery> &query, const FetchResult &answer);
    void baiduBlocked();
    void dropBaiduWaiters(Client *client);
    void keepBaiduAnswer(const QString &query, const FetchResult &answer);
    [[nodiscard]] std::optional<FetchResult> keptBaiduAnswer(const QString &query) const;
    [[nodiscard]] bool isAttached(Client *client) const;

    QString m_baiduHost;
    HostLimiter m_limiter;
    QueryPacer m_baiduPacer;
    std::vector<PageFetcher *> m_workers;       // children of the pool
    std::vector<Client *> m_busy;               // per worker: the client whose task runs on it
    std::vector<Client *> m_clients;
    std::vector<std::shared_ptr<Ticket>> m_tickets; // fetches waiting for a place or in flight
    bool m_offering = false;
    bool m_offerAgain = false;

    QHash<QString, std::shared_ptr<BaiduQuery>> m_baiduPending; // waiting or on the wire, by address
    struct KeptAnswer {
        FetchResult facts;     // the answer less its text
        QByteArray packedText; // its text, compressed
    };
    QHash<QString, KeptAnswer> m_baiduAnswers; // answered in this run, by address
    std::deque<QString> m_baiduAnswerOrder;    // oldest first, to stay within the budget
    qint64 m_baiduAnswerBytes = 0;
    bool m_baiduBlocked = false;
};

} // namespace friendlinks
