#include "check/WorkerPool.h"

#include "check/CheckSettings.h"
#include "probes/BaiduState.h"
#include "web/PageFetcher.h"

#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace friendlinks {
namespace {

// Baidu answers kept for rows that ask again, compressed; the oldest go first.
constexpr qint64 kBaiduAnswerBudgetBytes = 16 * 1024 * 1024;

// A redirect to the security check is the block itself: it is not followed.
bool followsBaiduRedirect(const QString &target)
{
    FetchResult step;
    step.redirects = {target};
    return !isBaiduSecurityCheck(step);
}

} // namespace

// One fetch of one client: waiting for its host's place, then in flight.
struct WorkerPool::Ticket {
    Client *client = nullptr; // null for the pool's own Baidu queries
    QString host;
    QPointer<FetchRequest> request; // set once the place is granted
    bool cancelled = false;
    bool baidu = false; // a Baidu query, counted when it goes on the wire
};

// One Baidu address asked once for every row that needs it.
struct WorkerPool::BaiduQuery {
    QString address;
    QString site;
    int worker = 0; // the fetcher of the first row that asked
    std::vector<BaiduWaiter> waiters;
    std::shared_ptr<Ticket> ticket; // once it left the pacer
};

WorkerPool::WorkerPool(const CheckSettings &settings, QObject *parent)
    : WorkerPool(settings, QueryPacer::Clock(), parent)
{
}

WorkerPool::WorkerPool(const CheckSettings &settings, QueryPacer::Clock clock, QObject *parent)
    : QObject(parent)
    , m_baiduHost(settings.baiduHost.toLower())
    , m_limiter(settings.perHostLimit)
    , m_baiduPacer(settings.baiduIntervalMs, std::move(clock))
{
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
        m_workers.push_back(fetcher);
    }
    m_busy.assign(m_workers.size(), nullptr);
}

WorkerPool::~WorkerPool()
{
    m_clients.clear();
    m_limiter.clear();
    m_baiduPending.clear();
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

bool WorkerPool::isAttached(Client *client) const
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
    dropBaiduWaiters(client);

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
    auto ticket = std::make_shared<Ticket>();
    ticket->client = client;
    ticket->host = hostOf(address);
    // No later request of this worker goes to a friend's host: its connection
    // is closed once the answer is in, so open sockets follow the work in flight.
    FetchOptions options;
    options.keepConnection = ticket->host == m_baiduHost;
    startFetch(ticket, worker, address, site, options, std::move(done));
}

