#include "cli/CheckCommand.h"

#include "check/CheckMode.h"
#include "check/OutputFormats.h"
#include "web/FetchResult.h"

#include <QFile>
#include <QSslCertificate>
#include <QUrl>

#include <optional>

namespace friendlinks {
namespace {

constexpr int kMaxJobs = 64;
constexpr int kMaxTimeoutMs = 10 * 60 * 1000;

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

// The options that take a value; the window takes only the first ones.
bool takesValue(const QString &option, bool check)
{
    static const QStringList kWindowOptions = {QStringLiteral("--proxy"), QStringLiteral("--baidu-host"),
                                               QStringLiteral("--ca-file")};
    static const QStringList kCheckOptions = {QStringLiteral("--format"), QStringLiteral("--jobs"),
                                              QStringLiteral("--timeout-ms")};
    return kWindowOptions.contains(option) || (check && kCheckOptions.contains(option));
}

} // namespace

QString usageText()
{
    return QStringLiteral(
        "usage: friendlinks [--modern] [--proxy URL] [--baidu-host HOST] [--ca-file PEM] [--insecure]\n"
        "       friendlinks check SITE [--format table|tsv|json] [--modern] [--proxy URL] [--baidu-host HOST]\n"
        "                              [--jobs N] [--timeout-ms N] [--ca-file PEM] [--insecure]\n"
        "       friendlinks --help | --version\n"
        "\n"
        "With no command, opens the window. `check` lists the friend links of SITE and probes\n"
        "each one: link back, Baidu index count, snapshot and site: rank.\n"
        "  --format F        table (default), tsv or json\n"
        "  --modern          today's web: https friend links too, a link back by its host in\n"
        "                    either scheme, the charset a page declares, today's Baidu page\n"
        "  --proxy URL       an HTTP proxy for every request, e.g. http://127.0.0.1:8080\n"
        "  --baidu-host HOST the Baidu search host (default www.baidu.com)\n"
        "  --jobs N          sites probed at once, 1 to 64 (default 8)\n"
        "  --timeout-ms N    time limit of each fetch in milliseconds (default 5000)\n"
        "  --ca-file PEM     certificate authorities to trust besides the system's (may repeat)\n"
        "  --insecure        read https pages whose certificate cannot be trusted; the trouble\n"
        "                    is still reported (without it such a page counts as not answered)\n"
        "Exit status: 0 done, 2 usage error, 3 the site cannot be fetched.\n");
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
            if (haveSite)
                return fail(QStringLiteral("only one SITE may be given"));
            parsed.options.site = option;
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
        } else if (check && option == QLatin1String("--format")) {
            if (value == QLatin1String("table"))
                parsed.options.format = OutputFormat::Table;
            else if (value == QLatin1String("tsv"))
                parsed.options.format = OutputFormat::Tsv;
            else if (value == QLatin1String("json"))
                parsed.options.format = OutputFormat::Json;
            else
                return fail(QStringLiteral("--format must be table, tsv or json, not \"%1\"").arg(value));
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
    return parsed;
}

CheckCommand::CheckCommand(CheckOptions options, QIODevice *out, QIODevice *err,
                           bool outIsTerminal, bool errIsTerminal, QObject *parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_out(out)
    , m_err(err)
    , m_outIsTerminal(outIsTerminal)
    , m_errIsTerminal(errIsTerminal)
    , m_engine(m_options.settings)
{
    connect(&m_engine, &CheckEngine::siteUnreachable, this, [this] { m_unreachable = true; });
    connect(&m_engine, &CheckEngine::progress, this, [this](int done, int total) {
        if (m_errIsTerminal)
            m_err->write(QStringLiteral("\r已检查 %1/%2").arg(done).arg(total).toUtf8());
    });
    connect(&m_engine, &CheckEngine::finished, this, [this] {
        if (m_errIsTerminal)
            m_err->write("\r\x1b[K");
        const QString tlsError = m_engine.siteTlsError();
        if (m_unreachable) {
            m_err->write(kUnreachableMessage.toUtf8() + '\n');
            if (!tlsError.isEmpty())
                m_err->write(QStringLiteral("证书不可信：%1（可用 --ca-file 加入证书颁发机构，或用 --insecure 照样读取）\n")
                                 .arg(tlsError).toUtf8());
            emit finished(kExitUnreachable);
            return;
        }
        if (!tlsError.isEmpty())
            m_err->write(QStringLiteral("注意：证书不可信：%1，已按 --insecure 照样读取\n").arg(tlsError).toUtf8());
        writeResult();
        if (const int unlisted = m_engine.unlistedHttpsLinks(); unlisted > 0)
            m_err->write(unlistedHttpsHint(unlisted).toUtf8() + '\n');
        if (const QString baidu = m_engine.baiduTlsError(); !baidu.isEmpty())
            m_err->write(baiduTlsNote(baidu, m_options.settings.insecure).toUtf8() + '\n');
        emit finished(kExitOk);
    });
}

void CheckCommand::start()
{
    m_unreachable = false;
    m_engine.start(m_options.site);
}

void CheckCommand::writeResult()
{
    switch (m_options.format) {
    case OutputFormat::Json:
        m_out->write(formatJson(m_options.site, m_engine.rows(), m_options.settings.modern ? kModernModeName : kClassicModeName));
        break;
    case OutputFormat::Tsv:
        m_out->write(formatTsv(m_engine.rows()));
        break;
    case OutputFormat::Table:
        m_out->write(formatTable(m_engine.rows(), m_outIsTerminal, m_engine.elapsedMs()));
        break;
    }
}

} // namespace friendlinks
