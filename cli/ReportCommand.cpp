#include "cli/ReportCommand.h"

#include "check/HtmlReport.h"
#include "check/ReportData.h"
#include "check/TextEscape.h"
#include "check/SiteText.h"
#include "cli/Usage.h"

#include <QDir>
#include <QFileInfo>

namespace friendlinks {
namespace {

constexpr int kExitNothingRecorded = 2;

struct Answer {
    QByteArray out;
    int status = 0;
    QString trouble; // what went wrong: the line for stderr
};

// The report of the site as given, else as a modern check records it (host in lower case).
std::variant<ReportData, ReportProblem> gather(HistoryStore &store, const QString &given)
{
    auto data = gatherReport(store, given);
    const auto *problem = std::get_if<ReportProblem>(&data);
    const QString lower = withLowerCaseHost(given);
    if (!problem || !problem->noCheck || lower == given)
        return data;
    return gatherReport(store, lower);
}

Answer answer(const QString &path, const ReportQuery &query, const QTimeZone &zone)
{
    const QString given = query.sites.value(0).trimmed();
    const QString nothing = QStringLiteral("friendlinks report: no check of %1 is recorded in %2")
                                .arg(given, QDir::toNativeSeparators(path));
    const auto unreadable = [](const QString &reason) {
        return Answer{{}, kExitOutputFailed, QStringLiteral("friendlinks: 无法读取历史：%1").arg(reason)};
    };
    if (!QFileInfo::exists(path))
        return {{}, kExitNothingRecorded, nothing};
    HistoryStore store;
    if (!store.open(path))
        return unreadable(store.lastError().reason);
    auto gathered = gather(store, given);
    if (const auto *problem = std::get_if<ReportProblem>(&gathered))
        return problem->noCheck ? Answer{{}, kExitNothingRecorded, nothing} : unreadable(problem->reason);
    const ReportData &data = std::get<ReportData>(gathered);
    if (query.friendAddress.isEmpty())
        return {htmlReport(data, zone), 0, {}};
    const std::optional<PartnerNotice> notice = noticeFor(data, query.friendAddress);
    if (!notice)
        return {{}, kExitNothingRecorded,
                QStringLiteral("friendlinks report: %1 is not a friend link in the latest check of %2 (%3)")
                    .arg(query.friendAddress, data.site,
                         data.latest.startedAt.toTimeZone(zone).toString(QStringLiteral("yyyy-MM-dd HH:mm")))};
    return {htmlNotice(data, *notice, zone), 0, {}};
}

void say(QIODevice *err, const QString &line)
{
    err->write(escapeForDisplay(line).toUtf8() + '\n');
}

} // namespace

int runReport(const ReportQuery &query, const HistoryChoice &choice, QIODevice *out, QIODevice *err,
              const QTimeZone &zone)
{
    const QString path = choice.given() ? choice.file : defaultHistoryPath();
    const Answer result = answer(path, query, zone);
    if (!result.trouble.isEmpty()) {
        say(err, result.trouble);
        return result.status;
    }
    if (out->write(result.out) != result.out.size()) {
        say(err, QStringLiteral("friendlinks: 无法写出结果：%1").arg(out->errorString()));
        return kExitOutputFailed;
    }
    return 0;
}

} // namespace friendlinks