void WorkerPool::startFetch(const std::shared_ptr<Ticket> &ticket, int worker, const QString &address,
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
            if (ticket->baidu) {
                // The answer first: a block it brings is known before the place
                // passes to the next query waiting for it.
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

void WorkerPool::forget(const std::shared_ptr<Ticket> &ticket)
{
    std::erase(m_tickets, ticket);
}

void WorkerPool::askBaidu(Client *client, int worker, const QString &query, const QString &site,
                          std::function<void(const FetchResult *answer)> done)
{
    // An answer already had serves the row even after a block: nothing is sent.
    if (const std::optional<FetchResult> kept = keptBaiduAnswer(query)) {
        done(&*kept);
        return;
    }
    if (m_baiduBlocked) {
        done(nullptr);
        return;
    }
    if (const auto pending = m_baiduPending.value(query)) {
        pending->waiters.push_back({client, std::move(done)});
        return;
    }
    auto entry = std::make_shared<BaiduQuery>();
    entry->address = query;
    entry->site = site;
    entry->worker = worker;
    entry->waiters.push_back({client, std::move(done)});
    m_baiduPending.insert(query, entry);
    // Returns whether a query went out: one not sent does not count for the pace.
    m_baiduPacer.enqueue(entry.get(), [this, entry] { return sendBaidu(entry); });
}

bool WorkerPool::sendBaidu(const std::shared_ptr<BaiduQuery> &query)
{
    if (m_baiduBlocked || m_baiduPending.value(query->address) != query)
        return false; // dropped meanwhile
    auto ticket = std::make_shared<Ticket>();
    ticket->host = hostOf(query->address);
    ticket->baidu = true;
    query->ticket = ticket;
    FetchOptions options;
    options.followRedirect = followsBaiduRedirect;
    startFetch(ticket, query->worker, query->address, query->site, options,
               [this, query](const FetchResult &answer) { baiduAnswered(query, answer); });
    return true;
}

void WorkerPool::baiduAnswered(const std::shared_ptr<BaiduQuery> &query, const FetchResult &answer)
{
    m_baiduPending.remove(query->address);
    const bool blocked = isBaiduSecurityCheck(answer);
    if (!blocked)
        keepBaiduAnswer(query->address, answer);
    else if (!m_baiduBlocked)
        baiduBlocked();
    // Only now may the next query have its turn: a block is known before it.
    m_baiduPacer.queryDone();
    const std::vector<BaiduWaiter> waiters = std::move(query->waiters);
    for (const BaiduWaiter &waiter : waiters) {
        if (isAttached(waiter.client))
            waiter.done(&answer);
    }
}

void WorkerPool::baiduBlocked()
{
    m_baiduBlocked = true;
    // Final at once: what has not reached the wire never will.
    std::vector<std::shared_ptr<BaiduQuery>> dropped;
    for (const auto &query : std::as_const(m_baiduPending)) {
        if (query->ticket && query->ticket->request)
            continue; // on the wire already: its answer comes as usual
        m_baiduPacer.forget(query.get());
        if (query->ticket) {
            query->ticket->cancelled = true; // its place, once granted, is given straight back
            forget(query->ticket);
        }
        dropped.push_back(query);
    }
    for (const auto &query : dropped)
        m_baiduPending.remove(query->address);
    // Their rows are told once control is back, not inside the handler of the blocked answer.
    QTimer::singleShot(0, this, [this, dropped] {
        for (const auto &query : dropped)
            for (const BaiduWaiter &waiter : query->waiters)
                if (isAttached(waiter.client))
                    waiter.done(nullptr);
    });
}

void WorkerPool::dropBaiduWaiters(Client *client)
{
    std::vector<std::shared_ptr<BaiduQuery>> orphans;
    for (const auto &query : std::as_const(m_baiduPending)) {
        std::erase_if(query->waiters, [client](const BaiduWaiter &waiter) { return waiter.client == client; });
        if (query->waiters.empty())
            orphans.push_back(query);
    }
    // No row needs them any more: not sent, or aborted on the wire.
    for (const auto &query : orphans) {
        m_baiduPending.remove(query->address);
        m_baiduPacer.forget(query.get());
        if (const auto &ticket = query->ticket) {
            ticket->cancelled = true;
            forget(ticket);
            if (ticket->request) {
                ticket->request->abort();
                m_limiter.release(ticket->host);
            }
        }
    }
}

void WorkerPool::keepBaiduAnswer(const QString &query, const FetchResult &answer)
{
    KeptAnswer kept;
    kept.facts = answer;
    kept.facts.text.clear();
    kept.packedText = qCompress(answer.text.toUtf8(), 1);
    m_baiduAnswerBytes += kept.packedText.size();
    m_baiduAnswers.insert(query, std::move(kept));
    m_baiduAnswerOrder.push_back(query);
    while (m_baiduAnswerBytes > kBaiduAnswerBudgetBytes && m_baiduAnswerOrder.size() > 1) {
        const auto it = m_baiduAnswers.find(m_baiduAnswerOrder.front());
        if (it != m_baiduAnswers.end()) {
            m_baiduAnswerBytes -= it->packedText.size();
            m_baiduAnswers.erase(it);
        }
        m_baiduAnswerOrder.pop_front();
    }
}

std::optional<FetchResult> WorkerPool::keptBaiduAnswer(const QString &query) const
{
    const auto it = m_baiduAnswers.find(query);
    if (it == m_baiduAnswers.end())
        return std::nullopt;
    FetchResult answer = it->facts;
    answer.text = QString::fromUtf8(qUncompress(it->packedText));
    return answer;
}

} // namespace friendlinks
