#include "cli/CheckCommand.h"

#include "check/BatchCheck.h"
#include "check/BatchFormats.h"
#include "check/CheckNotes.h"
#include "check/CsvFormat.h"
#include "check/ResultTable.h"
#include "check/JsonFormat.h"
#include "check/TableFormat.h"
#include "check/TsvFormat.h"
#include "check/TextEscape.h"
#include "check/HistoryChanges.h"
#include "check/SiteText.h"

#include <algorithm>

namespace friendlinks {
namespace {

// What the window's note says beside the address box.
const QString kUpperCaseNote = QStringLiteral("注意：查询字母不能大写");

// A classic check passed over friend links that a modern one lists: how to list them.
const QString kModernHint = QStringLiteral("，加 --modern 一并检查");

} // namespace

QString progressText(int sitesDone, int sites, int rowsDone, int rows)
{
    if (sites == 1)
        return QStringLiteral("\r已检查 %1/%2").arg(rowsDone).arg(rows);
    return QStringLiteral("\r站点 %1/%2，已检查 %3 行").arg(sitesDone).arg(sites).arg(rowsDone);
}

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
    const QString historyPath = m_options.history.given() ? m_options.history.file : defaultHistoryPath();
    if (!m_options.history.off)
        m_recorder = std::make_unique<HistoryRecorder>(historyPath, kVersion);
    if (m_recorder && m_options.changes != ChangesShown::None)
        m_changesStore = std::make_unique<HistoryStore>();
    // Baidu's answers are kept beside the checks; without a history, for the run only.
    if (m_options.settings.baiduMaxAgeMs > 0 && !m_options.history.off)
        m_options.settings.baiduAnswerHistory = historyPath;
    m_batch = new BatchCheck(m_options.settings, m_options.sites, this);
    connect(m_batch, &BatchCheck::progress, this, [this](int sitesDone, int sites, int rowsDone, int rows) {
        if (m_errIsTerminal)
            m_err->write(progressText(sitesDone, sites, rowsDone, rows).toUtf8());
    });
    connect(m_batch, &BatchCheck::siteFinished, this, &CheckCommand::siteFinished);
    connect(m_batch, &BatchCheck::finished, this, &CheckCommand::batchFinished);
    // Said as it happens, once for the batch (Baidu is one host for all its sites);
    // the sites' own notes of it are then not said again.
    connect(m_batch, &BatchCheck::baiduBlocked, this, [this] {
        if (m_options.settings.baiduMaxAgeMs > 0) {
            m_baiduFallback.emplace(); // said at the end, with the rows it left
            return;
        }
        if (m_errIsTerminal)
            m_err->write("\r\x1b[K");
        writeErr(kBaiduBlockedMessage);
    });
}

void CheckCommand::start()
{
    m_outError.clear();
    m_written = 0;
    m_cannotCheck = false;
    m_unreachable = 0;
    m_baiduNote.clear();
    m_baiduFallback.reset();
    m_changes = QList<std::optional<SiteChangesOf>>(m_batch->siteCount());
    m_changesFailure.clear();
    m_worse = false;
    if (m_changesStore && !m_changesStore->isOpen() && !m_changesStore->open(m_recorder->path())) {
        m_changesFailure = m_changesStore->lastError().reason;
        writeErr(QStringLiteral("friendlinks: 无法比较变化：%1").arg(m_changesFailure));
    }
    if (!changesOnly() && !m_options.settings.modern && std::any_of(m_options.sites.begin(), m_options.sites.end(), hasUpperCaseHost))
        writeErr(kUpperCaseNote);
    // Opened before the check, so that a history that cannot record is said at once.
    if (m_recorder && !m_recorder->open())
        sayHistoryFailure();
    m_batch->start();
}

bool CheckCommand::streams() const
{
    return m_batch->siteCount() > 1
        && (m_options.format == OutputFormat::Jsonl || m_options.format == OutputFormat::Tsv
            || m_options.format == OutputFormat::Csv);
}

