#pragma once

#include "check/RowProbe.h"
#include "check/WorkerPool.h"

namespace friendlinks {

class CheckMode;

// The probes a check runs for each row, in order: the friend's page (fanlian
// and the page facts), in modern mode its jump links, then one Baidu query
// (shoulu, kuaizhao, rp, the Baidu facts), the friend's robots.txt, and in
// modern mode or with spiderCheck the page as Baidu's spider gets it. They
// fetch through pool as client, for the checked site site; mode and pool outlive them.
[[nodiscard]] RowProbes rowProbes(WorkerPool &pool, WorkerPool::Client &client, const CheckMode &mode,
                                  const QString &site, const QString &baiduHost, bool spiderCheck);

} // namespace friendlinks
