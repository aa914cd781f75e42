#pragma once

#include "web/FetchResult.h"

#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>

namespace friendlinks {

// Where the checks read their pages: on a thread of its own, one page at a
// time. Reading a page of 16 MB takes a second or more; off the checks'
// thread the window stays responsive and the fetches' watch keeps ticking
// meanwhile, and one read at a time keeps one page's reading structures in
// memory, whatever the number of jobs. Used from the thread that made it.
// On Windows, for now, the reads run on that thread, one at a time as well.
class ReadLane : public QObject {
public:
    explicit ReadLane(QObject *parent = nullptr);
    // Waits for the read in progress; no result is handed on after.
    ~ReadLane() override;

    // Runs work on the lane, then done with its result on the lane's owner
    // thread, unless forget(owner) came first. work must touch nothing that
    // the owner thread changes meanwhile: it gets copies of what it reads.
    template <typename Result>
    void read(const void *owner, std::function<Result()> work, std::function<void(Result &&)> done)
    {
        auto result = std::make_shared<std::optional<Result>>();
        start(owner, [work = std::move(work), result] { result->emplace(work()); },
              [done = std::move(done), result] { done(std::move(**result)); });
    }

    // The same for a page: work reads a copy of it, while the page's share of
    // the body budget is kept here, on the owner's thread, until done has run.
    template <typename Result>
    void readPage(const void *owner, const FetchResult &page, std::function<Result(const FetchResult &)> work,
                  std::function<void(Result &&)> done)
    {
        FetchResult copy = page; // the text is shared, not copied
        std::shared_ptr<const void> hold = std::exchange(copy.bodyHold, nullptr);
        read<Result>(owner, [work = std::move(work), copy = std::move(copy)] { return work(copy); },
                     [hold = std::move(hold), done = std::move(done)](Result &&result) { done(std::move(result)); });
    }

    // Drops owner's reads: those waiting never run, none hands a result on.
    void forget(const void *owner);

private:
    struct Ticket {
        const void *owner;
        std::function<void()> deliver;
        std::shared_ptr<std::atomic<bool>> dropped; // read by the lane: a dropped read is not worked
    };

    void start(const void *owner, std::function<void()> work, std::function<void()> handOn);
    void deliver(quint64 id);

    QThreadPool m_thread;
    std::map<quint64, Ticket> m_tickets; // reads waiting or under way, by id
    quint64 m_nextId = 0;
};

} // namespace friendlinks
