// IsUtf8 and DecodeBody on arbitrary bytes: no crash, and the decision agrees
// with what DecodeBody gives for a body IsUtf8 accepts.
#include "web/BodyDecoding.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView body(reinterpret_cast<const char *>(data), qsizetype(size));
    const bool utf8 = friendlinks::IsUtf8(body);
    const QString text = friendlinks::DecodeBody(body);
    if (!body.isEmpty() && text.isEmpty() && !(size <= 3 && utf8))
        std::abort(); // a non-empty body never decodes to nothing (a lone BOM aside)
    return 0;
}
