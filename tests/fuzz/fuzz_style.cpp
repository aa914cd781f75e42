// The style-sheet reader and the hidden-link verdict on an arbitrary sheet and a run of start
// tags (split at the first NUL byte), each tag inside the one before.
#include "probes/HtmlTags.h"
#include "probes/StyleRules.h"
#include "probes/StyleValues.h"
#include "tests/fuzz/FuzzInput.h"

#include <cstdlib>

namespace {

QList<friendlinks::StyledElement> chainOf(const QString &html)
{
    using namespace friendlinks;
    static const QList<QLatin1StringView> kTags = {QLatin1StringView("div"), QLatin1StringView("p"),
                                                   QLatin1StringView("span"), QLatin1StringView("a"),
                                                   QLatin1StringView("li"), QLatin1StringView("body")};
    QList<StyledElement> chain;
    forEachToken(html, kTags, [&](const HtmlToken &token) {
        if (token.kind != HtmlToken::Kind::StartTag || chain.size() >= 2 * kStyleChainMaxDepth)
            return;
        chain.append(styledElement(token.tag));
    });
    return chain;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace friendlinks;
    const auto [css, html] = fuzz::splitAtNul(data, size);
    StyleRules rules;
    rules.addStyleSheet(css);
    const QList<StyledElement> chain = chainOf(html);
    if (const std::optional<HiddenBy> hidden = rules.hiddenBy(chain)) {
        if (hidden->reason.isEmpty() || hidden->element < 0 || hidden->element >= chain.size())
            std::abort();
    }
    // The text as one selector list, one style attribute, one value.
    for (const StyleSelector &selector : readSelectorList(css).selectors)
        if (selector.compounds.size() != selector.combinators.size() + 1)
            std::abort();
    (void)hidingDeclarations(readDeclarations(css));
    if (const std::optional<CssColor> color = cssColor(css); color && (color->alpha < 0 || color->alpha > 1))
        std::abort();
    (void)cssLengthPx(css);
    return 0;
}
