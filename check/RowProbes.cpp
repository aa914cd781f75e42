#include "check/RowProbes.h"

#include "check/CheckMode.h"
#include "check/JumpProbe.h"
#include "check/RobotsProbe.h"
#include "check/SpiderViewProbe.h"
#include "check/PageExtrasProbe.h"

namespace friendlinks {
namespace {

// What the probes share: where they fetch, for whom, by which rules.
struct ProbeSetting {
    WorkerPool &pool;
    WorkerPool::Client &client;
    const CheckMode &mode;
    QString site;
    std::shared_ptr<ModernPageReads> modernReads; // modern: each page's read, for the extras probe
};

// The friend's home page: is there a link back, and the page's own facts.
class PageProbe final : public RowProbe {
public:
    explicit PageProbe(ProbeSetting setting) : m_setting(std::move(setting)) {}

    QString name() const override { return QStringLiteral("page"); }
    QString fetches() const override { return QStringLiteral("the friend's home page"); }
    QStringList fills() const override
    {
        return {QStringLiteral("fanlian"), QStringLiteral("status"), QStringLiteral("final_url"), QStringLiteral("ms"),
                QStringLiteral("backlink"), QStringLiteral("page_nofollow"), QStringLiteral("outbound"),
                QStringLiteral("tls_error")};
    }

    void clear(ResultRow &row) const override
    {
        row.cells[Column::fanlian] = Cell{};
        fill(row, RowFacts{});
    }

    void run(const RowContext &row, std::function<void(const ProbeResult &)> done) override
    {
        m_setting.pool.fetch(&m_setting.client, row.worker, row.link, m_setting.site,
                             [this, row, done = std::move(done)](const FetchResult &page) mutable {
                                 read(row, page, std::move(done));
                             });
    }

private:
    // What reading the page found; the read is the slow part, done on the pool's read lane.
    struct PageRead {
        RowFacts facts;
        BackLinkJudgement judged;
    };

    void read(const RowContext &row, const FetchResult &page, std::function<void(const ProbeResult &)> done)
    {
        const CheckMode &mode = m_setting.mode; // lives as long as the check, whose end drops the read
        std::function<PageRead(const FetchResult &)> work = [&mode, link = row.link](const FetchResult &copy) {
            PageRead read{pageFacts(copy, link), mode.judgeBackLink(copy, link)};
            read.facts.backlink = read.judged.anchor;
            read.facts.backlinkVerdict = read.judged.verdict;
            return read;
        };
        // The page goes on to the jump links only when nothing on it links back.
        auto kept = mode.modern() ? std::make_shared<const FetchResult>(page) : nullptr;
        m_setting.pool.readLane().readPage<PageRead>(
            &m_setting.client, page, std::move(work),
            [this, row = row.row, kept = std::move(kept), done = std::move(done)](PageRead &&read) {
                if (read.judged.modernRead)
                    m_setting.modernReads->keep(row, read.judged.modernRead);
                ProbeResult probed;
                probed.change = [cell = read.judged.cell, facts = read.facts](ResultRow &changed) {
                    changed.cells[Column::fanlian] = cell;
                    fill(changed, facts);
                };
                if (read.judged.verdict == BackLinkVerdict::NoLink)
                    probed.page = kept;
                done(probed);
            });
    }

    // The page's fields of facts, and no other.
    static void fill(ResultRow &row, const RowFacts &facts)
    {
        row.facts.status = facts.status;
        row.facts.finalUrl = facts.finalUrl;
        row.facts.ms = facts.ms;
        row.facts.tlsError = facts.tlsError;
        row.facts.pageNofollow = facts.pageNofollow;
        row.facts.outbound = facts.outbound;
        row.facts.backlink = facts.backlink;
        row.facts.backlinkVerdict = facts.backlinkVerdict;
    }

    ProbeSetting m_setting;
};

// One Baidu "site:" query for the friend: its index count, snapshot and rank.
// The pool's query policy asks each address once and stops at Baidu's block.
// With a Baidu max age, an answer recorded within it is used instead of the
// query (nothing is sent), each new answer is kept, and when Baidu blocks the
// row takes the newest answer kept of any age.
class BaiduRowProbe final : public RowProbe {
public:
    BaiduRowProbe(ProbeSetting setting, QString host) : m_setting(std::move(setting)), m_host(std::move(host)) {}

