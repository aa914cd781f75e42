#pragma once

namespace friendlinks {

// Has the C library give a large block (a page's bytes, its text) back to the
// system when it is freed, instead of keeping it for later: a check reads
// pages of many megabytes one after another, and a kept block counts in the
// process's memory until it ends. Once per process; where the allocator does
// so already (Windows), nothing to do.
void returnLargeBlocksToSystem();

} // namespace friendlinks
