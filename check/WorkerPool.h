#pragma once

#include "check/BaiduAnswers.h"
#include "check/HostLimiter.h"
#include "check/QueryPacer.h"
#include "check/ReadLane.h"
#include "check/SearchQueryPolicy.h"
#include "web/BodyBudget.h"
#include "web/FetchResult.h"
#include "web/HeaderWatch.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace friendlinks {

class PageFetcher;
struct FetchOptions;
struct FetchTicket; // one fetch: waiting for its host's place, then in flight

struct CheckSettings;

// The workers and the per-host limit that one or more checks share. A worker
// is one fetcher doing one task at a time (a harvest, or the probes of one
// row). Clients are offered free workers in the order they attached, so a
// batch finishes its sites roughly in the order given while the workers never
// sit idle as long as any site has work. However many sites share the pool,
// no host, Baidu included, gets more than perHostLimit requests at once. The
// pool owns what its fetchers share: the body budget, the header watch, and
// the Baidu query policy.
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
    // The same with options of its own (a user agent, a smaller body, its own
    // redirect rule); the connection is closed after it, as for any friend's host.
    void fetch(Client *client, int worker, const QString &address, const QString &site, const FetchOptions &options,
               std::function<void(const FetchResult &)> done);
    // The same for a file read only so far: its body is cut at maxBodyBytes (TooLarge).
    void fetch(Client *client, int worker, const QString &address, const QString &site, qint64 maxBodyBytes,
               std::function<void(const FetchResult &)> done);

    // How the checks on this pool ask Baidu, together: one query per address
    // for all of them, at one pace, one block for all (a batch asks Baidu no
    // faster than one check would). Clients name themselves as its clients.
    [[nodiscard]] SearchQueryPolicy &baiduQueries() { return m_baidu; }
    // The Baidu answers the checks on this pool may use instead of asking
    // (the settings' max age and history): one batch asks each query once per max age.
    [[nodiscard]] BaiduAnswers &baiduAnswers() { return m_baiduAnswers; }

    // Where the checks on this pool read their pages, one at a time; a client
    // names itself as the owner of its reads, which end with it (detach).
    [[nodiscard]] ReadLane &readLane() { return m_readLane; }

    // The host a request goes to, for the per-host limit (not the proxy's).
    [[nodiscard]] static QString hostOf(const QString &address);

private:
    // The query policy's way out: the pool's workers and host places.
    class QueryTransport;

    void forget(const std::shared_ptr<FetchTicket> &ticket);
    void cancel(const std::shared_ptr<FetchTicket> &ticket);
    void startFetch(const std::shared_ptr<FetchTicket> &ticket, int worker, const QString &address,
                    const QString &site, const FetchOptions &options,
                    std::function<void(const FetchResult &)> done);
    [[nodiscard]] bool isAttached(const void *client) const;

    BodyBudget m_budget;       // the page bytes all workers hold at once
    HeaderWatch m_headerWatch; // answers whose header never ends, while memory runs away
    HostLimiter m_limiter;
    std::unique_ptr<QueryTransport> m_transport;
    SearchQueryPolicy m_baidu;
    BaiduAnswers m_baiduAnswers;
    ReadLane m_readLane;
    std::vector<PageFetcher *> m_workers;       // children of the pool, deleted before the guards
    std::vector<Client *> m_busy;               // per worker: the client whose task runs on it
    std::vector<Client *> m_clients;
    std::vector<std::shared_ptr<FetchTicket>> m_tickets; // fetches waiting for a place or in flight
    bool m_offering = false;
    bool m_offerAgain = false;
};

} // namespace friendlinks
