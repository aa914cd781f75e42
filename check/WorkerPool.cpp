#include "check/WorkerPool.h"

#include "check/CheckSettings.h"
#include "probes/BaiduState.h"
#include "web/AllocatorPolicy.h"
#include "web/PageFetcher.h"

#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace friendlinks {

// One fetch of one client: waiting for its host's place, then in flight.
struct FetchTicket {
    const void *client = nullptr; // null for the query policy's own queries
    QString host;
    QPointer<FetchRequest> request; // set once the place is granted
    bool cancelled = false;
    bool answerFirst = false; // the answer is handled before the place passes on
};

class WorkerPool::QueryTransport final : public SearchQueryPolicy::Transport {
public:
    explicit QueryTransport(WorkerPool &pool) : m_pool(pool) {}

    std::shared_ptr<SearchQueryPolicy::SentQuery> sendQuery(int worker, const QString &address, const QString &site,
                                                            const FetchOptions &options,
                                                            std::function<void(const FetchResult &)> done) override
    {
        auto ticket = std::make_shared<FetchTicket>();
        ticket->host = hostOf(address);
        ticket->answerFirst = true; // a block it brings is known before the next query has the place
        m_pool.startFetch(ticket, worker, address, site, options, std::move(done));
        return std::make_shared<Sent>(m_pool, ticket);
    }
    bool isServing(const void *client) const override { return m_pool.isAttached(client); }

private:
    class Sent final : public SearchQueryPolicy::SentQuery {
    public:
        Sent(WorkerPool &pool, std::shared_ptr<FetchTicket> ticket) : m_pool(pool), m_ticket(std::move(ticket)) {}
        bool isOnTheWire() const override { return bool(m_ticket->request); }
        void drop() override { m_pool.cancel(m_ticket); }

    private:
        WorkerPool &m_pool;
        std::shared_ptr<FetchTicket> m_ticket;
    };

    WorkerPool &m_pool;
};

WorkerPool::WorkerPool(const CheckSettings &settings, QObject *parent)
    : WorkerPool(settings, QueryPacer::Clock(), parent)
{
}

WorkerPool::WorkerPool(const CheckSettings &settings, QueryPacer::Clock clock, QObject *parent)
    : QObject(parent)
    , m_headerWatch(&m_budget)
    , m_limiter(settings.perHostLimit)
    , m_transport(std::make_unique<QueryTransport>(*this))
    , m_baidu(*m_transport, settings.baiduHost, settings.baiduIntervalMs, isBaiduSecurityCheck, std::move(clock))
    , m_baiduAnswers(settings.baiduMaxAgeMs, settings.baiduAnswerHistory)
{
    returnLargeBlocksToSystem(); // pages of megabytes come and go
    const int jobs = std::clamp(settings.jobs, 1, kMaxJobs);
    QList<QSslCertificate> authorities = settings.authorities;
    if (!settings.authorityPem.isEmpty())
        authorities += QSslCertificate::fromData(settings.authorityPem, QSsl::Pem);
    // One fetcher per worker: each worker has one request at a time, so no
    // request ever queues inside Qt behind another's connection while its
    // time limit runs (Qt caps connections per host, and a proxy counts as one host).
    for (int i = 0; i < jobs; ++i) {
        auto *fetcher = new PageFetcher(this);
        fetcher->setProxy(settings.proxy);
        fetcher->setTimeoutMs(settings.timeoutMs);
        fetcher->addAuthorities(authorities);
        fetcher->setInsecure(settings.insecure);
        fetcher->setDeclaredCharsets(settings.modern);
        fetcher->setGuards({&m_budget, &m_headerWatch});
        m_workers.push_back(fetcher);
    }
    m_busy.assign(m_workers.size(), nullptr);
}

WorkerPool::~WorkerPool()
{
    m_clients.clear();
    m_limiter.clear();
    m_baidu.clear();
    for (const auto &ticket : m_tickets)
        ticket->cancelled = true;
    for (PageFetcher *fetcher : m_workers)
        fetcher->abortAll();
    // Their requests give their bytes back to the guards: before those go.
    for (PageFetcher *fetcher : m_workers)
        delete fetcher;
}

QString WorkerPool::hostOf(const QString &address)
{
    const QUrl url(PageFetcher::withScheme(address), QUrl::TolerantMode);
    const QString host = url.host().toLower();
    return host.isEmpty() ? address : host;
}

bool WorkerPool::isAttached(const void *client) const
{
    return std::find(m_clients.begin(), m_clients.end(), client) != m_clients.end();
}

void WorkerPool::attach(Client *client)
{
    if (!isAttached(client))
        m_clients.push_back(client);
}

