#pragma once

#include "check/CheckMode.h"
#include "check/RowProbe.h"
#include "check/WorkerPool.h"

#include <QHash>
#include <QString>

#include <memory>

namespace friendlinks {

// The modern reads of the rows' pages, handed from a check's page probe to its
// extras probe, which runs next for the same row and takes each once.
class ModernPageReads {
public:
    void keep(int row, std::shared_ptr<const ModernPageRead> read) { m_reads.insert(row, std::move(read)); }
    [[nodiscard]] std::shared_ptr<const ModernPageRead> take(int row) { return m_reads.take(row); }

private:
    QHash<int, std::shared_ptr<const ModernPageRead>> m_reads;
};

// Modern mode's second look at a friend's page, through the files it loads
// from its own site: with a link back, its style sheets (at most 2, 256 KiB
// each) join the page's <style> rules, and a link hidden by them is
// "隐藏的链接"; without one, a link back in its script text (inline, then at
// most 4 scripts of 512 KiB each) is "脚本写入的链接", one in a frame page
// (at most 2) "框架页里的链接", both red. One file is fetched at a time, each
// through pool as client; nothing at all for a page with nothing to read.
[[nodiscard]] std::unique_ptr<RowProbe> pageExtrasProbe(WorkerPool &pool, WorkerPool::Client &client,
                                                        const QString &site,
                                                        std::shared_ptr<ModernPageReads> reads);

} // namespace friendlinks
