#pragma once

#include "check/HistoryCodec.h"
#include "check/HistoryRecord.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QProcessEnvironment>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>

struct sqlite3;

namespace friendlinks {

struct RecordTally;
struct SiteRows;

// Why the history could not do what was asked.
enum class HistoryFailure {
    None,
    CannotOpen, // no such folder, no permission, not a file
    Locked,     // another program kept it busy past the wait
    NotHistory, // not an SQLite file, or another program's
    Newer,      // written by a newer friendlinks, with a schema this one does not know
    Corrupt,
    Full,       // the disk, or the size the store was given
    ReadOnly,
    NotFound,   // no recorded check of that id
    Failed,     // anything else SQLite reports
};

struct HistoryError {
    HistoryFailure failure = HistoryFailure::None;
    QString reason; // a sentence naming the file, for stderr or the window
    [[nodiscard]] bool ok() const { return failure == HistoryFailure::None; }
};

struct HistoryOptions {
    std::chrono::milliseconds busyTimeout{5000}; // how long to wait for another writer
    qint64 maxBytes = 0;                         // the store's size limit; 0 for none but the disk's
};

// The history of checks in one SQLite file: each check recorded in one
// transaction (a check cut short leaves nothing half-written, earlier checks
// intact), read back by site, by check and by friend. Two stores on one file,
// in one program or two, write in turn (WAL, a busy wait); one store is used
// by one thread at a time.
//
// No call throws. A call that fails returns an empty answer (0, -1, an empty
// list or optional) and lastError() says why; each call clears it first, so
// an empty answer with lastError().ok() is a true "none".
//
//   HistoryStore store;
//   if (!store.open(defaultHistoryPath())) warn(store.lastError().reason);
//   const qint64 id = store.record(record);
class HistoryStore {
public:
    explicit HistoryStore(HistoryOptions options = {});
    ~HistoryStore();
    HistoryStore(const HistoryStore &) = delete;
    HistoryStore &operator=(const HistoryStore &) = delete;

    // Opens the file, creating it (and its folder) when missing, and brings an
    // older store's schema up to date.
    [[nodiscard]] bool open(const QString &path);
    void close();
    [[nodiscard]] bool isOpen() const { return m_db != nullptr; }
    [[nodiscard]] QString path() const { return m_path; }

    // The new check's id (ids grow from 1), or 0. Beside it the store keeps
    // its tally and its rows' typed values (check/HistoryTally), its changes
    // counted against the site's check before it; a check whose rows are not
    // the json `check` writes is kept as given, without them.
    [[nodiscard]] qint64 record(const CheckRecord &check);

    // Newest first.
    [[nodiscard]] QList<CheckSummary> checksOf(const QString &site);
    [[nodiscard]] std::optional<CheckRecord> load(qint64 checkId);
    // The check of the site before `checkId` (by start time), if any.
    [[nodiscard]] std::optional<CheckSummary> previousCheck(const QString &site, qint64 checkId);
    // The friend's row in each check of the site that has it, oldest first.
    [[nodiscard]] QList<FriendEntry> friendHistory(const QString &site, const QString &lianjie);

    // Drop checks started before `olderThan` (and Baidu's answers asked
    // before it) / every check of a site; the number of checks dropped, or -1.
    [[nodiscard]] int prune(const QDateTime &olderThan);
    [[nodiscard]] int clearSite(const QString &site);

    [[nodiscard]] const HistoryError &lastError() const { return m_error; }

    // The newest check of the site started before `before` (of all, when
    // `before` is invalid), if any.
    [[nodiscard]] std::optional<CheckSummary> latestCheckBefore(const QString &site, const QDateTime &before = {});

