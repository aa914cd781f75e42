#include "app/MessageTexts.h"

#include "check/CheckNotes.h"
#include "check/Messages.h"
#include "check/TextEscape.h"

#include <algorithm>

namespace friendlinks {
namespace {

Message::Tone toneOf(CheckNote::Severity severity)
{
    return severity == CheckNote::Severity::Error ? Message::Tone::Error : Message::Tone::Normal;
}

} // namespace

QList<Message> checkMessages(const SiteResult &result)
{
    using Kind = CheckNote::Kind;
    const QList<CheckNote> notes = checkNotes(result);
    const bool certificateSaysWhy = std::any_of(notes.begin(), notes.end(), [](const CheckNote &note) {
        return note.kind == Kind::SiteCertificate;
    });
    QList<Message> messages;
    QString mode;
    for (const CheckNote &note : notes) {
        switch (note.kind) {
        case Kind::Mode:
            mode = note.text; // after the counts
            break;
        case Kind::Unreachable:
            // The certificate's note says why in full; the message box says the rest.
            if (!certificateSaysWhy)
                messages << Message{toneOf(note.severity), escapeForDisplay(note.text)};
            break;
        case Kind::SkippedLinks:
            messages << Message{toneOf(note.severity),
                                escapeForDisplay(QStringLiteral("%1，在列表右键菜单勾选“%2”一并检查")
                                                     .arg(note.text, kModernModeCaption))};
            break;
        default:
            messages << Message{toneOf(note.severity), escapeForDisplay(note.text)};
            break;
        }
    }
    messages << Message{Message::Tone::Quiet, countsText(result.rows)};
    if (!mode.isEmpty())
        messages << Message{Message::Tone::Quiet, mode};
    return messages;
}

QString countsText(const QList<ResultRow> &rows)
{
    int red = 0;
    for (const ResultRow &row : rows)
        red += int(std::count_if(row.cells.cells.begin(), row.cells.cells.end(), [](const Cell &c) { return c.red; }));
    return QStringLiteral("共 %1 行，标红 %2 处").arg(rows.size()).arg(red);
}

QString stoppedText(int checked, int total)
{
    if (total == 0)
        return QStringLiteral("已停止：网站首页还没有读完");
    return QStringLiteral("已停止：检查了 %1/%2 行").arg(checked).arg(total);
}

QString replacedText(const QString &site, int checked, int total)
{
    const QString shown = escapeForDisplay(site);
    if (total == 0)
        return QStringLiteral("已停止 %1 的检查：网站首页还没有读完").arg(shown);
    return QStringLiteral("已停止 %1 的检查：检查了 %2/%3 行").arg(shown).arg(checked).arg(total);
}

} // namespace friendlinks
