#include "probes/PageAnchors.h"

#include "probes/PageScan.h"
#include "web/TextCuts.h"

namespace friendlinks {
namespace {

const QString kEllipsis = QStringLiteral("…");

// Keeps every link of a page, for a reader that needs the list.
class AnchorList final : public PageVisitor {
public:
    bool wantsStyledChains() const override { return false; }
    void anchor(PageAnchor &&anchor, const QList<StyledElement> &chain) override
    {
        (void)chain;
        anchors << std::move(anchor);
    }
    QList<PageAnchor> anchors;
};

} // namespace

QList<PageAnchor> readPageAnchors(QStringView html, const QString &pageAddress)
{
    AnchorList list;
    readPage(html, pageAddress, list);
    return std::move(list.anchors);
}

QString keptText(const QString &text)
{
    const QString kept = cutText(text, kMaxModernTextLength);
    return kept.size() == text.size() ? text : kept + kEllipsis;
}

} // namespace friendlinks
