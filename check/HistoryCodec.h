#pragma once

#include <QByteArray>

#include <memory>
#include <optional>

namespace friendlinks {

// Packs the history's payloads small: raw deflate primed with a dictionary of
// the texts every row repeats (json keys, cell words, address parts), so a row
// of 600-900 bytes of json packs to about 100. The store keeps each dictionary
// it used, so a later one never makes older rows unreadable, and primes it
// further with the names it keeps beside each payload (site, friend address).

// A payload larger than this is taken for damage, not unpacked.
inline constexpr qsizetype kMaxHistoryPayload = 16 * 1024 * 1024;

// The dictionary new payloads are packed with.
[[nodiscard]] const QByteArray &currentHistoryDictionary();

// Packs payloads one after another with one set of deflate buffers (a new set
// for each payload would cost more than the packing).
class PayloadPacker {
public:
    PayloadPacker();
    ~PayloadPacker();
    PayloadPacker(const PayloadPacker &) = delete;
    PayloadPacker &operator=(const PayloadPacker &) = delete;

    [[nodiscard]] QByteArray pack(const QByteArray &data, const QByteArray &dictionary);

private:
    struct Stream;
    std::unique_ptr<Stream> m_stream;
};

[[nodiscard]] QByteArray packPayload(const QByteArray &data, const QByteArray &dictionary);

// Empty when the packed bytes are damaged or unpack to more than `limit` bytes.
[[nodiscard]] std::optional<QByteArray> unpackPayload(const QByteArray &packed, const QByteArray &dictionary,
                                                      qsizetype limit = kMaxHistoryPayload);

} // namespace friendlinks
