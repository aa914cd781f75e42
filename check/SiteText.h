#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace friendlinks {

// What the command line and the window accept as a site to check, before any request.

// Why text cannot be a web address to check, or empty when it can: empty or
// blank, a control character in it, a leading "-", a scheme other than http
// and https, no host.
[[nodiscard]] QString siteProblem(const QString &text);

// Whether the host part of a site as typed holds a capital letter.
[[nodiscard]] bool hasUpperCaseHost(const QString &text);

// The site, trimmed, with its scheme and host in lower case, the rest as typed.
[[nodiscard]] QString withLowerCaseHost(const QString &text);

// The site a line of a site list names, or empty for a blank or comment
// line. A "#" starts a comment at the line's start or after a blank; "a.com/#x" keeps its "#".
[[nodiscard]] QString siteOfLine(const QString &line);

// A list of sites as `check --sites` reads it: one a line, blank lines and
// comments skipped, blanks around a site dropped; the first line that names
// no site that can be checked stops it (problem says why, problemLine counts from 1).
struct SiteList {
    QStringList sites;
    QString problem;
    int problemLine = 0;
};
[[nodiscard]] SiteList readSiteList(const QString &text);

// Why the bytes of a --sites file are not text (a NUL byte, not UTF-8 after
// an optional byte-order mark), naming the first bad line; empty when they are.
[[nodiscard]] QString sitesFileProblem(const QByteArray &bytes);

} // namespace friendlinks
