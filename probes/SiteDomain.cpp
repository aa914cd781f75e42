#include "probes/SiteDomain.h"

#include <QHostAddress>
#include <QUrl>

#include <libpsl.h>

namespace friendlinks {
namespace {

// The newest list at hand: the system's (Debian's publicsuffix package) when
// it is newer than the one built into libpsl, else the built-in one.
const psl_ctx_t *suffixList()
{
    static const psl_ctx_t *const list = [] {
        const psl_ctx_t *latest = psl_latest(nullptr);
        return latest ? latest : psl_builtin();
    }();
    return list;
}

} // namespace

QString registrableDomain(const QString &host)
{
    QString bare = host.trimmed().toLower();
    if (bare.startsWith(QLatin1Char('[')) && bare.endsWith(QLatin1Char(']')))
        bare = bare.mid(1, bare.size() - 2);
    while (bare.endsWith(QLatin1Char('.')))
        bare.chop(1); // "car.com." is car.com
    if (bare.isEmpty())
        return {};
    if (!QHostAddress(bare).isNull())
        return bare; // an IP address is a site of its own
    const QByteArray ace = QUrl::toAce(bare, QUrl::AceTransitionalProcessing);
    if (ace.isEmpty())
        return {};
    const QByteArray lower = ace.toLower();
    const char *domain = psl_registrable_domain(suffixList(), lower.constData());
    return QString::fromLatin1(domain ? QByteArray(domain) : lower);
}

} // namespace friendlinks
