#pragma once

namespace friendlinks::gb18030 {

// What Windows cannot tell about GB18030 where its code page 54936 is missing
// (Wine has none): the code page 936 (GBK) reads GB18030's two-byte codes but
// for the few below; the four-byte codes are worked out here.

// The character of a two-byte code where GB18030 differs from code page 936, else 0.
[[nodiscard]] char16_t twoByteChange(unsigned char lead, unsigned char trail);

// The character of a well-formed four-byte code b[0..3] (81-FE 30-39 81-FE 30-39), 0 when it has none.
[[nodiscard]] char32_t fourByte(const unsigned char *b);

} // namespace friendlinks::gb18030
