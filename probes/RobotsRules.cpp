#include "probes/RobotsRules.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <utility>

namespace friendlinks {
namespace {

struct RobotsRule {
    bool allow = false;
    QString pattern;     // normalised, "$" and "*" kept
    QStringList pieces;  // the pattern without its final "$", cut at every "*"
    bool anchored = false; // it ended in "$"
    QString written;     // "Disallow: /x" for the verdict
};

// The rules that apply to one crawler, gathered while the file is read.
struct GroupCollector {
    QString crawler; // the crawler's product token, lower case
    bool readingAgents = false; // the last user-agent or rule line was a user-agent line
    bool groupForCrawler = false;
    bool groupForAll = false;
    bool sawCrawlerGroup = false;
    bool sawAllGroup = false;
    QList<RobotsRule> crawlerRules;
    QList<RobotsRule> allRules;

    void userAgent(QStringView value);
    void rule(bool allow, QStringView value);
};

bool isUnreserved(uchar c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.'
           || c == '_' || c == '~';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void appendEncoded(QByteArray &out, uchar c)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    out.append('%').append(kHex[c >> 4]).append(kHex[c & 0xF]);
}

// The leading run of letters, "-" and "_": the product token of a user-agent value.
QString productToken(QStringView value)
{
    qsizetype end = 0;
    while (end < value.size()) {
        const QChar c = value[end];
        if (!(c.isLetter() && c.unicode() < 0x80) && c != u'-' && c != u'_')
            break;
        ++end;
    }
    return value.left(end).toString().toLower();
}

void GroupCollector::userAgent(QStringView value)
{
    if (!readingAgents) {
        groupForCrawler = false;
        groupForAll = false;
    }
    readingAgents = true;
    if (value.startsWith(u'*')) {
        groupForAll = true;
        sawAllGroup = true;
        return;
    }
    const QString token = productToken(value);
    if (!token.isEmpty() && token == crawler) {
        groupForCrawler = true;
        sawCrawlerGroup = true;
    }
}

RobotsRule makeRule(bool allow, QStringView value)
{
    RobotsRule rule;
    rule.allow = allow;
    rule.written = (allow ? QStringLiteral("Allow: ") : QStringLiteral("Disallow: ")) + value.toString();
    QString pattern = normalisedRobotsPath(value);
    if (!pattern.startsWith(u'/') && !pattern.startsWith(u'*'))
        pattern.prepend(u'/');
    rule.pattern = pattern;
    rule.anchored = pattern.endsWith(u'$');
    if (rule.anchored)
        pattern.chop(1);
    rule.pieces = pattern.split(u'*');
    return rule;
}

void GroupCollector::rule(bool allow, QStringView value)
{
    readingAgents = false;
    // An empty Disallow (or Allow) names no path: it changes nothing.
    if (value.isEmpty() || (!groupForCrawler && !groupForAll))
        return;
    const RobotsRule made = makeRule(allow, value);
    if (groupForCrawler)
        crawlerRules.append(made);
    if (groupForAll)
        allRules.append(made);
}

// One line with its comment and blanks taken off, cut into a lower-case key and a value.
bool splitLine(QStringView line, QString &key, QStringView &value)
{
    const qsizetype hash = line.indexOf(u'#');
    if (hash >= 0)
        line = line.left(hash);
    line = line.trimmed();
    if (line.isEmpty())
        return false;
    const qsizetype colon = line.indexOf(u':');
    if (colon >= 0) {
        key = line.left(colon).trimmed().toString().toLower();
        value = line.sliced(colon + 1).trimmed();
        return true;
    }
    // "Disallow /": a missing colon, read when the first word is a key we know.
    qsizetype gap = 0;
    while (gap < line.size() && !line[gap].isSpace())
        ++gap;
    key = line.left(gap).toString().toLower();
    value = line.sliced(gap).trimmed();
    return key == QLatin1String("user-agent") || key == QLatin1String("allow") || key == QLatin1String("disallow");
}

void readLine(QStringView line, GroupCollector &collector)
{
    QString key;
    QStringView value;
    if (!splitLine(line, key, value))
        return;
    if (key == QLatin1String("user-agent") || key == QLatin1String("useragent") || key == QLatin1String("user agent"))
        collector.userAgent(value);
    else if (key == QLatin1String("allow"))
        collector.rule(true, value);
    else if (key == QLatin1String("disallow"))
        collector.rule(false, value);
    // Other records (Sitemap, Crawl-delay, Host, ...) neither end a group nor change it.
}

void readRobots(QStringView text, GroupCollector &collector)
{
    text = text.left(kRobotsMaxChars);
    if (text.startsWith(QChar(0xFEFF)))
        text = text.sliced(1);
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        readLine(text.sliced(start, end - start), collector);
        if (end < text.size() && text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
}

// "*" any run, "$" (kept apart as anchored) the end; otherwise a prefix match.
bool matches(const RobotsRule &rule, QStringView path)
{
    const QStringList &pieces = rule.pieces;
    if (!path.startsWith(pieces.first()))
        return false;
    if (pieces.size() == 1)
        return !rule.anchored || path.size() == pieces.first().size();
    qsizetype at = pieces.first().size();
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const QString &piece = pieces[i];
        if (i == pieces.size() - 1 && rule.anchored)
            return path.size() - at >= piece.size() && path.endsWith(piece);
        const qsizetype found = path.indexOf(piece, at);
        if (found < 0)
            return false;
        at = found + piece.size();
    }
    return true;
}

QString normalisedRequestPath(QStringView path)
{
    const qsizetype hash = path.indexOf(u'#');
    if (hash >= 0)
        path = path.left(hash);
    QString normal = normalisedRobotsPath(path);
    if (!normal.startsWith(u'/'))
        normal.prepend(u'/');
    return normal;
}

} // namespace

QString normalisedRobotsPath(QStringView text)
{
    const QByteArray bytes = text.toUtf8();
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = uchar(bytes[i]);
        if (c == '%' && i + 2 < bytes.size() && hexValue(bytes[i + 1]) >= 0 && hexValue(bytes[i + 2]) >= 0) {
            const auto decoded = uchar(hexValue(bytes[i + 1]) * 16 + hexValue(bytes[i + 2]));
            if (isUnreserved(decoded))
                out.append(char(decoded));
            else
                appendEncoded(out, decoded);
            i += 2;
        } else if (c <= 0x20 || c >= 0x7F) {
            appendEncoded(out, c);
        } else {
            out.append(char(c));
        }
    }
    return QString::fromLatin1(out);
}

