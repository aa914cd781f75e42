#include "check/Messages.h"

namespace friendlinks {

QString untrustedCertificateNote(const QString &tlsError)
{
    return QStringLiteral("证书不可信：%1（可用 --ca-file 加入证书颁发机构，或用 --insecure 照样读取）").arg(tlsError);
}

QString insecureReadNote(const QString &tlsError)
{
    return QStringLiteral("注意：证书不可信：%1，已按 --insecure 照样读取").arg(tlsError);
}

QString baiduTlsNote(const QString &tlsError, bool insecure)
{
    return insecure ? QStringLiteral("注意：百度的证书不可信：%1，已照样读取").arg(tlsError)
                    : QStringLiteral("百度的证书不可信：%1，百度各列留空").arg(tlsError);
}

QString baiduBlockedNote(int kept, int empty)
{
    return kBaiduBlockedMessage + QStringLiteral("（%1 行沿用之前的结果，%2 行为空）").arg(kept).arg(empty);
}

QString pageCutNote(qint64 bytesRead)
{
    return QStringLiteral("首页过大，只读了前 %1 MB，其后的链接未列出").arg(bytesRead / (1024 * 1024));
}

QString rowsBeyondLimitNote(int checked, int unchecked)
{
    return QStringLiteral("只检查了前 %1 个友情链接，其余 %2 个未检查").arg(checked).arg(unchecked);
}

QString classicSkipNote(const SkippedLinks &skipped)
{
    const int count = skipped.modernWouldList();
    if (count == 0)
        return {};
    return QStringLiteral("另有 %1 个友链未列出（%2）").arg(count).arg(classicSkipSummary(skipped));
}

} // namespace friendlinks
