#pragma once

#include "web/FetchResult.h"

#include <QString>

namespace friendlinks {

// A failure in words for people, as cells and notes say it ("连接被拒绝"); empty for None.
[[nodiscard]] QString failureText(FetchResult::Failure failure);

// What went wrong with the fetch of a checked site's own page, in words: its
// HTTP error status ("首页返回 HTTP 404"), else its failure; empty when neither.
[[nodiscard]] QString homePageTrouble(const FetchResult &home);

} // namespace friendlinks
