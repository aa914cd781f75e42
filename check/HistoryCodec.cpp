#include "check/HistoryCodec.h"

#include <zlib.h>

#include <algorithm>

namespace friendlinks {

namespace {

constexpr int kRawDeflate = -15; // no zlib header or checksum: SQLite guards the bytes
constexpr int kMemLevel = 9;
constexpr qsizetype kChunk = 16 * 1024;

// Deflate looks back from the end of the dictionary, so the commonest texts come last.
// A dictionary once shipped is never edited: a new one is added beside it.
const char kDictionary1[] =
    R"(https://www. http://m. .com.cn/ .net/ .org/ .cn/ .html index.php "blocked" "timeout" "sponsored" "ugc" )"
    R"("noopener" "external" 访问太慢 匹配失败 百度快照 收录 不是第一 "not_first" "unknown" )"
    R"({"site":"","mode":"classic","home":"","rows":[{"lianjie":"http://www.","guanjianzi":"","fanlian":"","shoulu":"",)"
    R"("kuaizhao":"","rp":"","red":["fanlian","shoulu","kuaizhao","rp"],"facts":{"status":200,"final_url":"","ms":,)"
    R"("backlink":{"href":"","rel":["nofollow"],"follow":false,"url":""},"page_nofollow":true,"outbound":null,)"
    R"("baidu":{"state":"no_result","count":null,"pages":null,"rank":"unknown","cached_at":null},"tls_error":"",)"
    R"("our_link":null}}]} )"
    // The same keys in the order a QJsonObject writes them.
    R"({"facts":{"backlink":{"follow":true,"href":"http://www.","rel":[],"url":"http://www."},"baidu":{"count":"",)"
    R"("pages":,"rank":"first","state":"ok"},"final_url":"http://www.","ms":,"our_link":{"follow":true,)"
    R"("href":"http://www.","rel":[],"url":"http://www."},"outbound":,"page_nofollow":false,"status":200,)"
    R"("tls_error":null},"fanlian":"首页之家","guanjianzi":"","kuaizhao":"K 2026-","lianjie":"http://www.",)"
    R"("red":[],"rp":"首页第一","shoulu":"约篇"} {"site": "", "mode": "modern", "reachable": true, "skipped": {"same_site": , "cause": "}, )"
    R"("red": ["shoulu", "kuaizhao", "rp"], "fanlian": "无知错误", "fanlian": "没有链接", "backlink": null, "outbound": null, )"
    R"("baidu": {"state": "unreachable", "count": null}, "baidu": {"state": "unknown_page", "count": null}, )"
    R"("baidu": {"state": "no_result", "count": null}, "page_nofollow": null, "rel": ["nofollow"], "follow": false, )"
    R"({"lianjie": "http://www.", "guanjianzi": "", "fanlian": "首页之家", "shoulu": "约篇", "kuaizhao": "K 2026-", )"
    R"("rp": "首页第一", "red": [], "facts": {"status": 200, "final_url": "http://www.", "ms": , "backlink": {"href": )"
    R"("http://www.", "rel": [], "follow": true, "url": "http://www."}, "page_nofollow": false, "outbound": , )"
    R"("baidu": {"state": "ok", "count": "", "pages": , "rank": "first"}, "tls_error": null, "our_link": {"href": )"
    R"("http://www.", "rel": [], "follow": true, "url": "http://www."}}})";

} // namespace

const QByteArray &currentHistoryDictionary()
{
    static const QByteArray dictionary(kDictionary1, sizeof kDictionary1 - 1);
    return dictionary;
}

struct PayloadPacker::Stream {
    z_stream zlib{};
    bool ready = false;
};

PayloadPacker::PayloadPacker() : m_stream(std::make_unique<Stream>())
{
    m_stream->ready = deflateInit2(&m_stream->zlib, Z_BEST_COMPRESSION, Z_DEFLATED, kRawDeflate, kMemLevel,
                                   Z_DEFAULT_STRATEGY) == Z_OK;
}

PayloadPacker::~PayloadPacker()
{
    if (m_stream->ready)
        deflateEnd(&m_stream->zlib);
}

QByteArray PayloadPacker::pack(const QByteArray &data, const QByteArray &dictionary)
{
    z_stream &stream = m_stream->zlib;
    const auto *words = reinterpret_cast<const Bytef *>(dictionary.constData());
    if (!m_stream->ready || deflateReset(&stream) != Z_OK ||
        deflateSetDictionary(&stream, words, uInt(dictionary.size())) != Z_OK)
        return {};
    QByteArray packed(qsizetype(deflateBound(&stream, uLong(data.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(packed.data());
    stream.avail_out = uInt(packed.size());
    const int status = deflate(&stream, Z_FINISH);
    packed.truncate(qsizetype(stream.total_out));
    return status == Z_STREAM_END ? packed : QByteArray();
}

QByteArray packPayload(const QByteArray &data, const QByteArray &dictionary)
{
    PayloadPacker packer;
    return packer.pack(data, dictionary);
}

std::optional<QByteArray> unpackPayload(const QByteArray &packed, const QByteArray &dictionary, qsizetype limit)
{
    z_stream stream{};
    if (inflateInit2(&stream, kRawDeflate) != Z_OK)
        return std::nullopt;
    inflateSetDictionary(&stream, reinterpret_cast<const Bytef *>(dictionary.constData()), uInt(dictionary.size()));
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(packed.constData()));
    stream.avail_in = uInt(packed.size());
    QByteArray data;
    int status = Z_OK;
    while (status == Z_OK) {
        const qsizetype done = data.size();
        const qsizetype room = std::min(kChunk + packed.size() * 4, limit + 1 - done);
        if (room <= 0)
            break;
        data.resize(done + room);
        stream.next_out = reinterpret_cast<Bytef *>(data.data() + done);
        stream.avail_out = uInt(room);
        status = inflate(&stream, Z_NO_FLUSH);
        data.truncate(qsizetype(stream.total_out));
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END || data.size() > limit)
        return std::nullopt;
    data.squeeze(); // a check's thousand rows would otherwise each keep a chunk of room
    return data;
}

} // namespace friendlinks
