#pragma once

#include "check/SkippedLinks.h"

#include <QString>

namespace friendlinks {

// What a check says to the user beyond its cells, the same in the window and
// on the command line. The front ends add their own words (the window's menu,
// the command line's options) in their own places.

// The checked site cannot be fetched: the window's message box, stderr's first words.
inline const QString kUnreachableMessage = QStringLiteral("网址可能无法访问");
inline const QString kUnreachableTitle = QStringLiteral("提示");

// Told once per run when Baidu asks for a security check.
inline const QString kBaiduBlockedMessage = QStringLiteral("百度要求安全验证，其余各行的百度列未再查询");
// The same with a Baidu max age, where rows take an earlier check's answer:
// "百度要求安全验证，其余各行的百度列未再查询（12 行沿用之前的结果，3 行为空）".
[[nodiscard]] QString baiduBlockedNote(int kept, int empty);

// The checked site's certificate cannot be trusted, so its page was not read.
[[nodiscard]] QString untrustedCertificateNote(const QString &tlsError);
// The same trouble, read anyway as --insecure asked.
[[nodiscard]] QString insecureReadNote(const QString &tlsError);
// Said once when a Baidu answer came with a certificate the check cannot trust.
[[nodiscard]] QString baiduTlsNote(const QString &tlsError, bool insecure);

// The checked site's own page passed the size cap and was read only so far:
// "首页过大，只读了前 16 MB，其后的链接未列出".
[[nodiscard]] QString pageCutNote(qint64 bytesRead);

// Friend links past the row limit: "只检查了前 10000 个友情链接，其余 3 个未检查".
[[nodiscard]] QString rowsBeyondLimitNote(int checked, int unchecked);

// The two modes by name, as the window shows the mode of its list and names its menu item.
inline const QString kClassicModeCaption = QStringLiteral("经典模式");
inline const QString kModernModeCaption = QStringLiteral("现代模式");
[[nodiscard]] inline QString modeName(bool modern) { return modern ? kModernModeCaption : kClassicModeCaption; }

// Friend links a classic check left out that a modern one lists, with the
// rules that left them out: "另有 5 个友链未列出（域名后缀 3，https 2）"; empty when none.
[[nodiscard]] QString classicSkipNote(const SkippedLinks &skipped);

} // namespace friendlinks
