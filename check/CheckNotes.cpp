#include "check/CheckNotes.h"

#include "check/CheckEngine.h"
#include "check/Messages.h"
#include "check/FailureWords.h"
#include "web/PageFetcher.h"

namespace friendlinks {

QList<CheckNote> checkNotes(const SiteResult &result)
{
    using Kind = CheckNote::Kind;
    using Severity = CheckNote::Severity;
    const SiteOutcome &outcome = result.outcome;
    const QString &tlsError = outcome.home.tlsError;
    QList<CheckNote> notes;
    if (!outcome.reachable) {
        const QString cause = homePageTrouble(outcome.home);
        notes << CheckNote{Kind::Unreachable, Severity::Error,
                           cause.isEmpty() ? kUnreachableMessage : QStringLiteral("%1：%2").arg(kUnreachableMessage, cause),
                           cause};
        if (!tlsError.isEmpty())
            notes << CheckNote{Kind::SiteCertificate, Severity::Error, untrustedCertificateNote(tlsError), {}};
    } else {
        if (outcome.home.status >= 400)
            notes << CheckNote{Kind::HomeError, Severity::Warning, homePageTrouble(outcome.home), {}};
        if (!tlsError.isEmpty())
            notes << CheckNote{Kind::SiteCertificate, Severity::Warning, insecureReadNote(tlsError), {}};
        if (outcome.home.failure == FetchResult::Failure::TooLarge)
            notes << CheckNote{Kind::PageCut, Severity::Warning, pageCutNote(kMaxBodyBytes), {}};
        if (const QString skipped = outcome.modern ? QString() : classicSkipNote(outcome.skipped); !skipped.isEmpty())
            notes << CheckNote{Kind::SkippedLinks, Severity::Info, skipped, {}};
        if (outcome.uncheckedLinks > 0)
            notes << CheckNote{Kind::RowsBeyondLimit, Severity::Warning,
                               rowsBeyondLimitNote(kMaxRowsPerSite, outcome.uncheckedLinks), {}};
    }
    if (outcome.baiduBlocked)
        notes << CheckNote{Kind::BaiduBlocked, Severity::Warning,
                           outcome.baiduFallback
                               ? baiduBlockedNote(outcome.baiduFallback->kept, outcome.baiduFallback->empty)
                               : kBaiduBlockedMessage,
                           {}};
    if (!outcome.baiduTlsError.isEmpty())
        notes << CheckNote{Kind::BaiduCertificate, Severity::Warning,
                           baiduTlsNote(outcome.baiduTlsError, result.settings.insecure), {}};
    notes << CheckNote{Kind::Mode, Severity::Info, modeName(outcome.modern), {}};
    return notes;
}

bool isRunWide(CheckNote::Kind kind)
{
    return kind == CheckNote::Kind::BaiduBlocked || kind == CheckNote::Kind::BaiduCertificate;
}

} // namespace friendlinks
