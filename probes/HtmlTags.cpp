#include "probes/HtmlTags.h"

#include <QStringList>

#include <array>

namespace friendlinks {
namespace {

bool isSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\n' || u == '\r' || u == '\f';
}

bool isAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

// Elements whose body is text up to their own end tag.
bool isRawTextElement(QStringView name)
{
    static const std::array<QLatin1StringView, 8> kRawText = {
        QLatin1StringView("script"), QLatin1StringView("style"),   QLatin1StringView("title"),
        QLatin1StringView("textarea"), QLatin1StringView("xmp"),   QLatin1StringView("iframe"),
        QLatin1StringView("noembed"), QLatin1StringView("noframes"),
    };
    for (const QLatin1StringView raw : kRawText) {
        if (name.compare(raw, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool isWantedName(QStringView name, const QList<QLatin1StringView> &wanted)
{
    for (const QLatin1StringView w : wanted) {
        if (name.compare(w, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Reads tags from an HTML text, one at a time, from left to right.
class TagReader {
public:
    explicit TagReader(QStringView html) : m_html(html) {}

    enum class Step { StartTag, EndTag, Text, RawText, End };

    // The raw-text elements whose bodies next() gives as RawText (name() then names the element).
    void giveBodiesOf(const QList<QLatin1StringView> *elements) { m_bodiesOf = elements; }

    // Moves to the next token: a start tag (its name in name(), its
    // attributes read next by readAttributes()), an end tag (name() too, its
    // attributes already passed over), a run of text (in text()), or the end.
    // Comments, doctypes and the bodies of raw-text elements are passed over.
    Step next()
    {
        while (true) {
            if (!m_rawEnd.isEmpty()) {
                const qsizetype bodyStart = m_at;
                const bool give = m_bodiesOf && isWantedName(m_rawEnd, *m_bodiesOf);
                skipRawText();
                if (give && m_at > bodyStart) {
                    m_text = m_html.sliced(bodyStart, m_at - bodyStart);
                    return Step::RawText;
                }
            }
            if (m_at >= m_html.size())
                return Step::End;
            const qsizetype lt = m_html.indexOf(u'<', m_at);
            if (lt != m_at) {
                const qsizetype end = lt < 0 ? m_html.size() : lt;
                m_text = m_html.sliced(m_at, end - m_at);
                m_at = end;
                return Step::Text;
            }
            if (lt + 1 >= m_html.size()) {
                m_text = m_html.sliced(lt);
                m_at = m_html.size();
                return Step::Text;
            }
            m_at = lt + 1;
            const QChar next = m_html[m_at];
            if (next == u'!') {
                skipMarkupDeclaration();
            } else if (next == u'/') {
                if (skipEndTag())
                    return Step::EndTag;
            } else if (next == u'?') {
                skipPast(u'>');
            } else if (isAsciiLetter(next)) {
                readName();
                return Step::StartTag;
            } else {
                m_text = m_html.sliced(lt, 1); // anything else after "<" is text
                return Step::Text;
            }
        }
    }

    // Moves to the next start tag and returns true with its name in name();
    // false at the end of the text.
    bool nextStartTag()
    {
        while (true) {
            const Step step = next();
            if (step == Step::StartTag)
                return true;
            if (step == Step::End)
                return false;
        }
    }

    [[nodiscard]] QStringView text() const { return m_text; }

    [[nodiscard]] QStringView name() const { return m_html.sliced(m_nameStart, m_nameEnd - m_nameStart); }

    // Reads the attributes of the tag just found (into tag when given) up to
    // its ">". False when the text ends first: the tag does not count.
    bool readAttributes(HtmlStartTag *tag)
    {
        m_selfClosing = false;
        while (true) {
            while (m_at < m_html.size() && (isSpace(m_html[m_at]) || m_html[m_at] == u'/'))
                m_selfClosing = m_html[m_at++] == u'/';
            if (m_at >= m_html.size())
                return false;
            if (m_html[m_at] == u'>') {
                ++m_at;
                if (m_foreign)
                    return true; // inside svg or math a <style> or <script> holds tags
                if (isRawTextElement(name()))
                    m_rawEnd = name().toString();
                else if (name().compare(QLatin1StringView("plaintext"), Qt::CaseInsensitive) == 0)
                    m_at = m_html.size();
                return true;
            }
            const qsizetype nameStart = m_at;
            ++m_at; // a first "=" belongs to the name
            while (m_at < m_html.size() && !isSpace(m_html[m_at]) && m_html[m_at] != u'/' && m_html[m_at] != u'>'
                   && m_html[m_at] != u'=')
                ++m_at;
            const QStringView attributeName = m_html.sliced(nameStart, m_at - nameStart);
            QStringView value;
            qsizetype after = m_at;
            while (after < m_html.size() && isSpace(m_html[after]))
                ++after;
            if (after < m_html.size() && m_html[after] == u'=') {
                m_at = after + 1;
                while (m_at < m_html.size() && isSpace(m_html[m_at]))
                    ++m_at;
                if (m_at >= m_html.size())
                    return false;
                const QChar quote = m_html[m_at];
                if (quote == u'"' || quote == u'\'') {
                    const qsizetype close = m_html.indexOf(quote, m_at + 1);
                    if (close < 0)
                        return false;
                    value = m_html.sliced(m_at + 1, close - m_at - 1);
                    m_at = close + 1;
                } else {
                    const qsizetype start = m_at;
                    while (m_at < m_html.size() && !isSpace(m_html[m_at]) && m_html[m_at] != u'>')
                        ++m_at;
                    value = m_html.sliced(start, m_at - start);
                }
            }
            if (tag)
                addAttribute(*tag, attributeName, value);
            m_selfClosing = false;
        }
    }

    // Whether the tag just read ended in "/>".
    [[nodiscard]] bool selfClosing() const { return m_selfClosing; }

    // Inside svg or math: no raw-text bodies, and <![CDATA[ ... ]]> is text.
    void setForeign(bool foreign) { m_foreign = foreign; }

private:
    static void addAttribute(HtmlStartTag &tag, QStringView name, QStringView value)
    {
        const QString lower = name.toString().toLower();
        for (const HtmlAttribute &existing : tag.attributes) {
            if (existing.name == lower)
                return;
        }
        tag.attributes.append({lower, value.toString(), decodeCharacterReferences(value)});
    }

    void skipPast(QChar c)
    {
        const qsizetype at = m_html.indexOf(c, m_at);
        m_at = at < 0 ? m_html.size() : at + 1;
    }

    // At "!": a comment "<!-- ... -->" (also "<!-->" and "--!>" endings), else up to ">".
    void skipMarkupDeclaration()
    {
        if (m_foreign && m_html.sliced(m_at).startsWith(QLatin1StringView("![CDATA["))) {
            const qsizetype end = m_html.indexOf(QLatin1StringView("]]>"), m_at);
            m_at = end < 0 ? m_html.size() : end + 3;
            return;
        }
        if (!m_html.sliced(m_at).startsWith(QLatin1StringView("!--"))) {
            skipPast(u'>');
            return;
        }
        qsizetype at = m_at + 3;
        if (at < m_html.size() && m_html[at] == u'>') {
            m_at = at + 1;
            return;
        }
        if (m_html.sliced(at).startsWith(QLatin1StringView("->"))) {
            m_at = at + 2;
            return;
        }
        while (true) {
            const qsizetype dashes = m_html.indexOf(QLatin1StringView("--"), at);
            if (dashes < 0) {
                m_at = m_html.size();
                return;
            }
            const QStringView rest = m_html.sliced(dashes + 2);
            if (rest.startsWith(u'>')) {
                m_at = dashes + 3;
                return;
            }
            if (rest.startsWith(QLatin1StringView("!>"))) {
                m_at = dashes + 4;
                return;
            }
            at = dashes + 1;
        }
    }

    void readName()
    {
        m_nameStart = m_at;
        while (m_at < m_html.size() && !isSpace(m_html[m_at]) && m_html[m_at] != u'/' && m_html[m_at] != u'>')
            ++m_at;
        m_nameEnd = m_at;
    }

    // At "/": an end tag reads its attributes like a start tag (true, its name
    // in name()); "</" + other is a bogus comment (false).
    bool skipEndTag()
    {
        ++m_at;
        if (m_at < m_html.size() && isAsciiLetter(m_html[m_at])) {
            readName();
            const qsizetype nameStart = m_nameStart;
            const qsizetype nameEnd = m_nameEnd;
            m_nameStart = m_nameEnd = m_at; // no name while reading: an end tag never opens raw text
            const bool complete = readAttributes(nullptr);
            m_nameStart = nameStart;
            m_nameEnd = nameEnd;
            if (!complete) {
                m_at = m_html.size();
                return false;
            }
            return true;
        }
        skipPast(u'>');
        return false;
    }

    // Skips the body of a raw-text element up to "</name" followed by a blank, "/" or ">".
    // True when m_html[at] starts "name" (any case) followed by a blank, "/", ">" or the end.
    [[nodiscard]] bool tagNameAt(qsizetype at, QLatin1StringView name) const
    {
        if (!m_html.sliced(at).startsWith(name, Qt::CaseInsensitive))
            return false;
        const qsizetype after = at + name.size();
        return after >= m_html.size() || isSpace(m_html[after]) || m_html[after] == u'/' || m_html[after] == u'>';
    }

    // Skips a script body as browsers do: "<!--" starts an escaped run in which
    // "<script" starts a doubly escaped one; there "</script" only returns to
    // the escaped run, and "-->" ends either run. Elsewhere "</script" ends the body.
    void skipScriptData()
    {
        enum class State { Data, Escaped, DoubleEscaped } state = State::Data;
        qsizetype at = m_at;
        while (at < m_html.size()) {
            const QChar c = m_html[at];
            if (c == u'<' && state != State::DoubleEscaped && tagNameAt(at + 1, QLatin1StringView("/script"))) {
                m_at = at;
                return;
            }
            if (c == u'<' && state == State::Data && m_html.sliced(at).startsWith(QLatin1StringView("<!--"))) {
                state = State::Escaped;
                at += 2; // its dashes may be those of "-->" too: "<!-->" is closed at once
                continue;
            }
            if (c == u'<' && state == State::Escaped && tagNameAt(at + 1, QLatin1StringView("script"))) {
                state = State::DoubleEscaped;
            } else if (c == u'<' && state == State::DoubleEscaped && tagNameAt(at + 1, QLatin1StringView("/script"))) {
                state = State::Escaped;
            } else if (c == u'-' && state != State::Data && m_html.sliced(at).startsWith(QLatin1StringView("-->"))) {
                state = State::Data;
                at += 3;
                continue;
            }
            ++at;
        }
        m_at = m_html.size();
    }

    void skipRawText()
    {
        if (m_rawEnd.compare(QLatin1StringView("script"), Qt::CaseInsensitive) == 0) {
            m_rawEnd.clear();
            skipScriptData();
            return;
        }
        const QString closing = QStringLiteral("</") + m_rawEnd;
        m_rawEnd.clear();
        qsizetype at = m_at;
        while (true) {
            const qsizetype found = m_html.indexOf(closing, at, Qt::CaseInsensitive);
            if (found < 0) {
                m_at = m_html.size();
                return;
            }
            const qsizetype after = found + closing.size();
            if (after >= m_html.size() || isSpace(m_html[after]) || m_html[after] == u'/' || m_html[after] == u'>') {
                m_at = found;
                return;
            }
            at = after;
        }
    }

    QStringView m_html;
    qsizetype m_at = 0;
    qsizetype m_nameStart = 0;
    qsizetype m_nameEnd = 0;
    QString m_rawEnd; // the raw-text element whose body comes next
    const QList<QLatin1StringView> *m_bodiesOf = nullptr;
    bool m_selfClosing = false;
    bool m_foreign = false;
    QStringView m_text;
};

// "*" in wanted names every tag.
bool isWanted(QStringView name, const QList<QLatin1StringView> &wanted)
{
    return isWantedName(name, wanted) || wanted.contains(QLatin1StringView("*"));
}

// Where a browser's tree builder puts each token: inside a <template> (not
// part of the page), or inside svg or math (foreign content, whose <a> is no
// HTML link). Only the cases that decide those two are followed.
class PageScope {
public:
    // True when content is foreign now (not inside an HTML integration point).
    [[nodiscard]] bool foreign() const { return !m_foreign.isEmpty() && !isIntegrationPoint(m_foreign.last()); }

    // Whether a start tag of that name is read as foreign content.
    [[nodiscard]] bool foreignStart(const QString &name) const { return foreign() && !breaksOut(name); }

    // Marks token and follows the elements it opens or closes.
    void place(HtmlToken &token)
    {
        const QString &name = token.tag.name;
        if (token.kind == HtmlToken::Kind::StartTag)
            placeStart(token, name);
        else if (token.kind == HtmlToken::Kind::EndTag)
            placeEnd(token, name);
        else
            token.foreign = foreign();
        token.inTemplate = m_templates > 0;
    }

private:
    static constexpr qsizetype kMaxDepth = 512; // deeper nesting is no page's; kept bounded

    void placeStart(HtmlToken &token, const QString &name)
    {
        if (foreign() && breaksOut(name))
            m_foreign.clear(); // <p>, <div>, <img> ... inside svg end it, as browsers read it
        if (!foreign() && name == QLatin1String("template") && !token.selfClosing)
            ++m_templates;
        const bool opensForeign = name == QLatin1String("svg") || name == QLatin1String("math");
        token.foreign = foreign() || opensForeign;
        if (token.foreign && !token.selfClosing && m_foreign.size() < kMaxDepth)
            m_foreign << name;
    }

    void placeEnd(HtmlToken &token, const QString &name)
    {
        const qsizetype open = m_foreign.lastIndexOf(name);
        if (open >= 0 && (foreign() || open == m_foreign.size() - 1)) {
            m_foreign.resize(open);
            token.foreign = true;
            return;
        }
        if (name == QLatin1String("template") && m_templates > 0)
            --m_templates;
    }

    static bool isIntegrationPoint(const QString &name)
    {
        static const QStringList kPoints = {
            QStringLiteral("foreignobject"), QStringLiteral("desc"), QStringLiteral("title"),
            QStringLiteral("mi"), QStringLiteral("mo"), QStringLiteral("mn"), QStringLiteral("ms"),
            QStringLiteral("mtext"),
        };
        return kPoints.contains(name);
    }

    static bool breaksOut(const QString &name)
    {
        static const QStringList kBreakOut = {
            QStringLiteral("b"), QStringLiteral("big"), QStringLiteral("blockquote"), QStringLiteral("body"),
            QStringLiteral("br"), QStringLiteral("center"), QStringLiteral("code"), QStringLiteral("dd"),
            QStringLiteral("div"), QStringLiteral("dl"), QStringLiteral("dt"), QStringLiteral("em"),
            QStringLiteral("embed"), QStringLiteral("h1"), QStringLiteral("h2"), QStringLiteral("h3"),
            QStringLiteral("h4"), QStringLiteral("h5"), QStringLiteral("h6"), QStringLiteral("head"),
            QStringLiteral("hr"), QStringLiteral("i"), QStringLiteral("img"), QStringLiteral("li"),
            QStringLiteral("listing"), QStringLiteral("menu"), QStringLiteral("meta"), QStringLiteral("nobr"),
            QStringLiteral("ol"), QStringLiteral("p"), QStringLiteral("pre"), QStringLiteral("ruby"),
            QStringLiteral("s"), QStringLiteral("small"), QStringLiteral("span"), QStringLiteral("strong"),
            QStringLiteral("strike"), QStringLiteral("sub"), QStringLiteral("sup"), QStringLiteral("table"),
            QStringLiteral("tt"), QStringLiteral("u"), QStringLiteral("ul"), QStringLiteral("var"),
        };
        return kBreakOut.contains(name);
    }

    QStringList m_foreign; // the open svg and math elements, outermost first
    int m_templates = 0;
};

} // namespace

const HtmlAttribute *HtmlStartTag::attribute(QLatin1StringView attributeName) const
{
    for (const HtmlAttribute &a : attributes) {
        if (a.name == attributeName)
            return &a;
    }
    return nullptr;
}

void forEachStartTag(QStringView html, const QList<QLatin1StringView> &wanted,
                     const std::function<void(const HtmlStartTag &)> &visit)
{
    TagReader reader(html);
    while (reader.nextStartTag()) {
        const QStringView name = reader.name();
        if (!isWanted(name, wanted)) {
            if (!reader.readAttributes(nullptr))
                return;
            continue;
        }
        HtmlStartTag tag;
        tag.name = name.toString().toLower();
        if (!reader.readAttributes(&tag))
            return;
        visit(tag);
    }
}

void forEachToken(QStringView html, const QList<QLatin1StringView> &withAttributes,
                  const std::function<void(const HtmlToken &)> &visit,
                  const QList<QLatin1StringView> &rawBodiesOf)
{
    TagReader reader(html);
    if (!rawBodiesOf.isEmpty())
        reader.giveBodiesOf(&rawBodiesOf);
    PageScope scope;
    while (true) {
        HtmlToken token;
        switch (reader.next()) {
        case TagReader::Step::End:
            return;
        case TagReader::Step::Text:
            token.text = reader.text();
            break;
        case TagReader::Step::RawText:
            token.kind = HtmlToken::Kind::RawText;
            token.tag.name = reader.name().toString().toLower();
            token.text = reader.text();
            break;
        case TagReader::Step::EndTag:
            token.kind = HtmlToken::Kind::EndTag;
            token.tag.name = reader.name().toString().toLower();
            break;
        case TagReader::Step::StartTag:
            token.kind = HtmlToken::Kind::StartTag;
            token.tag.name = reader.name().toString().toLower();
            reader.setForeign(scope.foreignStart(token.tag.name));
            if (!reader.readAttributes(isWanted(token.tag.name, withAttributes) ? &token.tag : nullptr))
                return;
            token.selfClosing = reader.selfClosing();
            break;
        }
        scope.place(token);
        reader.setForeign(scope.foreign());
        visit(token);
    }
}

std::optional<HtmlStartTag> firstStartTag(QStringView html)
{
    TagReader reader(html);
    if (!reader.nextStartTag())
        return std::nullopt;
    HtmlStartTag tag;
    tag.name = reader.name().toString().toLower();
    if (!reader.readAttributes(&tag))
        return std::nullopt;
    return tag;
}

} // namespace friendlinks