    // Baidu's answers by query address and mode ("classic", "modern"), the
    // newest of each kept: what a row took from the answer (a json text) and
    // when it was asked.
    struct BaiduAnswer {
        QDateTime askedAt; // UTC
        QByteArray answer;
    };
    // Keeps the answer unless one asked later is kept already; whether it is kept.
    [[nodiscard]] bool recordBaiduAnswer(const QString &query, const QString &mode, const QDateTime &askedAt,
                                         const QByteArray &answer);
    // The answer kept for the query, if asked at or after notBefore (an invalid time: of any age).
    [[nodiscard]] std::optional<BaiduAnswer> baiduAnswer(const QString &query, const QString &mode,
                                                         const QDateTime &notBefore = {});

    // Version 2: what the store keeps beside each check and row when it is
    // recorded (check/HistoryTally), read without unpacking a row.
    // The site's checks with their tallies, newest first.
    [[nodiscard]] QList<TalliedCheck> talliedChecksOf(const QString &site);
    // The friend's row in each check of the site that has it, oldest first.
    [[nodiscard]] QList<FriendPoint> friendLine(const QString &site, const QString &lianjie);

    // The friend's typed values in the checks of the site before `checkId`
    // (0: in all of them), newest first, at most `limit`: a look back that
    // stops where it has seen enough, one page at a time (the next page starts
    // before the last point's check), reading no payload.
    [[nodiscard]] QList<FriendPoint> friendPointsBefore(const QString &site, const QString &lianjie, qint64 checkId,
                                                        int limit);

    // Every friend's typed values in the site's last `checks` checks before
    // `checkId` (0: the last of all), newest check first, each in row order:
    // what a look back over all friends reads in one query.
    [[nodiscard]] QList<SitePoint> sitePointsBefore(const QString &site, qint64 checkId, int checks);

private:
    struct Statements;
    // Clears lastError() for a new call; false, saying so, when the store is not open.
    bool startCall();
    // Runs the prepared statement `which`, its arguments bound by bind, each
    // row given to read (which returns false to stop: it failed); whether it ran to its end.
    template <typename Bind, typename Read>
    bool eachRow(int which, Bind bind, Read read);
    // Each row of the statement as read gives it, in order; empty when it fails.
    template <typename Item, typename Bind, typename Read>
    QList<Item> listOf(int which, Bind bind, Read read);
    bool configure(bool fresh);
    bool migrate();
    std::optional<qint64> number(const char *sql);
    bool prepare();
    bool useCurrentCodec();
    qint64 internedId(int findStatement, int addStatement, const QString &text);
    std::optional<QByteArray> dictionary(qint64 codecId);
    std::optional<QByteArray> unpack(qint64 codecId, const QByteArray &packed, const QString &site,
                                     const QString &lianjie = {});
    int drop(int selectStatement, const QList<QByteArray> &arguments);
    bool exec(const char *sql);
    bool fail(int code);
    void fail(HistoryFailure failure, const QString &reason);
    void rollback();
    // Version 2.
    struct LastRead;
    std::optional<CheckRecord> loadInside(qint64 checkId);
    static std::optional<SiteRows> readRows(const CheckRecord &check);
    bool tallyNew(const CheckRecord &check, qint64 siteId, const std::optional<SiteRows> &read,
                  std::optional<RecordTally> &tally);
    bool fillTallies();

    HistoryOptions m_options;
    QString m_path;
    sqlite3 *m_db = nullptr;
    std::unique_ptr<Statements> m_statements;
    qint64 m_codecId = 0;
    QHash<qint64, QByteArray> m_dictionaries;
    PayloadPacker m_packer;
    HistoryError m_error;
    std::unique_ptr<LastRead> m_lastRead; // the check last recorded or compared with, read
};

// Where the history lives unless told otherwise: $FRIENDLINKS_HISTORY when set
// and not empty, else history.sqlite in the user's local data folder for
// friendlinks (QStandardPaths::AppLocalDataLocation of a program named
// friendlinks with no organization: ~/.local/share/friendlinks/ on Linux,
// %LOCALAPPDATA%\friendlinks\ on Windows), whatever the running program is called.
[[nodiscard]] QString defaultHistoryPath(
    const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

} // namespace friendlinks
