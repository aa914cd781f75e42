#include "cli/CheckCommand.h"

#include "cli/BoundedRead.h"
#include "check/BatchFormats.h"
#include "check/CsvFormat.h"
#include "check/CheckMode.h"
#include "check/OutputFormats.h"
#include "web/FetchResult.h"

#include <QFile>
#include <QSslCertificate>
#include <QTimer>
#include <QUrl>

#include <optional>

namespace friendlinks {
namespace {

constexpr int kMaxJobs = 64;
constexpr int kMaxTimeoutMs = 10 * 60 * 1000;
constexpr int kMaxBaiduIntervalMs = 10 * 60 * 1000;

std::optional<QNetworkProxy> parseProxy(const QString &text)
{
    QUrl url(text.contains(QLatin1String("://")) ? text : QStringLiteral("http://") + text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || url.scheme().compare(QLatin1String("http"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    return QNetworkProxy(QNetworkProxy::HttpProxy, url.host(), quint16(url.port(8080)), url.userName(), url.password());
}

std::optional<int> parseNumber(const QString &text, int low, int high)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

// The certificates of a PEM file, or an error text.
std::optional<QList<QSslCertificate>> readAuthorities(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("--ca-file cannot read \"%1\"").arg(path);
        return std::nullopt;
    }
    const QList<QSslCertificate> certificates = QSslCertificate::fromData(file.readAll(), QSsl::Pem);
    if (certificates.isEmpty()) {
        *error = QStringLiteral("--ca-file \"%1\" holds no PEM certificate").arg(path);
        return std::nullopt;
    }
    return certificates;
}

// The sites listed in a file, "-" being standard input, or an error text.
std::optional<QStringList> readSitesFile(const QString &path, QString *error)
{
    QFile file;
    const bool opened = path == QLatin1String("-") ? file.open(stdin, QIODevice::ReadOnly)
                                                    : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened) {
        *error = QStringLiteral("--sites cannot read \"%1\"").arg(path);
        return std::nullopt;
    }
    const std::optional<QByteArray> text = readAtMost(file, kMaxSitesFileBytes);
    if (!text) {
        *error = QStringLiteral("--sites \"%1\" is larger than %2 MB").arg(path).arg(kMaxSitesFileBytes / (1024 * 1024));
        return std::nullopt;
    }
    return parseSitesList(QString::fromUtf8(*text));
}

// The options that take a value; the window takes only the first ones.
bool takesValue(const QString &option, bool check)
{
    static const QStringList kWindowOptions = {QStringLiteral("--proxy"), QStringLiteral("--baidu-host"),
                                               QStringLiteral("--ca-file"), QStringLiteral("--baidu-interval-ms")};
    static const QStringList kCheckOptions = {QStringLiteral("--format"), QStringLiteral("--jobs"),
                                              QStringLiteral("--timeout-ms"), QStringLiteral("--sites")};
    return kWindowOptions.contains(option) || (check && kCheckOptions.contains(option));
}

} // namespace

QString usageText()
{
    return QStringLiteral(
        "usage: friendlinks [--modern] [--proxy URL] [--baidu-host HOST] [--ca-file PEM] [--insecure]\n"
        "                   [--baidu-interval-ms N]\n"
        "       friendlinks check SITE... [--sites FILE] [--format table|tsv|csv|json|jsonl] [--modern]\n"
        "                              [--proxy URL] [--baidu-host HOST] [--jobs N] [--timeout-ms N]\n"
        "                              [--ca-file PEM] [--insecure] [--baidu-interval-ms N] [--facts]\n"
        "       friendlinks --help | --version\n"
        "\n"
        "With no command, opens the window. `check` lists the friend links of SITE and probes\n"
        "each one: link back, Baidu index count, snapshot and site: rank. Several sites share\n"
        "the workers and the per-host limit (Baidu's too).\n"
        "  --sites FILE      more sites, one a line (\"-\" reads standard input; blank lines\n"
        "                    and lines starting with # are skipped)\n"
        "  --format F        table (default), tsv, csv (for spreadsheets: UTF-8 with BOM, CR LF),\n"
        "                    json, or jsonl (one site object a line, as each site finishes);\n"
        "                    with several sites json is {\"sites\": [...]} and tsv, csv and\n"
        "                    table start with a column 站点\n"
        "  --modern          today's web: https friend links too, a link back by its host in\n"
        "                    either scheme, the charset a page declares, today's Baidu page\n"
        "  --proxy URL       an HTTP proxy for every request, e.g. http://127.0.0.1:8080\n"
        "  --baidu-host HOST the Baidu search host (default www.baidu.com)\n"
        "  --jobs N          sites probed at once, 1 to 64 (default 8)\n"
        "  --timeout-ms N    time limit of each fetch in milliseconds (default 5000)\n"
        "  --ca-file PEM     certificate authorities to trust besides the system's (may repeat)\n"
        "  --insecure        read https pages whose certificate cannot be trusted; the trouble\n"
        "                    is still reported (without it such a page counts as not answered)\n"
        "  --baidu-interval-ms N  at least N ms between the starts of two Baidu queries, across\n"
        "                    all sites of a run (default 0)\n"
        "  --facts           tsv, csv and table: add the fact columns HTTP状态, 最终地址, 用时ms,\n"
        "                    反链nofollow, 页面nofollow, 对方外链数, 百度状态, 百度收录(新);\n"
        "                    json rows always carry them as \"facts\"\n"
        "  --jobs and --timeout-ms apply to the whole batch.\n"
        "Once Baidu asks for a security check, no further Baidu query is sent; stderr says so.\n"
        "Exit status: 0 done, 2 usage error, 3 a site cannot be fetched (each one named on stderr;\n"
        "the other sites are still checked and written).\n"
        "\n"
        "       friendlinks diff OLD.json NEW.json [--format table|json]\n"
        "compares two saved json outputs and lists what changed per site, regressions first.\n"
        "Exit status: 0 nothing got worse, 1 something did, 2 usage error or unreadable file.\n");
}

ParsedArguments parseArguments(const QStringList &arguments)
{
    ParsedArguments parsed;
    const auto fail = [&parsed](const QString &error) {
        parsed.action = ParsedArguments::Action::UsageError;
        parsed.error = error;
        return parsed;
    };

    qsizetype i = 0;
    if (!arguments.isEmpty() && arguments.first() == QLatin1String("check")) {
        parsed.action = ParsedArguments::Action::Check;
        i = 1;
    }
    const bool check = parsed.action == ParsedArguments::Action::Check;
    bool haveSite = false;

    for (; i < arguments.size(); ++i) {
        QString option = arguments[i];
        if (option == QLatin1String("--help") || option == QLatin1String("-h")) {
            parsed.action = ParsedArguments::Action::Help;
            return parsed;
        }
        if (option == QLatin1String("--version")) {
            parsed.action = ParsedArguments::Action::Version;
            return parsed;
        }
        if (!option.startsWith(QLatin1String("--"))) {
            if (!check)
                return fail(QStringLiteral("unknown command \"%1\"").arg(option));
            parsed.options.sites << option;
            haveSite = true;
            continue;
        }
        if (option == QLatin1String("--insecure")) {
            parsed.options.settings.insecure = true;
            continue;
        }
        if (option == QLatin1String("--modern")) {
            parsed.options.settings.modern = true;
            continue;
        }
        if (check && option == QLatin1String("--facts")) {
            parsed.options.facts = true;
            continue;
        }
        QString value;
        const qsizetype eq = option.indexOf(QLatin1Char('='));
        if (const QString name = eq > 0 ? option.left(eq) : option; !takesValue(name, check))
            return fail(QStringLiteral("unknown option %1").arg(name));
        if (eq > 0) {
            value = option.mid(eq + 1);
            option.truncate(eq);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            return fail(QStringLiteral("%1 needs a value").arg(option));
        }

        if (option == QLatin1String("--proxy")) {
            const auto proxy = parseProxy(value);
            if (!proxy)
                return fail(QStringLiteral("--proxy needs an http://HOST:PORT address, not \"%1\"").arg(value));
            parsed.options.settings.proxy = *proxy;
        } else if (option == QLatin1String("--baidu-host")) {
            if (value.isEmpty() || value.contains(QLatin1Char('/')) || value.contains(QLatin1Char(' ')))
                return fail(QStringLiteral("--baidu-host needs a host name, not \"%1\"").arg(value));
            parsed.options.settings.baiduHost = value;
        } else if (option == QLatin1String("--ca-file")) {
            QString error;
            const auto authorities = readAuthorities(value, &error);
            if (!authorities)
                return fail(error);
            parsed.options.settings.authorities += *authorities;
        } else if (option == QLatin1String("--baidu-interval-ms")) {
            const auto interval = parseNumber(value, 0, kMaxBaiduIntervalMs);
            if (!interval)
                return fail(QStringLiteral("--baidu-interval-ms must be a number from 0 to %1").arg(kMaxBaiduIntervalMs));
            parsed.options.settings.baiduIntervalMs = *interval;
        } else if (check && option == QLatin1String("--format")) {
            if (value == QLatin1String("table"))
                parsed.options.format = OutputFormat::Table;
            else if (value == QLatin1String("tsv"))
                parsed.options.format = OutputFormat::Tsv;
            else if (value == QLatin1String("json"))
                parsed.options.format = OutputFormat::Json;
            else if (value == QLatin1String("jsonl"))
                parsed.options.format = OutputFormat::Jsonl;
            else if (value == QLatin1String("csv"))
                parsed.options.format = OutputFormat::Csv;
            else
                return fail(QStringLiteral("--format must be table, tsv, csv, json or jsonl, not \"%1\"").arg(value));
        } else if (check && option == QLatin1String("--sites")) {
            QString error;
            const auto sites = readSitesFile(value, &error);
            if (!sites)
                return fail(error);
            parsed.options.sites << *sites;
            haveSite = true;
        } else if (check && option == QLatin1String("--jobs")) {
            const auto jobs = parseNumber(value, 1, kMaxJobs);
            if (!jobs)
                return fail(QStringLiteral("--jobs must be a number from 1 to %1").arg(kMaxJobs));
            parsed.options.settings.jobs = *jobs;
        } else if (check && option == QLatin1String("--timeout-ms")) {
            const auto timeout = parseNumber(value, 1, kMaxTimeoutMs);
            if (!timeout)
                return fail(QStringLiteral("--timeout-ms must be a number from 1 to %1").arg(kMaxTimeoutMs));
            parsed.options.settings.timeoutMs = *timeout;
        } else {
            return fail(QStringLiteral("unknown option %1").arg(option));
        }
    }
    if (check && !haveSite)
        return fail(QStringLiteral("check needs a SITE"));
    if (check && parsed.options.sites.isEmpty())
        return fail(QStringLiteral("--sites lists no site"));
    parsed.options.site = parsed.options.sites.value(0);
    return parsed;
}

QStringList parseSitesList(const QString &text)
{
    QStringList sites;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString site = line.trimmed();
        if (!site.isEmpty() && !site.startsWith(QLatin1Char('#')))
            sites << site;
    }
    return sites;
}

CheckCommand::CheckCommand(CheckOptions options, QIODevice *out, QIODevice *err,
                           bool outIsTerminal, bool errIsTerminal, QObject *parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_out(out)
    , m_err(err)
    , m_outIsTerminal(outIsTerminal)
    , m_errIsTerminal(errIsTerminal)
{
    if (m_options.sites.isEmpty())
        m_options.sites << m_options.site;
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
        m_err->write(kBaiduBlockedMessage.toUtf8() + '\n');
        // The other sites ask Baidu no more either: their shared pool holds the block.
    });
    m_engines[site] = std::move(engine);
}