void WorkerPool::detach(Client *client)
{
    const auto it = std::find(m_clients.begin(), m_clients.end(), client);
    if (it == m_clients.end())
        return;
    m_clients.erase(it);
    m_baidu.forget(client);
    m_readLane.forget(client);

    std::vector<std::shared_ptr<FetchTicket>> mine;
    for (const auto &ticket : m_tickets)
        if (ticket->client == client)
            mine.push_back(ticket);
    for (const auto &ticket : mine)
        cancel(ticket);

    bool freed = false;
    for (Client *&busy : m_busy) {
        if (busy == client) {
            busy = nullptr;
            freed = true;
        }
    }
    // The others get the freed workers once control is back: detach may run
    // inside a handler of the client that leaves.
    if (freed)
        QTimer::singleShot(0, this, [this] { offerIdleWorkers(); });
}

void WorkerPool::offerIdleWorkers()
{
    if (m_offering) {
        m_offerAgain = true;
        return;
    }
    m_offering = true;
    do {
        m_offerAgain = false;
        for (size_t worker = 0; worker < m_workers.size(); ++worker) {
            if (m_busy[worker])
                continue;
            const std::vector<Client *> clients = m_clients; // a client may leave meanwhile
            for (Client *client : clients) {
                if (!isAttached(client))
                    continue;
                m_busy[worker] = client;
                if (client->takeWorker(int(worker)))
                    break;
                m_busy[worker] = nullptr;
            }
            if (!m_busy[worker])
                break; // no client has work: the other free workers would find none either
        }
    } while (m_offerAgain);
    m_offering = false;
}

void WorkerPool::workerDone(int worker)
{
    if (worker < 0 || size_t(worker) >= m_busy.size())
        return;
    m_busy[size_t(worker)] = nullptr;
    offerIdleWorkers();
}

void WorkerPool::fetch(Client *client, int worker, const QString &address, const QString &site,
                       std::function<void(const FetchResult &)> done)
{
    fetch(client, worker, address, site, kMaxBodyBytes, std::move(done));
}

void WorkerPool::fetch(Client *client, int worker, const QString &address, const QString &site, qint64 maxBodyBytes,
                       std::function<void(const FetchResult &)> done)
{
    auto ticket = std::make_shared<FetchTicket>();
    ticket->client = client;
    ticket->host = hostOf(address);
    // No later request of this worker goes to a friend's host: its connection
    // is closed once the answer is in, so open sockets follow the work in flight.
    FetchOptions options;
    options.keepConnection = ticket->host == m_baidu.host();
    options.maxBodyBytes = maxBodyBytes;
    startFetch(ticket, worker, address, site, options, std::move(done));
}

void WorkerPool::fetch(Client *client, int worker, const QString &address, const QString &site,
                       const FetchOptions &options, std::function<void(const FetchResult &)> done)
{
    auto ticket = std::make_shared<FetchTicket>();
    ticket->client = client;
    ticket->host = hostOf(address);
    FetchOptions own = options;
    own.keepConnection = false;
    startFetch(ticket, worker, address, site, own, std::move(done));
}

void WorkerPool::startFetch(const std::shared_ptr<FetchTicket> &ticket, int worker, const QString &address,
                            const QString &site, const FetchOptions &options,
                            std::function<void(const FetchResult &)> done)
{
    m_tickets.push_back(ticket);
    m_limiter.acquire(ticket->host, [this, ticket, worker, address, site, options, done = std::move(done)] {
        if (ticket->cancelled) {
            m_limiter.release(ticket->host);
            return;
        }
        FetchRequest *request = m_workers[size_t(worker)]->GetHtmlCode(address, site, options);
        ticket->request = request;
        connect(request, &FetchRequest::finished, this, [this, ticket, done](const FetchResult &result) {
            forget(ticket);
            if (ticket->answerFirst) {
                const QPointer<WorkerPool> self(this);
                if (!ticket->cancelled)
                    done(result);
                if (self)
                    m_limiter.release(ticket->host);
                return;
            }
            m_limiter.release(ticket->host);
            if (!ticket->cancelled)
                done(result);
        });
    });
}

void WorkerPool::forget(const std::shared_ptr<FetchTicket> &ticket)
{
    std::erase(m_tickets, ticket);
}

void WorkerPool::cancel(const std::shared_ptr<FetchTicket> &ticket)
{
    ticket->cancelled = true; // a waiter gives its place straight back when granted
    forget(ticket);
    if (ticket->request) {
        ticket->request->abort();
        m_limiter.release(ticket->host);
    }
}

} // namespace friendlinks
