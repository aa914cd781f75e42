#include "cli/CheckCommand.h"

#include "check/BatchFormats.h"
#include "check/CsvFormat.h"
#include "check/CheckMode.h"
#include "check/OutputFormats.h"
#include "check/TextEscape.h"
#include "cli/SiteText.h"
#include "web/FetchFailure.h"
#include "web/FetchResult.h"

#include <QTimer>

#include <algorithm>

namespace friendlinks {
namespace {

// What the window's note says beside the address box.
const QString kUpperCaseNote = QStringLiteral("注意：查询字母不能大写");

bool homeAnsweredError(const FetchResult &home)
{
    return home.status >= 400;
}

} // namespace

bool colourWanted(bool outIsTerminal, bool noColorSet, const QString &term)
{
    return outIsTerminal && !noColorSet && term != QLatin1String("dumb");
}

CheckCommand::CheckCommand(CheckOptions options, QIODevice *out, QIODevice *err,
                           bool colour, bool errIsTerminal, QObject *parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_out(out)
    , m_err(err)
    , m_colour(colour)
    , m_errIsTerminal(errIsTerminal)
{
    if (m_options.sites.isEmpty())
        m_options.sites << m_options.site;
    // Host names know no letter case; the classic check takes the text as typed.
    if (m_options.settings.modern)
        std::transform(m_options.sites.begin(), m_options.sites.end(), m_options.sites.begin(), withLowerCaseHost);
    m_engines.resize(size_t(m_options.sites.size()));
}

void CheckCommand::makeEngine(size_t site)
{
    auto engine = std::make_unique<CheckEngine>(m_options.settings);
    connect(engine.get(), &CheckEngine::siteUnreachable, this, [this, site] { m_unreachable[site] = true; });
    connect(engine.get(), &CheckEngine::progress, this, [this, site](int done, int total) {
        m_progress[site] = {done, total};
        if (!m_errIsTerminal)
            return;
        int allDone = 0;
        int all = 0;
        for (const auto &[siteDone, siteTotal] : m_progress) {
            allDone += siteDone;
            all += siteTotal;
        }
        m_err->write(QStringLiteral("\r已检查 %1/%2").arg(allDone).arg(all).toUtf8());
    });
    connect(engine.get(), &CheckEngine::finished, this, [this, site] { siteFinished(site); });
    connect(engine.get(), &CheckEngine::baiduBlocked, this, [this] {
        if (m_toldBaiduBlocked)
            return; // Baidu is one host for the whole batch: said once
        m_toldBaiduBlocked = true;
        if (m_errIsTerminal)
            m_err->write("\r\x1b[K");
        writeErr(kBaiduBlockedMessage);
        // The other sites ask Baidu no more either: their shared pool holds the block.
    });
    m_engines[site] = std::move(engine);
}

void CheckCommand::start()
{
    m_unreachable.assign(m_engines.size(), false);
    m_toldBaiduBlocked = false;
    m_progress.assign(m_engines.size(), {0, 0});
    m_finished = 0;
    m_failed.assign(m_engines.size(), false);
    m_siteDone.assign(m_engines.size(), false);
    m_outError.clear();
    m_launched = 0;
    m_written = 0;
    m_baiduTlsError.clear();
    if (!m_options.settings.modern && std::any_of(m_options.sites.begin(), m_options.sites.end(), hasUpperCaseHost))
        writeErr(kUpperCaseNote);
    // One pool for the batch: the sites share its workers and its per-host limit.
    m_pool = std::make_shared<WorkerPool>(m_options.settings);
    // Enough sites ahead that no worker waits for one; the rest wait as text only.
    const size_t ahead = size_t(std::max(2, 2 * m_options.settings.jobs));
    while (m_launched < std::min(ahead, m_engines.size()))
        launchNext();
}
void CheckCommand::launchNext()
{
    if (m_launched >= m_engines.size())
        return;
    const size_t site = m_launched++;
    makeEngine(site);
    m_engines[site]->start(m_options.sites[qsizetype(site)], m_pool);
}

bool CheckCommand::streams() const
{
    return m_engines.size() > 1
        && (m_options.format == OutputFormat::Jsonl || m_options.format == OutputFormat::Tsv
            || m_options.format == OutputFormat::Csv);
}

void CheckCommand::writeStreamed()
{
    while (m_written < m_engines.size() && m_siteDone[m_written]) {
        const size_t site = m_written++;
        const CheckEngine &engine = *m_engines[site];
        const QStringList siteOfRow(engine.rows().size(), engine.site());
        const QList<RowFacts> *facts = m_options.facts ? &engine.facts() : nullptr;
        QByteArray text = m_options.format == OutputFormat::Tsv
            ? withSiteColumnTsv(formatTsv(engine.rows(), facts), siteOfRow)
            : formatCsv(engine.rows(), siteOfRow, facts);
        // One header for the batch: the first site's.
        if (site > 0) {
            if (text.startsWith("\xEF\xBB\xBF"))
                text.remove(0, 3);
            text.remove(0, text.indexOf('\n') + 1);
        }
        writeOut(text);
        letGo(site);
    }
}

void CheckCommand::letGo(size_t site)
{
    if (m_baiduTlsError.isEmpty())
        m_baiduTlsError = m_engines[site]->baiduTlsError();
    // Not inside its own signal: it goes once control is back (or with this command).
    QTimer::singleShot(0, this, [retired = std::shared_ptr<CheckEngine>(std::move(m_engines[site]))] {});
}


void CheckCommand::writeOut(const QByteArray &data)
{
    if (!m_outError.isEmpty())
        return; // the rest would be a torn piece
    if (m_out->write(data) != data.size())
        m_outError = m_out->errorString().isEmpty() ? QStringLiteral("write failed") : m_out->errorString();
}

void CheckCommand::writeErr(const QString &line)
{
    m_err->write(line.toUtf8() + '\n');
}

// The site's lines on stderr: why it cannot be checked, or the notes of its check.
void CheckCommand::reportSite(size_t site)
{
    const CheckEngine &engine = *m_engines[site];
    const QString shown = escapeForDisplay(engine.site());
    const QString named = m_engines.size() > 1 ? shown + QStringLiteral("：") : QString();
    const QString tlsError = escapeForDisplay(engine.siteTlsError());
    if (m_unreachable[site]) {
        const QString cause = homePageTrouble(engine.home());
        writeErr(QStringLiteral("%1：%2").arg(kUnreachableMessage, shown)
                 + (cause.isEmpty() ? QString() : QStringLiteral("（%1）").arg(cause)));
        if (!tlsError.isEmpty())
            writeErr(QStringLiteral("%1证书不可信：%2（可用 --ca-file 加入证书颁发机构，或用 --insecure 照样读取）").arg(named, tlsError));
        return;
    }
    if (homeAnsweredError(engine.home()))
        writeErr(QStringLiteral("%1: %2").arg(shown, homePageTrouble(engine.home())));
    if (!tlsError.isEmpty())
        writeErr(QStringLiteral("%1注意：证书不可信：%2，已按 --insecure 照样读取").arg(named, tlsError));
    if (const int unlisted = engine.unlistedHttpsLinks(); unlisted > 0)
        writeErr(named + unlistedHttpsHint(unlisted));
    if (const int unchecked = engine.uncheckedLinks(); unchecked > 0)
        writeErr(QStringLiteral("%1只检查了前 %2 个友情链接，其余 %3 个未检查").arg(named).arg(kMaxRowsPerSite).arg(unchecked));
}

void CheckCommand::siteFinished(size_t site)
{
    if (m_errIsTerminal)
        m_err->write("\r\x1b[K");
    reportSite(site);
    m_failed[site] = m_unreachable[site] || homeAnsweredError(m_engines[site]->home());
    if (m_options.format == OutputFormat::Jsonl)
        writeOut(jsonLine(siteJson(site)));
    m_siteDone[site] = true;
    if (streams()) {
        if (m_options.format == OutputFormat::Jsonl)
            letGo(site);
        else
            writeStreamed();
    }
    if (++m_finished < m_engines.size()) {
        launchNext();
        return;
    }
    // One site that cannot be fetched writes nothing, as it always has.
    if (m_engines.size() > 1 || !m_unreachable.front())
        writeResult();
    // Baidu is one host for the whole batch: its certificate trouble is named once.
    QString baidu = m_baiduTlsError;
    for (const auto &checked : m_engines)
        if (checked && baidu.isEmpty())
            baidu = checked->baiduTlsError();
    if (!baidu.isEmpty())
        writeErr(escapeForDisplay(baiduTlsNote(baidu, m_options.settings.insecure)));
    if (!m_outError.isEmpty())
        writeErr(QStringLiteral("friendlinks: 无法写出结果：%1").arg(escapeForDisplay(m_outError)));
    emit finished(exitStatus());
}

int CheckCommand::exitStatus() const
{
    if (!m_outError.isEmpty())
        return kExitOutputFailed;
    if (std::find(m_failed.begin(), m_failed.end(), true) != m_failed.end())
        return kExitUnreachable;
    return kExitOk;
}

QByteArray CheckCommand::siteJson(size_t site) const
{
    const CheckEngine &engine = *m_engines[site];
    const QString mode = m_options.settings.modern ? kModernModeName : kClassicModeName;
    // The site as checked: the text given, less the white space around it.
    if (m_unreachable[site])
        return unreachableSiteJson(engine.site(), mode, &engine.home());
    return formatJson(engine.site(), engine.rows(), mode, &engine.facts(), &engine.home());
}

void CheckCommand::writeResult()
{
    if (streams())
        return; // written site by site
    const bool several = m_engines.size() > 1;
    QList<CheckRow> rows;
    QList<RowFacts> facts;
    QStringList siteOfRow;
    for (size_t site = 0; site < m_engines.size(); ++site) {
        for (const CheckRow &row : m_engines[site]->rows()) {
            rows << row;
            siteOfRow << m_engines[site]->site();
        }
        facts << m_engines[site]->facts();
    }
    const QList<RowFacts> *factColumns = m_options.facts ? &facts : nullptr;
    const qint64 elapsedMs = m_engines.front()->elapsedMs();
    switch (m_options.format) {
    case OutputFormat::Json:
        if (several) {
            QList<QByteArray> objects;
            for (size_t site = 0; site < m_engines.size(); ++site)
                objects << siteJson(site);
            writeOut(joinJsonSites(objects));
        } else {
            writeOut(siteJson(0));
        }
        break;
    case OutputFormat::Jsonl:
        break; // written site by site
    case OutputFormat::Tsv:
        writeOut(several ? withSiteColumnTsv(formatTsv(rows, factColumns), siteOfRow) : formatTsv(rows, factColumns));
        break;
    case OutputFormat::Csv:
        writeOut(formatCsv(rows, several ? siteOfRow : QStringList(), factColumns));
        break;
    case OutputFormat::Table:
        const QByteArray table = formatTable(rows, m_colour, elapsedMs, factColumns);
        writeOut(several ? withSiteColumnTable(table, siteOfRow) : table);
        break;
    }
}

} // namespace friendlinks