    QString name() const override { return QStringLiteral("baidu"); }
    QString fetches() const override { return QStringLiteral("Baidu's site: answer for the friend"); }
    QStringList fills() const override
    {
        return {QStringLiteral("shoulu"), QStringLiteral("kuaizhao"), QStringLiteral("rp"), QStringLiteral("baidu")};
    }

    void clear(ResultRow &row) const override
    {
        for (const Column column : {Column::shoulu, Column::kuaizhao, Column::rp})
            row.cells[column] = Cell{};
        row.facts.baidu.reset();
    }

    void run(const RowContext &row, std::function<void(const ProbeResult &)> done) override
    {
        const QString query = m_setting.mode.baiduQuery(m_host, row.link);
        if (const std::optional<BaiduAnswer> kept = answers().fresh(query, m_setting.mode.modern())) {
            done(probed(*kept));
            return;
        }
        m_setting.pool.baiduQueries().ask(&m_setting.client, row.worker, query, m_setting.site,
                                          [this, query, link = row.link, done = std::move(done)](const FetchResult *answer) {
                                              done(answered(query, link, answer));
                                          });
    }

private:
    BaiduAnswers &answers() const { return m_setting.pool.baiduAnswers(); }

    // answer is null when no query was sent because Baidu blocks us.
    ProbeResult answered(const QString &query, const QString &link, const FetchResult *answer) const
    {
        const std::optional<BaiduResult> result = answer ? m_setting.mode.parseBaidu(answer->text, link) : std::nullopt;
        // A count the cell cannot show (modern) is not a read answer: the state says why.
        const bool counted = result && !result->count.isEmpty();
        BaiduFacts facts;
        facts.state = BaiduState::Blocked;
        if (answer)
            facts = baiduFacts(*answer, counted);
        const BaiduCells cells = m_setting.mode.baiduCells(result, facts.state);
        facts.pages = rowIndexPages(facts.count, cells.shoulu.text);
        facts.rank = cells.rank;
        const bool modern = m_setting.mode.modern();
        const BaiduAnswer now{cells.shoulu, cells.kuaizhao, cells.rp, facts};
        ProbeResult found = probed(now);
        if (facts.state != BaiduState::Blocked) {
            answers().keep(query, modern, now);
        } else if (const std::optional<BaiduAnswer> earlier = answers().newest(query, modern)) {
            found = probed(*earlier); // better the last answer Baidu gave than none
            found.keptEarlierAnswer = true;
        }
        found.searchBlocked = facts.state == BaiduState::Blocked;
        found.searchTlsError = answer ? answer->tlsError : QString();
        return found;
    }

    // The row's Baidu fields from one answer.
    static ProbeResult probed(const BaiduAnswer &answer)
    {
        ProbeResult probed;
        probed.change = [answer](ResultRow &changed) {
            changed.cells[Column::shoulu] = answer.shoulu;
            changed.cells[Column::kuaizhao] = answer.kuaizhao;
            changed.cells[Column::rp] = answer.rp;
            changed.facts.baidu = answer.facts;
        };
        return probed;
    }

    ProbeSetting m_setting;
    QString m_host;
};

} // namespace

RowProbes rowProbes(WorkerPool &pool, WorkerPool::Client &client, const CheckMode &mode, const QString &site,
                    const QString &baiduHost, bool spiderCheck)
{
    const ProbeSetting setting{pool, client, mode, site, std::make_shared<ModernPageReads>()};
    RowProbes probes;
    probes.push_back(std::make_unique<PageProbe>(setting));
    if (mode.modern()) {
        // Right after the page probe, which hands it the page.
        probes.push_back(std::make_unique<JumpProbe>(pool, client, site));
        probes.push_back(pageExtrasProbe(pool, client, site, setting.modernReads));
    }
    probes.push_back(std::make_unique<BaiduRowProbe>(setting, baiduHost));
    probes.push_back(std::make_unique<RobotsProbe>(pool, client, mode.modern(), site));
    if (mode.modern() || spiderCheck)
        probes.push_back(std::make_unique<SpiderViewProbe>(pool, client, mode, site));
    return probes;
}

} // namespace friendlinks
