#include "web/CodePageDecoding.h"

namespace friendlinks {

// Where Qt is built with ICU its decoders know every charset we read.
std::optional<QString> decodeWithCodePage(QByteArrayView, QByteArrayView)
{
    return std::nullopt;
}

} // namespace friendlinks
