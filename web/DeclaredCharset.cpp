#include "web/DeclaredCharset.h"

#include "web/BodyDecoding.h"
#include "web/CodePageDecoding.h"

#include <QLatin1StringView>
#include <QRegularExpression>
#include <QStringDecoder>

namespace friendlinks {
namespace {

// "charset=NAME", quoted or not, blanks around "=" allowed.
const QRegularExpression &charsetParameter()
{
    static const QRegularExpression pattern(QStringLiteral(R"(charset\s*=\s*["']?\s*([A-Za-z0-9._:-]+))"),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

QByteArray charsetIn(QLatin1StringView text)
{
    const QRegularExpressionMatch match = charsetParameter().match(text);
    return match.hasMatch() ? match.captured(1).toLatin1().toLower() : QByteArray();
}

// The charset of the first <meta> tag that names one.
QByteArray metaCharset(QByteArrayView head)
{
    const QLatin1StringView text(head.data(), head.size());
    for (qsizetype at = text.indexOf(QLatin1StringView("<meta"), 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(QLatin1StringView("<meta"), at + 5, Qt::CaseInsensitive)) {
        const qsizetype end = text.indexOf(QLatin1Char('>'), at);
        const QByteArray charset = charsetIn(text.sliced(at, (end < 0 ? text.size() : end) - at));
        if (!charset.isEmpty())
            return charset;
    }
    return {};
}

// Names that browsers read with a wider decoder than the name says.
QByteArray decoderName(const QByteArray &declared)
{
    if (declared == "gb2312" || declared == "gbk" || declared == "x-gbk" || declared == "gb_2312-80"
        || declared == "chinese" || declared == "csgb2312" || declared == "euc-cn")
        return "GB18030";
    if (declared == "iso-8859-1" || declared == "latin1" || declared == "us-ascii" || declared == "ascii"
        || declared == "l1" || declared == "iso8859-1")
        return "windows-1252";
    return declared;
}

} // namespace

QByteArray declaredCharset(QByteArrayView body, QByteArrayView contentType)
{
    const QByteArray fromHeader = charsetIn(QLatin1StringView(contentType.data(), contentType.size()));
    if (!fromHeader.isEmpty())
        return fromHeader;
    return metaCharset(body.first(std::min(body.size(), kCharsetScanBytes)));
}

QString decodeDeclared(QByteArrayView body, QByteArrayView contentType)
{
    if (IsUtf8(body))
        return DecodeBody(body);
    const QByteArray name = decoderName(declaredCharset(body, contentType));
    if (name.isEmpty() || name == "GB18030")
        return DecodeBody(body);
    QString text;
    if (QStringDecoder decoder(name.constData(), QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        decoder.isValid())
        text = decoder.decode(body);
    else if (std::optional<QString> decoded = decodeWithCodePage(body, name))
        text = std::move(*decoded); // Windows: Qt decodes few charsets there
    else
        return DecodeBody(body); // a name neither knows
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

} // namespace friendlinks
