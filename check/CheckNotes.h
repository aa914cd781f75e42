#pragma once

#include "check/SiteResult.h"

#include <QList>
#include <QString>

namespace friendlinks {

// What a check has to tell the user beyond its cells, computed once from its
// result; the window and the command line both show this list, each adding
// only its own words (the window's menu, the command line's options, the site's name).
struct CheckNote {
    enum class Kind {
        Unreachable,      // the site's own page could not be fetched: no rows
        SiteCertificate,  // its certificate cannot be trusted (so not read, or read as --insecure asked)
        HomeError,        // its page answered with an HTTP error status
        PageCut,          // its page passed the size cap and was read only so far
        SkippedLinks,     // a classic check passed over friend links a modern one lists
        RowsBeyondLimit,  // friend links past the row limit were not checked
        BaiduBlocked,     // Baidu asked for a security check: later rows not queried
        BaiduCertificate, // a Baidu answer came with a certificate that cannot be trusted
        Mode,             // the mode the rows were checked in
    };
    enum class Severity { Info, Warning, Error };

    Kind kind;
    Severity severity;
    QString text;  // the whole sentence; transport text in it raw (each output escapes it)
    QString cause; // Unreachable: why, in words ("连接被中断"); empty when no cause is known
    bool operator==(const CheckNote &) const = default;
};

// The notes of a check in the order they are told: why the site cannot be
// checked first, the mode last.
[[nodiscard]] QList<CheckNote> checkNotes(const SiteResult &result);

// Baidu is one host for a whole run (its block and its certificate are the
// machine's, not a site's): a run of several sites tells these once.
[[nodiscard]] bool isRunWide(CheckNote::Kind kind);

} // namespace friendlinks
