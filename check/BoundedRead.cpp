#include "check/BoundedRead.h"

namespace friendlinks {

std::optional<QByteArray> readAtMost(QIODevice &device, qint64 limit)
{
    constexpr qint64 kPiece = 64 * 1024;
    QByteArray all;
    for (;;) {
        const QByteArray piece = device.read(std::min(kPiece, limit + 1 - all.size()));
        if (piece.isEmpty())
            return all; // the end (or a read error, which leaves what came)
        all += piece;
        if (all.size() > limit)
            return std::nullopt;
    }
}

} // namespace friendlinks
