#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <utility>

namespace friendlinks::fuzz {

// The fuzzer's bytes as text, the way fetched pages reach the parsers.
[[nodiscard]] inline QString asText(const uint8_t *data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}

// Two texts from one input: everything before the first NUL byte, and the rest.
// Lets one input drive a (page, site) pair.
[[nodiscard]] inline std::pair<QString, QString> splitAtNul(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype cut = bytes.indexOf('\0');
    if (cut < 0)
        return {QString::fromUtf8(bytes), QString()};
    return {QString::fromUtf8(bytes.left(cut)), QString::fromUtf8(bytes.mid(cut + 1))};
}

} // namespace friendlinks::fuzz
