#pragma once

#include "probes/PageAnchors.h"
#include "probes/StyleRules.h"
#include "probes/StyleSelectors.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace friendlinks {

// Of a page's links back, at most this many are kept to be judged with its
// style rules: the first, then only ones that pass everything but the rules.
inline constexpr qsizetype kMaxBackLinkCandidates = 16;
// The same-site files a page loads that modern mode reads, at most.
inline constexpr qsizetype kMaxPageStyleSheets = 2;
inline constexpr qsizetype kMaxPageScripts = 4;
inline constexpr qsizetype kMaxPageFrames = 2;

// The checked site's host as today's back-link rule compares it: the entered
// site with or without "http://" or "https://", lower case, without port,
// path and a leading "www.". Empty when the text names no host.
[[nodiscard]] QString comparableSiteHost(const QString &enteredSite);

// A link back and the elements around it, from the root, itself last.
struct BackLinkCandidate {
    PageAnchor anchor;
    QList<StyledElement> chain;
};

// One source of a page's style rules, in document order: a <style> element's text or a sheet to fetch.
struct StyleSource {
    QString text;    // a <style> element's text
    QString address; // or a same-site <link rel=stylesheet>'s address
};

// What a page loads from its own site (its registrable domain) that can
// carry or hide a link: style sheets (at most 2, among its <style> texts,
// those kept to kStyleSheetMaxChars in all), scripts (at most 4) and frame
// pages (at most 2), absolute addresses in page order.
struct PageResources {
    QList<StyleSource> styles;
    QStringList scripts;
    QStringList frames;
    QString inlineScriptLink; // the first link back in the page's own script text (scriptLinkTo)
};

// What modern mode reads of a friend's page about the link back.
struct ModernBackLinkScan {
    std::optional<PageAnchor> anchor; // the anchor that decides; none when no link leads back
    bool passes = false;              // it is followed and shown, and the page lets engines follow it
    // The deciding anchor is hidden by its ancestors or a style rule (its own
    // hidden attribute or display:none shows in anchor->hidden instead).
    std::optional<HiddenBy> hiddenBy;
    qsizetype links = 0;     // the page's links, all of them
    qsizetype backLinks = 0; // those that lead back
    QList<BackLinkCandidate> candidates; // to judge again with more rules (judgeBackLinks)
    PageResources resources;
};

// The links of page (read from pageAddress) that lead to siteHost in either
// scheme: "https://MySite.com/x" leads back to "mysite.com", "https://notmysite.com/"
// and "https://blog.mysite.com/" do not. Read as a stream: only the candidates
// are kept. The first that passes everything (follow, shown by the page's own
// <style> rules and ancestors) decides, else the first at all. pageNofollow:
// the page's robots meta or header says nofollow.
[[nodiscard]] ModernBackLinkScan scanModernBackLinks(QStringView page, const QString &pageAddress,
                                                     const QString &siteHost, bool pageNofollow);

// Decides scan's anchor, passes and hiddenBy again from its candidates with rules.
void judgeBackLinks(ModernBackLinkScan &scan, const StyleRules &rules, bool pageNofollow);

} // namespace friendlinks
