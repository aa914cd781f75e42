#include "web/PatternMatcher.h"

#include "web/PatternMatcherWordClass.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <re2/re2.h>

#include <memory>
#include <string>

namespace friendlinks {
namespace {

// Compiled patterns are kept: the system uses a handful of fixed ones, and
// compiling costs more than matching a short anchor.
constexpr qsizetype kMaxCachedPatterns = 64;

std::shared_ptr<const re2::RE2> compiledPattern(const QString &pattern)
{
    static QMutex mutex;
    static QHash<QString, std::shared_ptr<const re2::RE2>> cache;

    QMutexLocker lock(&mutex);
    if (auto found = cache.constFind(pattern); found != cache.constEnd())
        return found.value();

    re2::RE2::Options options;
    options.set_case_sensitive(false);
    options.set_encoding(re2::RE2::Options::EncodingUTF8);
    options.set_longest_match(false); // leftmost-first, like backtracking engines
    options.set_dot_nl(false);        // "." stops at LF but matches CR
    options.set_log_errors(false);
    options.set_max_mem(64 << 20);    // room for the DFA on megabyte pages

    const QByteArray utf8 = asciiWordClasses(pattern).toUtf8();
    auto compiled = std::make_shared<const re2::RE2>(
        re2::StringPiece(utf8.constData(), static_cast<size_t>(utf8.size())), options);
    if (!compiled->ok())
        throw PatternError("invalid pattern \"" + pattern.toStdString() + "\": " + compiled->error());

    if (cache.size() >= kMaxCachedPatterns)
        cache.clear();
    cache.insert(pattern, compiled);
    return compiled;
}

// Length in bytes of the UTF-8 sequence that starts with lead byte c.
int utf8SequenceLength(unsigned char c)
{
    if (c < 0xC0)
        return 1;
    if (c < 0xE0)
        return 2;
    if (c < 0xF0)
        return 3;
    return 4;
}

} // namespace

qsizetype forEachMatch(const QString &myPattern, const QString &myString,
                       const std::function<bool(const QString &match)> &onMatch)
{
    const auto re = compiledPattern(myPattern);
    const QByteArray text = myString.toUtf8();
    const re2::StringPiece whole(text.constData(), static_cast<size_t>(text.size()));

    qsizetype count = 0;
    size_t position = 0;
    re2::StringPiece match;
    while (position <= whole.size()
           && re->Match(whole, position, whole.size(), re2::RE2::UNANCHORED, &match, 1)) {
        ++count;
        if (!onMatch(QString::fromUtf8(match.data(), static_cast<qsizetype>(match.size()))))
            break;
        const size_t matchStart = static_cast<size_t>(match.data() - whole.data());
        position = matchStart + match.size();
        if (match.empty()) {
            // An empty match moves on by one whole character.
            if (position >= whole.size())
                break;
            position += static_cast<size_t>(utf8SequenceLength(static_cast<unsigned char>(whole[position])));
        }
    }
    return count;
}

QString TestRegExp(const QString &myPattern, const QString &myString)
{
    QString result;
    forEachMatch(myPattern, myString, [&result](const QString &match) {
        result += match;
        result += kLineBreak;
        return true;
    });
    return result.isEmpty() ? kMatchFailed : result;
}

QStringList splitLines(const QString &text)
{
    return text.split(kLineBreak);
}

QString firstLine(const QString &text)
{
    const qsizetype end = text.indexOf(kLineBreak);
    return end < 0 ? text : text.left(end);
}

} // namespace friendlinks
