#pragma once

#include "check/CheckEngine.h"
#include "check/SiteResult.h"
#include "tests/common/FetchWait.h"

#include <QByteArray>
#include <QSignalSpy>
#include <QString>

#include <optional>

namespace friendlinks {

// One anchor of a test page, on a line of its own.
inline QByteArray anchor(const QString &href, const QString &content)
{
    return QStringLiteral("<a href=\"%1\">%2</a>\n").arg(href, content).toUtf8();
}

// Runs one check of site on engine to its end: its result, none when it did not end in time.
[[nodiscard]] inline std::optional<SiteResult> checkToEnd(CheckEngine &engine, const QString &site)
{
    QSignalSpy finished(&engine, &CheckEngine::siteFinished);
    engine.start(site);
    if (!finished.wait(kWaitMs))
        return std::nullopt;
    return finished.first().first().value<SiteResult>();
}

} // namespace friendlinks
