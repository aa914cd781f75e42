#pragma once

#include "check/CheckRules.h"
#include "probes/BackLinkProbe.h"
#include "web/FetchResult.h"

namespace friendlinks {

// The classic back-link report of a page that was read, with needle as the site's text.
inline QString backLinkReport(const QString &page, const QString &needle)
{
    FetchResult read;
    read.kind = FetchResult::Kind::Page;
    read.text = page;
    return backLinkReport(read, scanBackLinks(page, needle));
}

} // namespace friendlinks
