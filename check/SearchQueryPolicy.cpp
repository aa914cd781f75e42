#include "check/SearchQueryPolicy.h"

#include "web/PageFetcher.h"

#include <QTimer>

namespace friendlinks {
namespace {

// Answers kept for rows that ask again, compressed; the oldest go first.
constexpr qint64 kAnswerBudgetBytes = 16 * 1024 * 1024;

} // namespace

// One address asked once for every row that needs it.
struct SearchQueryPolicy::Query {
    QString address;
    QString site;
    int worker = 0; // the fetcher of the first row that asked
    std::vector<Waiter> waiters;
    std::shared_ptr<SentQuery> sent; // once it left the pacer
};

SearchQueryPolicy::SearchQueryPolicy(Transport &transport, QString host, int intervalMs, BlockTest isBlock,
                                     QueryPacer::Clock clock)
    : m_transport(transport)
    , m_host(host.toLower())
    , m_isBlock(std::move(isBlock))
    , m_pacer(intervalMs, std::move(clock))
{
}

SearchQueryPolicy::~SearchQueryPolicy() = default;

void SearchQueryPolicy::ask(const void *client, int worker, const QString &query, const QString &site,
                            std::function<void(const FetchResult *answer)> done)
{
    // An answer already had serves the row even after a block: nothing is sent.
    if (const std::optional<FetchResult> answer = kept(query)) {
        done(&*answer);
        return;
    }
    if (m_blocked) {
        done(nullptr);
        return;
    }
    if (const auto pending = m_pending.value(query)) {
        pending->waiters.push_back({client, std::move(done)});
        return;
    }
    auto entry = std::make_shared<Query>();
    entry->address = query;
    entry->site = site;
    entry->worker = worker;
    entry->waiters.push_back({client, std::move(done)});
    m_pending.insert(query, entry);
    // Returns whether a query went out: one not sent does not count for the pace.
    m_pacer.enqueue(entry.get(), [this, entry] { return send(entry); });
}

bool SearchQueryPolicy::send(const std::shared_ptr<Query> &query)
{
    if (m_blocked || m_pending.value(query->address) != query)
        return false; // dropped meanwhile
    FetchOptions options;
    // A redirect to the block is the block itself: it is not followed.
    options.followRedirect = [isBlock = m_isBlock](const QString &target) {
        FetchResult step;
        step.redirects = {target};
        return !isBlock(step);
    };
    // The query owns what was sent; the answer's handler only looks the query
    // up, so the two never keep each other alive.
    query->sent = m_transport.sendQuery(query->worker, query->address, query->site, options,
                                        [this, weak = std::weak_ptr<Query>(query)](const FetchResult &answer) {
                                            if (const auto query = weak.lock())
                                                answered(query, answer);
                                        });
    return true;
}

void SearchQueryPolicy::answered(const std::shared_ptr<Query> &query, const FetchResult &answer)
{
    m_pending.remove(query->address);
    const bool block = m_isBlock(answer);
    if (!block)
        keep(query->address, answer);
    else if (!m_blocked)
        blocked();
    // Only now may the next query have its turn: a block is known before it.
    m_pacer.queryDone();
    const std::vector<Waiter> waiters = std::move(query->waiters);
    for (const Waiter &waiter : waiters) {
        if (m_transport.isServing(waiter.client))
            waiter.done(&answer);
    }
}

void SearchQueryPolicy::blocked()
{
    m_blocked = true;
    // Final at once: what has not reached the wire never will.
    std::vector<std::shared_ptr<Query>> dropped;
    for (const auto &query : std::as_const(m_pending)) {
        if (query->sent && query->sent->isOnTheWire())
            continue; // its answer comes as usual
        dropped.push_back(query);
    }
    for (const auto &query : dropped)
        drop(query);
    // Their rows are told once control is back, not inside the handler of the blocked answer.
    QTimer::singleShot(0, &m_context, [this, dropped] {
        for (const auto &query : dropped)
            for (const Waiter &waiter : query->waiters)
                if (m_transport.isServing(waiter.client))
                    waiter.done(nullptr);
    });
}

void SearchQueryPolicy::forget(const void *client)
{
    std::vector<std::shared_ptr<Query>> orphans;
    for (const auto &query : std::as_const(m_pending)) {
        std::erase_if(query->waiters, [client](const Waiter &waiter) { return waiter.client == client; });
        if (query->waiters.empty())
            orphans.push_back(query);
    }
    for (const auto &query : orphans)
        drop(query); // no row needs it any more
}

void SearchQueryPolicy::drop(const std::shared_ptr<Query> &query)
{
    m_pending.remove(query->address);
    m_pacer.forget(query.get());
    if (query->sent)
        query->sent->drop();
}

void SearchQueryPolicy::keep(const QString &query, const FetchResult &answer)
{
    KeptAnswer entry;
    entry.facts = answer.withoutPage(); // the page is kept packed, outside the fetchers' budget
    entry.packedText = qCompress(answer.text.toUtf8(), 1);
    m_answerBytes += entry.packedText.size();
    m_answers.insert(query, std::move(entry));
    m_answerOrder.push_back(query);
    while (m_answerBytes > kAnswerBudgetBytes && m_answerOrder.size() > 1) {
        const auto it = m_answers.find(m_answerOrder.front());
        if (it != m_answers.end()) {
            m_answerBytes -= it->packedText.size();
            m_answers.erase(it);
        }
        m_answerOrder.pop_front();
    }
}

std::optional<FetchResult> SearchQueryPolicy::kept(const QString &query) const
{
    const auto it = m_answers.find(query);
    if (it == m_answers.end())
        return std::nullopt;
    FetchResult answer = it->facts;
    answer.text = QString::fromUtf8(qUncompress(it->packedText));
    return answer;
}

} // namespace friendlinks