RobotsVerdict robotsVerdict(QStringView robotsText, QStringView userAgent, QStringView path)
{
    const QString request = normalisedRequestPath(path);
    if (request == QLatin1String("/robots.txt"))
        return {};
    GroupCollector collector;
    collector.crawler = productToken(userAgent.trimmed());
    readRobots(robotsText, collector);
    const QList<RobotsRule> &rules = collector.sawCrawlerGroup ? collector.crawlerRules : collector.allRules;
    const RobotsRule *best = nullptr;
    for (const RobotsRule &rule : rules) {
        if (best && (rule.pattern.size() < best->pattern.size()
                     || (rule.pattern.size() == best->pattern.size() && (best->allow || !rule.allow))))
            continue;
        if (matches(rule, request))
            best = &rule;
    }
    if (!best)
        return {};
    return {best->allow, best->written};
}

RobotsAvailability robotsAvailability(int httpStatus)
{
    if (httpStatus >= 200 && httpStatus < 300)
        return RobotsAvailability::Rules;
    if (httpStatus >= 300 && httpStatus < 500)
        return RobotsAvailability::AllowAll;
    return RobotsAvailability::Unknown;
}

RobotsAnswer robotsAnswer(int httpStatus, QStringView robotsText, QStringView userAgent, QStringView path)
{
    switch (robotsAvailability(httpStatus)) {
    case RobotsAvailability::Rules: {
        RobotsVerdict verdict = robotsVerdict(robotsText, userAgent, path);
        return {verdict.allowed, std::move(verdict.rule)};
    }
    case RobotsAvailability::AllowAll:
        return {true, {}};
    case RobotsAvailability::Unknown:
        break;
    }
    return {};
}

} // namespace friendlinks
