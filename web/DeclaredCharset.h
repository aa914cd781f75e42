#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace friendlinks {

// How far into a page a <meta> charset is looked for; browsers look about as far.
inline constexpr qsizetype kCharsetScanBytes = 4096;

// The charset a page names for itself, lower case: the charset parameter of its
// Content-Type header, else that of its first <meta charset> or
// <meta http-equiv="Content-Type" content="...; charset=..."> within the first
// kCharsetScanBytes bytes. Empty when it names none.
[[nodiscard]] QByteArray declaredCharset(QByteArrayView body, QByteArrayView contentType);

// Today's decoding: a body IsUtf8 takes for UTF-8 is read as UTF-8 whatever it
// declares (the bytes win); any other body in the charset it declares when
// that charset is known, and as GB18030 otherwise (DecodeBody's rule).
// GB2312 and GBK names read as GB18030, Latin-1 and ASCII as windows-1252, as
// browsers do.
[[nodiscard]] QString decodeDeclared(QByteArrayView body, QByteArrayView contentType);

} // namespace friendlinks
