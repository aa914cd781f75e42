#include "check/PageExtrasProbe.h"

#include "probes/ScriptLinks.h"
#include "probes/StyleRules.h"

namespace friendlinks {
namespace {

constexpr qint64 kStyleSheetMaxBytes = 256 * 1024;
constexpr qint64 kScriptMaxBytes = 512 * 1024;

bool readable(const FetchResult &file)
{
    return file.kind == FetchResult::Kind::Page && file.status < 400;
}

// The row's back-link fields as one judgement gives them.
ProbeResult judgedAs(const BackLinkJudgement &judged)
{
    ProbeResult probed;
    probed.change = [judged](ResultRow &changed) {
        changed.cells[Column::fanlian] = judged.cell;
        changed.facts.backlink = judged.anchor;
        changed.facts.backlinkVerdict = judged.verdict;
    };
    return probed;
}

ProbeResult unchanged()
{
    ProbeResult probed;
    probed.change = [](ResultRow &) {};
    return probed;
}

// A link back where no spider follows it: red, with where it was found.
BackLinkJudgement foundOutside(const QString &cell, BackLinkFacts facts, const QString &where)
{
    facts.where = where;
    return {{cell, true}, std::move(facts), BackLinkVerdict::PassesNothing};
}

// One row's reading of the files its page loads, one fetch at a time.
struct ExtrasTask {
    ModernPageRead read;
    RowContext row;
    std::function<void(const ProbeResult &)> done;
    QHash<QString, QString> sheets; // fetched style sheets by address
    qsizetype next = 0;             // the next file to fetch of the current kind
};

class PageExtrasProbe final : public RowProbe {
public:
    PageExtrasProbe(WorkerPool &pool, WorkerPool::Client &client, QString site, std::shared_ptr<ModernPageReads> reads)
        : m_pool(pool), m_client(client), m_site(std::move(site)), m_host(comparableSiteHost(m_site)),
          m_reads(std::move(reads))
    {
    }

    QString name() const override { return QStringLiteral("page_extras"); }
    QString fetches() const override
    {
        return QStringLiteral("the style sheets, scripts and frame pages the friend's page loads from its own site");
    }
    QStringList fills() const override { return {QStringLiteral("fanlian"), QStringLiteral("backlink")}; }

    void clear(ResultRow &row) const override
    {
        row.cells[Column::fanlian] = Cell{};
        row.facts.backlink.reset();
        row.facts.backlinkVerdict = BackLinkVerdict::Unknown;
    }

    void run(const RowContext &row, std::function<void(const ProbeResult &)> done) override
    {
        const std::shared_ptr<const ModernPageRead> read = m_reads->take(row.row);
        if (!read) {
            done(unchanged()); // classic, or a page not read
            return;
        }
        auto task = std::make_shared<ExtrasTask>(ExtrasTask{*read, row, std::move(done), {}, 0});
        const ModernBackLinkScan &scan = task->read.scan;
        if (!scan.candidates.isEmpty()) {
            fetchSheets(task);
        } else if (!scan.resources.inlineScriptLink.isEmpty()) {
            const QString &address = scan.resources.inlineScriptLink;
            task->done(judgedAs(foundOutside(kScriptLinkCell, {address, {}, true, address}, kWhereScript)));
        } else {
            fetchScripts(task);
        }
    }

private:
    using Task = std::shared_ptr<ExtrasTask>;

    void fetchSheets(const Task &task)
    {
        const QList<StyleSource> &styles = task->read.scan.resources.styles;
        while (task->next < styles.size() && styles[task->next].address.isEmpty())
            ++task->next;
        if (task->next >= styles.size()) {
            judgeWithSheets(task);
            return;
        }
        const QString address = styles[task->next++].address;
        m_pool.fetch(&m_client, task->row.worker, address, m_site, kStyleSheetMaxBytes,
                     [this, task, address](const FetchResult &sheet) {
                         if (readable(sheet))
                             task->sheets.insert(address, sheet.text.left(kStyleSheetMaxChars));
                         fetchSheets(task);
                     });
    }

    void judgeWithSheets(const Task &task)
    {
        if (task->sheets.isEmpty()) {
            task->done(unchanged()); // the page's own rules judged it already
            return;
        }
        StyleRules rules;
        for (const StyleSource &source : std::as_const(task->read.scan.resources.styles))
            rules.addStyleSheet(source.address.isEmpty() ? source.text : task->sheets.value(source.address));
        judgeBackLinks(task->read.scan, rules, task->read.pageNofollow);
        task->done(judgedAs(judgeModernScan(task->read.scan, task->read.tooLarge)));
    }

    void fetchScripts(const Task &task)
    {
        const QStringList &scripts = task->read.scan.resources.scripts;
        if (task->next >= scripts.size()) {
            task->next = 0;
            fetchFrames(task);
            return;
        }
        m_pool.fetch(&m_client, task->row.worker, scripts[task->next++], m_site, kScriptMaxBytes,
                     [this, task](const FetchResult &script) {
                         const QString found =
                             readable(script) ? scriptLinkTo(script.text, task->read.pageAddress, m_host) : QString();
                         if (found.isEmpty())
                             fetchScripts(task);
                         else
                             task->done(judgedAs(foundOutside(kScriptLinkCell, {found, {}, true, found}, kWhereScript)));
                     });
    }

    void fetchFrames(const Task &task)
    {
        const QStringList &frames = task->read.scan.resources.frames;
        if (task->next >= frames.size()) {
            task->done(unchanged()); // no link back anywhere: "没有链接" stands
            return;
        }
        const QString address = frames[task->next++];
        m_pool.fetch(&m_client, task->row.worker, address, m_site, [this, task, address](const FetchResult &frame) {
            if (!readable(frame)) {
                fetchFrames(task);
                return;
            }
            const QString from = frame.finalUrl.isEmpty() ? address : frame.finalUrl;
            const ModernBackLinkScan scan = scanModernBackLinks(frame.text, from, m_host, false);
            if (!scan.anchor) {
                fetchFrames(task);
                return;
            }
            const PageAnchor &anchor = *scan.anchor;
            task->done(judgedAs(foundOutside(kFrameLinkCell, {anchor.href, anchor.rel, anchor.follow, anchor.address},
                                             kWhereFrame)));
        });
    }

    WorkerPool &m_pool;
    WorkerPool::Client &m_client;
    QString m_site;
    QString m_host;
    std::shared_ptr<ModernPageReads> m_reads;
};

} // namespace

std::unique_ptr<RowProbe> pageExtrasProbe(WorkerPool &pool, WorkerPool::Client &client, const QString &site,
                                          std::shared_ptr<ModernPageReads> reads)
{
    return std::make_unique<PageExtrasProbe>(pool, client, site, std::move(reads));
}

} // namespace friendlinks
