#include "app/QtNoise.h"

#include <QString>
#include <QtGlobal>

namespace friendlinks {
namespace {

const QString kTwiceReportedError = QStringLiteral("QNetworkReplyImplPrivate::error: Internal problem");

QtMessageHandler g_next = nullptr;

void filterNoise(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(kTwiceReportedError))
        return;
    if (g_next)
        g_next(type, context, message);
}

} // namespace

void dropQtInternalNoise()
{
    g_next = qInstallMessageHandler(filterNoise);
}

} // namespace friendlinks
