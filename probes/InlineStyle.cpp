#include "probes/InlineStyle.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace friendlinks {
namespace {

// The keywords a browser takes for these two properties; a declaration with any other value is dropped.
const QStringList kCommonKeywords = {"inherit", "initial", "unset", "revert", "revert-layer"};
const QStringList kDisplayValues = {
    "none", "inline", "block", "inline-block", "flex", "inline-flex", "grid", "inline-grid", "contents",
    "list-item", "table", "inline-table", "table-row", "table-cell", "table-caption", "table-column",
    "table-row-group", "table-header-group", "table-footer-group", "table-column-group", "flow-root", "ruby",
};
const QStringList kVisibilityValues = {"visible", "hidden", "collapse"};

struct Declared {
    QString value;
    bool important = false;
};

// Keeps a later declaration unless the one kept is !important and it is not.
void declare(Declared &kept, const QString &value, bool important, const QStringList &valid)
{
    if (!valid.contains(value) && !kCommonKeywords.contains(value))
        return;
    if (kept.important && !important)
        return;
    kept = {value, important};
}

} // namespace

bool inlineStyleHides(QStringView style)
{
    static const QRegularExpression kComment(QStringLiteral("/\\*.*?(\\*/|$)"),
                                             QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression kImportant(QStringLiteral("!\\s*important$"));
    QString text = style.toString().toLower();
    text.remove(kComment);
    Declared display;
    Declared visibility;
    for (const QStringView declaration : QStringView(text).split(u';')) {
        const qsizetype colon = declaration.indexOf(u':');
        if (colon < 0)
            continue;
        const QStringView property = declaration.left(colon).trimmed();
        QString value = declaration.sliced(colon + 1).trimmed().toString();
        const bool important = value.contains(kImportant);
        if (important)
            value = value.remove(kImportant).trimmed();
        if (property == QLatin1String("display"))
            declare(display, value, important, kDisplayValues);
        else if (property == QLatin1String("visibility"))
            declare(visibility, value, important, kVisibilityValues);
    }
    return display.value == QLatin1String("none") || visibility.value == QLatin1String("hidden");
}

} // namespace friendlinks
