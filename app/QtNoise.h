#pragma once

namespace friendlinks {

// Drops the warnings Qt prints about its own internals, which tell a user
// nothing and are not ours to act on (a gzip bomb's abort makes Qt's reply
// report its error twice: "QNetworkReplyImplPrivate::error: Internal problem,
// this method must only be called once."). Every other message passes to the
// handler that was installed before. Called once, first thing in main().
void dropQtInternalNoise();

} // namespace friendlinks
