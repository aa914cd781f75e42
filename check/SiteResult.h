#pragma once

#include "check/Columns.h"
#include "check/RowFacts.h"
#include "check/SkippedLinks.h"
#include "web/FetchResult.h"

#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>

#include <optional>

namespace friendlinks {

struct CheckSettings;

// One result row: the six cells with their red flags, and the facts read beside them.
struct ResultRow {
    CheckRow cells;
    RowFacts facts;
    bool operator==(const ResultRow &) const = default;
};

// What a check found out about the checked site itself.
struct SiteOutcome {
    QString site;               // as checked: the text given, less the white space around it
    bool modern = false;        // the mode the check ran in
    bool reachable = true;      // false when the site's own page could not be fetched (no rows)
    FetchResult home;           // the fetch of the site's own page, without its text; status 0 before the harvest
    SkippedLinks skipped;       // the anchors of its page that gave no row, by reason
    int uncheckedLinks = 0;     // friend links beyond the row limit, not checked
    bool baiduBlocked = false;  // Baidu asked for a security check
    // With a Baidu max age, the rows that Baidu's block left with an earlier
    // check's answer (kept) and with none (empty); none without a max age.
    struct BaiduFallback {
        int kept = 0;
        int empty = 0;
    };
    std::optional<BaiduFallback> baiduFallback;
    QString baiduTlsError;      // certificate trouble of the first Baidu answer that had any
};

// The settings a check ran with that shape what it found, kept beside its result
// (a store of past checks tells a 5 s check from a 30 s one, a proxied one from a direct one).
struct CheckedWith {
    enum class Proxy {
        None,   // no proxy (--no-proxy)
        System, // the environment's and the system's settings, if they name one
        Given,  // one given by address (--proxy)
    };
    int timeoutMs = 0;
    bool insecure = false;
    Proxy proxy = Proxy::System;
    bool extraAuthorities = false; // certificate authorities trusted besides the system's (--ca-file)
    QString baiduHost;
    int baiduIntervalMs = 0;
    int jobs = 0;
    bool operator==(const CheckedWith &) const = default;
};

[[nodiscard]] CheckedWith checkedWith(const CheckSettings &settings);

// The whole result of one site's check, as the engine reports it when the
// check ends: what it found of the site, its rows in harvest order, when it ran
// (UTC) and with what. A re-check reports the whole list again with the rows
// it probed anew in rechecked.
struct SiteResult {
    SiteOutcome outcome;
    QList<ResultRow> rows;
    QDateTime startedAt;  // UTC
    QDateTime finishedAt; // UTC
    CheckedWith settings;
    QList<int> rechecked; // a re-check's rows, in order; empty for a whole check

    [[nodiscard]] bool modern() const { return outcome.modern; }
    // The site could not be fetched, or its home page answered with an HTTP error.
    [[nodiscard]] bool cannotCheck() const { return !outcome.reachable || outcome.home.status >= 400; }
};

} // namespace friendlinks

Q_DECLARE_METATYPE(friendlinks::SiteResult)
