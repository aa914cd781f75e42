#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace friendlinks {

// One declaration: the property in lower case, the value trimmed with its "!important" taken off.
struct StyleDeclaration {
    QString property;
    QString value;
    bool important = false;
};

// One style rule: its selector list as written, and its declarations in order.
struct StyleRuleText {
    QString selectors;
    QList<StyleDeclaration> declarations;
};

// The style rules of a style sheet, or of a <style> element's text, in order,
// read as a browser's CSS parser reads them: comments and "<!--"/"-->" are
// passed over, quoted strings may hold braces, a block cut off by the end of
// the text ends there. The rules inside "@media" are read when the rule applies
// on a screen whatever its size ("@media screen", "@media all, print", no
// query); rules under a condition ("(max-width: 600px)", "print") are left
// out, since they hide nothing from a visitor's usual view. Other at-rules
// (@import, @font-face, @supports, @keyframes, @layer ...) are skipped whole.
// Rules nested in a rule's block are left out.
[[nodiscard]] QList<StyleRuleText> readStyleSheet(QStringView css);

// The declarations of a block or a style attribute, in order; one without a
// property or a colon is passed over.
[[nodiscard]] QList<StyleDeclaration> readDeclarations(QStringView block);

} // namespace friendlinks