void CheckCommand::start()
{
    m_unreachable.assign(m_engines.size(), false);
    m_siteDone.assign(m_engines.size(), false);
    m_toldBaiduBlocked = false;
    m_progress.assign(m_engines.size(), {0, 0});
    m_finished = 0;
    m_launched = 0;
    m_written = 0;
    m_baiduTlsError.clear();
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
        m_out->write(text);
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

void CheckCommand::siteFinished(size_t site)
{
    const CheckEngine &engine = *m_engines[site];
    const bool several = m_engines.size() > 1;
    const QString tlsError = engine.siteTlsError();
    const QString named = several ? QStringLiteral("%1：").arg(engine.site()) : QString();
    if (m_errIsTerminal)
        m_err->write("\r\x1b[K");
    if (m_unreachable[site]) {
        m_err->write((several ? QStringLiteral("%1：%2\n").arg(kUnreachableMessage, engine.site())
                              : kUnreachableMessage + QLatin1Char('\n')).toUtf8());
        if (!tlsError.isEmpty())
            m_err->write(QStringLiteral("%1证书不可信：%2（可用 --ca-file 加入证书颁发机构，或用 --insecure 照样读取）\n")
                             .arg(named, tlsError).toUtf8());
    } else {
        if (!tlsError.isEmpty())
            m_err->write(QStringLiteral("%1注意：证书不可信：%2，已按 --insecure 照样读取\n").arg(named, tlsError).toUtf8());
        if (const int unlisted = engine.unlistedHttpsLinks(); unlisted > 0)
            m_err->write((named + unlistedHttpsHint(unlisted)).toUtf8() + '\n');
        if (const int unchecked = engine.uncheckedLinks(); unchecked > 0)
            m_err->write(QStringLiteral("%1只检查了前 %2 个友情链接，其余 %3 个未检查\n")
                             .arg(named).arg(kMaxRowsPerSite).arg(unchecked).toUtf8());
    }
    if (m_options.format == OutputFormat::Jsonl)
        m_out->write(jsonLine(siteJson(site)));
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
    const bool anyUnreachable = std::find(m_unreachable.begin(), m_unreachable.end(), true) != m_unreachable.end();
    // One site that cannot be fetched writes nothing, as it always has.
    if (several || !anyUnreachable)
        writeResult();
    // Baidu is one host for the whole batch: its certificate trouble is named once.
    QString baidu = m_baiduTlsError;
    for (const auto &checked : m_engines)
        if (checked && baidu.isEmpty())
            baidu = checked->baiduTlsError();
    if (!baidu.isEmpty())
        m_err->write(baiduTlsNote(baidu, m_options.settings.insecure).toUtf8() + '\n');
    emit finished(anyUnreachable ? kExitUnreachable : kExitOk);
}

QByteArray CheckCommand::siteJson(size_t site) const
{
    const CheckEngine &engine = *m_engines[site];
    const QString mode = m_options.settings.modern ? kModernModeName : kClassicModeName;
    // The site as checked: the text given, less the white space around it.
    if (m_unreachable[site])
        return unreachableSiteJson(engine.site(), mode);
    return formatJson(engine.site(), engine.rows(), mode, &engine.facts());
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
            m_out->write(joinJsonSites(objects));
        } else {
            m_out->write(siteJson(0));
        }
        break;
    case OutputFormat::Jsonl:
        break; // written site by site
    case OutputFormat::Tsv:
        m_out->write(several ? withSiteColumnTsv(formatTsv(rows, factColumns), siteOfRow) : formatTsv(rows, factColumns));
        break;
    case OutputFormat::Csv:
        m_out->write(formatCsv(rows, several ? siteOfRow : QStringList(), factColumns));
        break;
    case OutputFormat::Table:
        const QByteArray table = formatTable(rows, m_outIsTerminal, elapsedMs, factColumns);
        m_out->write(several ? withSiteColumnTable(table, siteOfRow) : table);
        break;
    }
}

} // namespace friendlinks