void CheckCommand::writeStreamed()
{
    const QList<FactColumn> facts = m_options.facts ? allFactColumns() : QList<FactColumn>();
    while (m_written < m_batch->siteCount() && m_batch->isFinished(m_written)) {
        const int site = m_written++;
        ResultTable table = batchTable({m_batch->results(site)}, facts);
        table.header = site == 0; // one header for the batch: the first site's
        writeOut(m_options.format == OutputFormat::Tsv ? formatTsv(table) : formatCsv(table));
        m_batch->release(site);
    }
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
    m_err->write(escapeForDisplay(line).toUtf8() + '\n');
}

void CheckCommand::sayHistoryFailure()
{
    if (m_historySaid)
        return;
    m_historySaid = true;
    if (m_errIsTerminal)
        m_err->write("\r\x1b[K");
    writeErr(QStringLiteral("friendlinks: 无法记录历史：%1").arg(m_recorder->failure().reason));
}

// The site's lines on stderr, from the notes of its check: why it cannot be
// checked, or what its check has to say. In a batch each line names its site.
void CheckCommand::reportSite(const SiteResult &result)
{
    using Kind = CheckNote::Kind;
    const QString &site = result.outcome.site;
    const QString named = m_batch->siteCount() > 1 ? site + QStringLiteral("：") : QString();
    for (const CheckNote &note : checkNotes(result)) {
        switch (note.kind) {
        case Kind::Unreachable:
            writeErr(QStringLiteral("%1：%2").arg(kUnreachableMessage, site)
                     + (note.cause.isEmpty() ? QString() : QStringLiteral("（%1）").arg(note.cause)));
            break;
        case Kind::HomeError:
            writeErr(QStringLiteral("%1: %2").arg(site, note.text));
            break;
        case Kind::SkippedLinks:
            writeErr(named + note.text + kModernHint);
            break;
        case Kind::SiteCertificate:
        case Kind::PageCut:
        case Kind::RowsBeyondLimit:
            writeErr(named + note.text);
            break;
        case Kind::BaiduCertificate:
            if (m_baiduNote.isEmpty())
                m_baiduNote = note.text; // named once, at the end
            break;
        case Kind::BaiduBlocked: // said as it happened
        case Kind::Mode:         // the output names it
            break;
        }
    }
}

// The site's changes since its previous recorded check, read before this check is recorded.
void CheckCommand::compare(int site, const SiteResult &result)
{
    if (!m_changesStore || !m_changesFailure.isEmpty())
        return;
    auto changes = siteChanges(*m_changesStore, result);
    if (const QString *problem = std::get_if<QString>(&changes)) {
        m_changesFailure = *problem;
        if (m_errIsTerminal)
            m_err->write("\r\x1b[K");
        writeErr(QStringLiteral("friendlinks: 无法比较变化：%1").arg(m_changesFailure));
        return;
    }
    m_changes[site] = SiteChangesOf{result.outcome.site, std::get<SiteChanges>(std::move(changes))};
    m_worse = m_worse || m_changes[site]->changes.worse() > 0;
}

QByteArray CheckCommand::siteJson(int site)
{
    const QByteArray object = formatJson(*m_batch->results(site));
    return m_changes.value(site) ? withChangesJson(object, m_changes[site]->changes) : object;
}

void CheckCommand::siteFinished(int site, const SiteResult &result)
{
    if (m_errIsTerminal)
        m_err->write("\r\x1b[K");
    m_cannotCheck = m_cannotCheck || result.cannotCheck();
    m_unreachable += !result.outcome.reachable;
    if (m_baiduFallback && result.outcome.baiduFallback) {
        m_baiduFallback->kept += result.outcome.baiduFallback->kept;
        m_baiduFallback->empty += result.outcome.baiduFallback->empty;
    }
    if (!changesOnly())
        reportSite(result);
    compare(site, result);
    if (m_recorder && !m_recorder->record(result))
        sayHistoryFailure();
    if (changesOnly()) {
        m_batch->release(site); // only its changes are written
        return;
    }
    if (m_options.format == OutputFormat::Jsonl)
        writeOut(jsonLine(siteJson(site)));
    if (streams()) {
        if (m_options.format == OutputFormat::Jsonl)
            m_batch->release(site);
        else
            writeStreamed();
    }
}

