#include "check/WorkerPool.h"

#include "check/CheckSettings.h"
#include "web/PageFetcher.h"

#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace friendlinks {

// One fetch of one client: waiting for its host's place, then in flight.
struct WorkerPool::Ticket {
    Client *client = nullptr;
    QString host;
    QPointer<FetchRequest> request; // set once the place is granted
    bool cancelled = false;
};

WorkerPool::WorkerPool(const CheckSettings &settings, QObject *parent)
    : QObject(parent)
    , m_limiter(settings.perHostLimit)
    , m_baiduPacer(settings.baiduIntervalMs)
{
    const int jobs = std::clamp(settings.jobs, 1, kMaxJobs);
    // One fetcher per worker: each worker has one request at a time, so no
    // request ever queues inside Qt behind another's connection while its
    // time limit runs (Qt caps connections per host, and a proxy counts as one host).
    for (int i = 0; i < jobs; ++i) {
        auto *fetcher = new PageFetcher(this);
        fetcher->setProxy(settings.proxy);
        fetcher->setTimeoutMs(settings.timeoutMs);
        fetcher->addAuthorities(settings.authorities);
        fetcher->setInsecure(settings.insecure);
        fetcher->setDeclaredCharsets(settings.modern);
        m_workers.push_back(fetcher);
    }
    m_busy.assign(m_workers.size(), nullptr);
}

WorkerPool::~WorkerPool()
{
    m_clients.clear();
    m_limiter.clear();
    for (const auto &ticket : m_tickets)
        ticket->cancelled = true;
    for (PageFetcher *fetcher : m_workers)
        fetcher->abortAll();
}

QString WorkerPool::hostOf(const QString &address)
{
    const QUrl url(PageFetcher::withScheme(address), QUrl::TolerantMode);
    const QString host = url.host().toLower();
    return host.isEmpty() ? address : host;
}

void WorkerPool::attach(Client *client)
{
    if (std::find(m_clients.begin(), m_clients.end(), client) == m_clients.end())
        m_clients.push_back(client);
}

void WorkerPool::detach(Client *client)
{
    const auto it = std::find(m_clients.begin(), m_clients.end(), client);
    if (it == m_clients.end())
        return;
    m_clients.erase(it);

    std::vector<std::shared_ptr<Ticket>> mine;
    for (const auto &ticket : m_tickets)
        if (ticket->client == client)
            mine.push_back(ticket);
    std::erase_if(m_tickets, [client](const auto &ticket) { return ticket->client == client; });
    for (const auto &ticket : mine) {
        ticket->cancelled = true; // a waiter gives its place straight back when granted
        if (ticket->request) {
            ticket->request->abort();
            m_limiter.release(ticket->host);
        }
    }

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
                if (std::find(m_clients.begin(), m_clients.end(), client) == m_clients.end())
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
    auto ticket = std::make_shared<Ticket>();
    ticket->client = client;
    ticket->host = hostOf(address);
    m_tickets.push_back(ticket);
    m_limiter.acquire(ticket->host, [this, ticket, worker, address, site, done = std::move(done)] {
        if (ticket->cancelled) {
            m_limiter.release(ticket->host);
            return;
        }
        FetchRequest *request = m_workers[size_t(worker)]->GetHtmlCode(address, site);
        ticket->request = request;
        connect(request, &FetchRequest::finished, this, [this, ticket, done](const FetchResult &result) {
            forget(ticket);
            m_limiter.release(ticket->host);
            if (!ticket->cancelled)
                done(result);
        });
    });
}

void WorkerPool::forget(const std::shared_ptr<Ticket> &ticket)
{
    std::erase(m_tickets, ticket);
}

} // namespace friendlinks
