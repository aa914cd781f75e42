#pragma once

#include "probes/CharacterReferences.h"

#include <QLatin1StringView>
#include <QList>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

namespace friendlinks {

// One attribute of a start tag. The name is lower case; rawValue is the value
// as written (quotes removed), value the same with character references decoded.
struct HtmlAttribute {
    QString name;
    QString rawValue;
    QString value;
};

// A start tag as a browser reads it: lower-case name, attributes in order;
// a repeated attribute name keeps its first value, as browsers do.
struct HtmlStartTag {
    QString name;
    QList<HtmlAttribute> attributes;

    // The attribute of that (lower-case) name, or nullptr.
    [[nodiscard]] const HtmlAttribute *attribute(QLatin1StringView attributeName) const;
};

// Walks the start tags of an HTML text the way a browser's tokenizer does, so
// that markup which is not markup does not count: comments, doctypes, end
// tags and processing instructions are passed over; the bodies of script,
// style, title, textarea, xmp, iframe, noembed and noframes are text up to
// their end tag (plaintext runs to the end); quoted attribute values may hold
// ">"; a tag cut off by the end of the text is no tag. Only tags named in
// `wanted` (lower case) are built and handed to visit, which keeps a walk over
// a large page cheap.
void forEachStartTag(QStringView html, const QList<QLatin1StringView> &wanted,
                     const std::function<void(const HtmlStartTag &)> &visit);

// One token of an HTML text as a browser's tokenizer sees it.
struct HtmlToken {
    enum class Kind { StartTag, EndTag, Text, RawText };
    Kind kind = Kind::Text;
    HtmlStartTag tag; // StartTag: name and attributes; EndTag and RawText: the name only
    QStringView text; // Text: as written, references not decoded; RawText: the body as written
    bool selfClosing = false; // StartTag: it ended in "/>"
    bool inTemplate = false;  // inside a <template>: no part of the page as shown
    bool foreign = false;     // an element of svg or math (an <a> there is no HTML link), or text in one
};

// Walks every token of html, with the same reading as forEachStartTag:
// comments, doctypes and processing instructions give nothing, nor do the
// bodies of the raw-text elements (their start and end tags do come).
// Adjacent text may come as more than one Text token. Start tags named in
// withAttributes (lower case; "*" names all) carry their attributes, others their name only.
// Inside svg and math there are no raw-text bodies and CDATA sections are text;
// a script body ends where a browser ends it ("<!--<script>" keeps it open).
// The bodies of the raw-text elements named in rawBodiesOf (lower case) come
// whole as one RawText token between their start and end tags (none when empty).
void forEachToken(QStringView html, const QList<QLatin1StringView> &withAttributes,
                  const std::function<void(const HtmlToken &)> &visit,
                  const QList<QLatin1StringView> &rawBodiesOf = {});

// The first start tag of html (any name), or nothing when it holds none.
[[nodiscard]] std::optional<HtmlStartTag> firstStartTag(QStringView html);

} // namespace friendlinks
