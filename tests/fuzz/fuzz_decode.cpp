// IsUtf8 and DecodeBody on arbitrary bytes: no crash, and the decision agrees
// with what DecodeBody gives for a body IsUtf8 accepts; decodeDeclared likewise.
#include "web/BodyDecoding.h"
#include "web/DeclaredCharset.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView body(reinterpret_cast<const char *>(data), qsizetype(size));
    const bool utf8 = friendlinks::IsUtf8(body);
    const QString text = friendlinks::DecodeBody(body);
    if (!body.isEmpty() && text.isEmpty() && !(size <= 3 && utf8))
        std::abort(); // a non-empty body never decodes to nothing (a lone BOM aside)
    // Today's rule, the body's start standing in for a Content-Type header too:
    // whatever charset it names, a UTF-8 body reads as DecodeBody reads it.
    const QString declared = friendlinks::decodeDeclared(body, body.first(std::min<qsizetype>(body.size(), 40)));
    if (utf8 && declared != text)
        std::abort();
    return 0;
}
