#pragma once

#include <QByteArrayView>
#include <QString>

namespace friendlinks {

// True when the body is to be read as UTF-8: a UTF-8 byte-order mark, or only
// well-formed one-, two- and three-byte sequences with at least one of two or
// three bytes. Bodies under 3 bytes and pure ASCII give false (read as GB2312).
[[nodiscard]] bool IsUtf8(QByteArrayView body);

// The whole body as text: UTF-8 when IsUtf8 says so, else GB18030 (a superset
// of GB2312). Invalid sequences become U+FFFD; a leading byte-order mark is dropped.
[[nodiscard]] QString DecodeBody(QByteArrayView body);

} // namespace friendlinks