void CheckCommand::batchFinished()
{
    // One site that cannot be fetched writes nothing, as it always has.
    if (!changesOnly() && !streams() && (m_batch->siteCount() > 1 || m_unreachable == 0))
        writeResult();
    writeChanges();
    if (m_baiduFallback)
        writeErr(baiduBlockedNote(m_baiduFallback->kept, m_baiduFallback->empty));
    if (!m_baiduNote.isEmpty())
        writeErr(m_baiduNote);
    if (!m_outError.isEmpty())
        writeErr(QStringLiteral("friendlinks: 无法写出结果：%1").arg(m_outError));
    emit finished(exitStatus());
}

int CheckCommand::exitStatus() const
{
    if (!m_outError.isEmpty() || (m_historySaid && m_options.history.given()) || !m_changesFailure.isEmpty())
        return kExitOutputFailed;
    if (m_cannotCheck)
        return kExitUnreachable;
    return m_worse ? kExitWorse : kExitOk;
}

// After the output (json and jsonl carry them in their site objects): the
// changes of each site; with --changes-only, only those of the sites where
// something got worse, and nothing when nothing did.
void CheckCommand::writeChanges()
{
    if (m_options.changes == ChangesShown::None)
        return;
    QList<SiteChangesOf> sites;
    for (const std::optional<SiteChangesOf> &site : m_changes)
        if (site && (!changesOnly() || site->changes.worse() > 0))
            sites << *site;
    const bool json = m_options.format == OutputFormat::Json || m_options.format == OutputFormat::Jsonl;
    if (!changesOnly()) {
        if (json || sites.isEmpty())
            return;
        const bool written = m_batch->siteCount() > 1 || m_unreachable == 0;
        const QByteArray gap = !written ? "" : m_options.format == OutputFormat::Csv ? "\r\n" : "\n";
        switch (m_options.format) {
        case OutputFormat::Tsv: writeOut(gap + changesTsv(sites)); break;
        case OutputFormat::Csv: writeOut(gap + changesCsv(sites, false)); break;
        default: writeOut(gap + changesTableText(sites)); break;
        }
        return;
    }
    if (sites.isEmpty())
        return; // nothing got worse: nothing to say, nothing for cron to mail
    switch (m_options.format) {
    case OutputFormat::Json:
        if (m_batch->siteCount() > 1) {
            QList<QByteArray> objects;
            for (const SiteChangesOf &site : sites)
                objects << changesOnlyJson(site);
            writeOut(joinJsonSites(objects));
        } else {
            writeOut(changesOnlyJson(sites.front()));
        }
        break;
    case OutputFormat::Jsonl:
        for (const SiteChangesOf &site : sites)
            writeOut(jsonLine(changesOnlyJson(site)));
        break;
    case OutputFormat::Tsv: writeOut(changesTsv(sites)); break;
    case OutputFormat::Csv: writeOut(changesCsv(sites)); break;
    case OutputFormat::Table: writeOut(changesTableText(sites)); break;
    }
}

void CheckCommand::writeResult()
{
    const bool several = m_batch->siteCount() > 1;
    const QList<const ResultsModel *> results = m_batch->allResults();
    const QList<FactColumn> facts = m_options.facts ? allFactColumns() : QList<FactColumn>();
    const ResultTable table = several ? batchTable(results, facts) : resultTable(*results.front(), facts);
    switch (m_options.format) {
    case OutputFormat::Json:
        if (several) {
            QList<QByteArray> objects;
            for (int site = 0; site < results.size(); ++site)
                objects << siteJson(site);
            writeOut(joinJsonSites(objects));
        } else {
            writeOut(siteJson(0));
        }
        break;
    case OutputFormat::Jsonl:
        break; // written site by site
    case OutputFormat::Tsv:
        writeOut(formatTsv(table));
        break;
    case OutputFormat::Csv:
        writeOut(formatCsv(table));
        break;
    case OutputFormat::Table:
        writeOut(formatTable(table, m_colour, m_batch->elapsedMs()));
        break;
    }
}

} // namespace friendlinks
