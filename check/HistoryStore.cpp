#include "check/HistoryStore.h"

#include "check/HistoryCodec.h"
#include "check/HistorySchema.h"
#include "check/HistoryTally.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <limits>

namespace friendlinks {

namespace {

// Every statement the store runs, prepared once at open.
enum Sql {
    FindSite,
    AddSite,
    FindFriend,
    AddFriend,
    FindCodec,
    AddCodec,
    CodecDictionary,
    AddCheck,
    AddRow,
    ChecksOf,
    LoadCheck,
    LoadRows,
    PreviousCheck,
    FriendRows,
    ChecksBefore,
    ChecksOfSite,
    DropRows,
    DropCheck,
    DropFriends,
    DropSites,
    LatestCheckBefore,
    KeepBaiduAnswer,
    FindBaiduAnswer,
    // Version 2: the tallies beside checks and rows.
    PreviousForRecord,
    TalliedChecks,
    FriendLine,
    AllChecksInOrder,
    SetCheckTally,
    SetRowTally,
    FriendPointsBefore,
    SitePointsBefore,
    DropBaiduAnswers,
    kSqlCount
};

const char *const kSql[kSqlCount] = {
    "SELECT id FROM site WHERE name = ?1",
    "INSERT INTO site(name) VALUES (?1)",
    "SELECT id FROM friend WHERE address = ?1",
    "INSERT INTO friend(address) VALUES (?1)",
    "SELECT id FROM codec WHERE dictionary = ?1",
    "INSERT INTO codec(dictionary) VALUES (?1)",
    "SELECT dictionary FROM codec WHERE id = ?1",
    "INSERT INTO check_run(site_id, mode, started_ms, finished_ms, program_version, codec_id, outcome, row_count,"
    " red_cells, unreachable, home_status, changes, worse, better, compared_id)"
    " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15)",
    "INSERT INTO check_row(check_id, position, friend_id, payload, backlink, follow, pages, rank, status)"
    " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)",
    "SELECT c.id, c.mode, c.started_ms, c.finished_ms, c.program_version, c.row_count"
    " FROM check_run c JOIN site s ON s.id = c.site_id WHERE s.name = ?1"
    " ORDER BY c.started_ms DESC, c.id DESC",
    "SELECT s.name, c.mode, c.started_ms, c.finished_ms, c.program_version, c.codec_id, c.outcome"
    " FROM check_run c JOIN site s ON s.id = c.site_id WHERE c.id = ?1",
    "SELECT f.address, r.payload FROM check_row r JOIN friend f ON f.id = r.friend_id"
    " WHERE r.check_id = ?1 ORDER BY r.position",
    "SELECT c.id, c.mode, c.started_ms, c.finished_ms, c.program_version, c.row_count"
    " FROM check_run c JOIN check_run b ON b.id = ?2 AND (c.started_ms, c.id) < (b.started_ms, b.id)"
    " JOIN site s ON s.id = c.site_id WHERE s.name = ?1"
    " ORDER BY c.started_ms DESC, c.id DESC LIMIT 1",
    "SELECT c.id, c.started_ms, c.codec_id, r.payload FROM check_row r JOIN check_run c ON c.id = r.check_id"
    " WHERE r.friend_id = (SELECT id FROM friend WHERE address = ?2)"
    " AND c.site_id = (SELECT id FROM site WHERE name = ?1)"
    " ORDER BY c.started_ms, c.id, r.position",
    "SELECT id FROM check_run WHERE started_ms < ?1",
    "SELECT c.id FROM check_run c JOIN site s ON s.id = c.site_id WHERE s.name = ?1",
    "DELETE FROM check_row WHERE check_id = ?1",
    "DELETE FROM check_run WHERE id = ?1",
    "DELETE FROM friend WHERE NOT EXISTS (SELECT 1 FROM check_row r WHERE r.friend_id = friend.id)",
    "DELETE FROM site WHERE NOT EXISTS (SELECT 1 FROM check_run c WHERE c.site_id = site.id)",
    "SELECT c.id, c.mode, c.started_ms, c.finished_ms, c.program_version, c.row_count"
    " FROM check_run c JOIN site s ON s.id = c.site_id WHERE s.name = ?1 AND c.started_ms < ?2"
    " ORDER BY c.started_ms DESC, c.id DESC LIMIT 1",
    // Two programs may ask at once: the answer asked last stays.
    "INSERT INTO baidu_answer(query, mode, asked_ms, answer) VALUES (?1, ?2, ?3, ?4)"
    " ON CONFLICT(query, mode) DO UPDATE SET asked_ms = excluded.asked_ms, answer = excluded.answer"
    " WHERE excluded.asked_ms >= baidu_answer.asked_ms",
    "SELECT asked_ms, answer FROM baidu_answer WHERE query = ?1 AND mode = ?2 AND asked_ms >= ?3",
    "SELECT id FROM check_run WHERE site_id = ?1 AND started_ms <= ?2 ORDER BY started_ms DESC, id DESC LIMIT 1",
    "SELECT c.id, c.mode, c.started_ms, c.finished_ms, c.program_version, c.row_count,"
    " c.red_cells, c.unreachable, c.home_status, c.changes, c.worse, c.better, c.compared_id"
    " FROM check_run c JOIN site s ON s.id = c.site_id WHERE s.name = ?1"
    " ORDER BY c.started_ms DESC, c.id DESC",
    // CROSS JOIN: the friend's rows first (365 in a year), not every row of the site's checks.
    "SELECT c.id, c.started_ms, r.backlink, r.follow, r.pages, r.rank, r.status"
    " FROM check_row r CROSS JOIN check_run c ON c.id = r.check_id"
    " WHERE r.friend_id = (SELECT id FROM friend WHERE address = ?2)"
    " AND c.site_id = (SELECT id FROM site WHERE name = ?1)"
    " ORDER BY c.started_ms, c.id, r.position",
    "SELECT id, site_id FROM check_run ORDER BY site_id, started_ms, id",
    "UPDATE check_run SET red_cells = ?2, unreachable = ?3, home_status = ?4, changes = ?5, worse = ?6, better = ?7,"
    " compared_id = ?8 WHERE id = ?1",
    "UPDATE check_row SET backlink = ?3, follow = ?4, pages = ?5, rank = ?6, status = ?7"
    " WHERE check_id = ?1 AND position = ?2",
    // A friend's typed values in the site's checks before ?3, newest first: a
    // look back that reads no payload.
    "SELECT b.id, b.started_ms, k.backlink, k.follow, k.pages, k.rank, k.status"
    " FROM check_row k INDEXED BY check_row_by_friend JOIN check_run b ON b.id = k.check_id"
    " WHERE k.friend_id = (SELECT id FROM friend WHERE address = ?2)"
    " AND b.site_id = (SELECT id FROM site WHERE name = ?1)"
    " AND (?3 = 0 OR (b.started_ms, b.id) < (SELECT n.started_ms, n.id FROM check_run n WHERE n.id = ?3))"
    " ORDER BY b.started_ms DESC, b.id DESC, k.position LIMIT ?4",
    "SELECT c.id, c.started_ms, k.backlink, k.follow, k.pages, k.rank, k.status, f.address FROM"
    " (SELECT b.id AS id, b.started_ms AS started_ms FROM check_run b"
    "  WHERE b.site_id = (SELECT id FROM site WHERE name = ?1)"
    "  AND (?2 = 0 OR (b.started_ms, b.id) < (SELECT n.started_ms, n.id FROM check_run n WHERE n.id = ?2))"
    "  ORDER BY b.started_ms DESC, b.id DESC LIMIT ?3) c"
    " JOIN check_row k ON k.check_id = c.id JOIN friend f ON f.id = k.friend_id"
    " ORDER BY c.started_ms DESC, c.id DESC, k.position",
    "DELETE FROM baidu_answer WHERE asked_ms < ?1",
};

// The schema version that keeps tallies beside checks and rows.
constexpr int kTalliesVersion = 2;

// The verdicts are kept as their numbers: these must never change.
static_assert(int(BackLinkVerdict::Unknown) == 0 && int(BackLinkVerdict::Linked) == 1
              && int(BackLinkVerdict::PassesNothing) == 2 && int(BackLinkVerdict::NoLink) == 3
              && int(BackLinkVerdict::NotRead) == 4);
static_assert(int(RankVerdict::Unknown) == 0 && int(RankVerdict::HomeFirst) == 1 && int(RankVerdict::NotFirst) == 2);

// One use of a prepared statement: binds, steps, reads; reset when it ends.
class Use {
public:
    explicit Use(sqlite3_stmt *statement) : m_statement(statement) {}
    ~Use()
    {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }
    Use(const Use &) = delete;
    Use &operator=(const Use &) = delete;

    Use &bind(int index, qint64 value) { return keep(sqlite3_bind_int64(m_statement, index, value)); }
    Use &bind(int index, const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        return keep(sqlite3_bind_text(m_statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT));
    }
    Use &bind(int index, const QByteArray &bytes)
    {
        return keep(sqlite3_bind_blob(m_statement, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT));
    }
    Use &bindNull(int index) { return keep(sqlite3_bind_null(m_statement, index)); }
    template <typename Number>
    Use &bind(int index, const std::optional<Number> &value)
    {
        return value ? bind(index, qint64(*value)) : bindNull(index);
    }
    // SQLITE_ROW, SQLITE_DONE or the error.
    int step() { return m_bindResult != SQLITE_OK ? m_bindResult : sqlite3_step(m_statement); }

    qint64 integer(int column) const { return sqlite3_column_int64(m_statement, column); }
    QString text(int column) const
    {
        const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
        return QString::fromUtf8(data, sqlite3_column_bytes(m_statement, column));
    }
    QByteArray blob(int column) const
    {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(m_statement, column));
        return QByteArray(data, sqlite3_column_bytes(m_statement, column));
    }
    QDateTime time(int column) const { return QDateTime::fromMSecsSinceEpoch(integer(column), Qt::UTC); }
    bool isNull(int column) const { return sqlite3_column_type(m_statement, column) == SQLITE_NULL; }
    std::optional<qint64> maybe(int column) const
    {
        return isNull(column) ? std::nullopt : std::optional<qint64>(integer(column));
    }

private:
    Use &keep(int result)
    {
        if (m_bindResult == SQLITE_OK)
            m_bindResult = result;
        return *this;
    }
    sqlite3_stmt *m_statement;
    int m_bindResult = SQLITE_OK;
};

// A payload's dictionary: the codec's, then the names the store keeps beside
// the payload anyway (its site, its friend's address), which rows repeat.
QByteArray wordsFor(const QByteArray &dictionary, const QString &site, const QString &lianjie = {})
{
    return dictionary + ' ' + site.toUtf8() + ' ' + lianjie.toUtf8();
}

QString waitText(std::chrono::milliseconds wait)
{
    if (wait.count() % 1000 == 0)
        return QStringLiteral("%1 s").arg(wait.count() / 1000);
    return QStringLiteral("%1 ms").arg(wait.count());
}

CheckSummary summaryOf(const Use &use)
{
    return {use.integer(0), use.text(1), use.time(2), use.time(3), use.text(4), int(use.integer(5))};
}

// Binds a check's tally to ?first and the six after it; none binds NULLs (its rows were not readable).
void bindTally(Use &use, int first, const std::optional<CheckTally> &tally)
{
    if (!tally) {
        use.bindNull(first).bindNull(first + 6);
        for (int i = 1; i < 6; ++i)
            use.bind(first + i, qint64(0));
        return;
    }
    use.bind(first, qint64(tally->redCells)).bind(first + 1, qint64(tally->unreachable ? 1 : 0));
    use.bind(first + 2, qint64(tally->homeStatus)).bind(first + 3, qint64(tally->changes));
    use.bind(first + 4, qint64(tally->worse)).bind(first + 5, qint64(tally->better));
    if (tally->comparedWith > 0)
        use.bind(first + 6, tally->comparedWith);
    else
        use.bindNull(first + 6);
}

// Binds a row's tally to ?first and the four after it.
void bindRowTally(Use &use, int first, const RowTally *row)
{
    if (!row) {
        for (int i = 0; i < 5; ++i)
            use.bindNull(first + i);
        return;
    }
    use.bind(first, qint64(row->backlink)).bind(first + 1, row->follow).bind(first + 2, row->pages);
    use.bind(first + 3, qint64(row->rank)).bind(first + 4, qint64(row->status));
}

} // namespace

struct HistoryStore::Statements {
    std::array<sqlite3_stmt *, kSqlCount> prepared{};
    ~Statements()
    {
        for (sqlite3_stmt *statement : prepared)
            sqlite3_finalize(statement);
    }
    sqlite3_stmt *operator[](int which) const { return prepared[std::size_t(which)]; }
};

// Version 2: a check read whole, kept for the comparison of the next.
struct HistoryStore::LastRead {
    qint64 id = 0;
    SiteRows rows;
};

bool HistoryStore::startCall()
{
    m_error = {};
    return isOpen() || (fail(HistoryFailure::CannotOpen, QStringLiteral("the history is not open")), false);
}

template <typename Bind, typename Read>
bool HistoryStore::eachRow(int which, Bind bind, Read read)
{
    Use query((*m_statements)[which]);
    bind(query);
    int result;
    while ((result = query.step()) == SQLITE_ROW)
        if (!read(query))
            return false;
    return result == SQLITE_DONE || fail(result);
}

template <typename Item, typename Bind, typename Read>
QList<Item> HistoryStore::listOf(int which, Bind bind, Read read)
{
    QList<Item> items;
    if (!startCall())
        return items;
    const auto take = [&](Use &query) {
        items.append(read(query));
        return true;
    };
    if (!eachRow(which, bind, take))
        return {};
    return items;
}

HistoryStore::HistoryStore(HistoryOptions options) : m_options(options) {}

HistoryStore::~HistoryStore()
{
    close();
}

bool HistoryStore::open(const QString &path)
{
    close();
    m_error = {};
    m_path = path;
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        fail(HistoryFailure::CannotOpen, QStringLiteral("cannot open the history %1: cannot make the folder %2")
                                             .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(folder)));
        return false;
    }
    const int opened = sqlite3_open_v2(QDir::toNativeSeparators(path).toUtf8().constData(), &m_db,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (opened != SQLITE_OK || !m_db) {
        if (!m_db) {
            fail(HistoryFailure::Failed, QStringLiteral("cannot open the history %1: out of memory")
                                             .arg(QDir::toNativeSeparators(path)));
            return false;
        }
        fail(opened);
        close();
        return false;
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, int(m_options.busyTimeout.count()));

    // Reading the header is where a file that is not SQLite shows.
    const std::optional<qint64> applicationId = number("PRAGMA application_id");
    const std::optional<qint64> version = applicationId ? number("PRAGMA user_version") : std::nullopt;
    const std::optional<qint64> tables = version ? number("SELECT count(*) FROM sqlite_schema") : std::nullopt;
    if (!tables) {
        close();
        return false;
    }
    const bool fresh = *applicationId == 0 && *tables == 0;
    if (!fresh && *applicationId != kHistoryApplicationId) {
        fail(HistoryFailure::NotHistory, QStringLiteral("%1 is not a friendlinks history (another program's database)")
                                             .arg(QDir::toNativeSeparators(path)));
        close();
        return false;
    }
    if (*version > historySchemaVersion()) {
        fail(HistoryFailure::Newer, QStringLiteral("the history %1 was written by a newer friendlinks (schema %2; "
                                                   "this one knows up to %3)")
                                        .arg(QDir::toNativeSeparators(path))
                                        .arg(*version)
                                        .arg(historySchemaVersion()));
        close();
        return false;
    }
    if (!configure(fresh) || (*version < historySchemaVersion() && !migrate()) || !prepare() ||
        !useCurrentCodec()) {
        close();
        return false;
    }
    return true;
}

// Connection settings; a new file first gets room given back when checks are dropped.
bool HistoryStore::configure(bool fresh)
{
    if (fresh && !exec("PRAGMA auto_vacuum = INCREMENTAL"))
        return false;
    // WAL lets a reader (the window) and a writer (a cron job) work at once; a
    // file system without shared memory keeps the rollback journal, which also works.
    if (!exec("PRAGMA journal_mode = WAL"))
        return false;
    // With WAL a crash of the program never loses a committed check; only a
    // power cut may drop the last few, and no fsync a check spares the disk.
    if (!exec("PRAGMA synchronous = NORMAL"))
        return false;
    if (m_options.maxBytes > 0) {
        const std::optional<qint64> pageSize = number("PRAGMA page_size");
        if (!pageSize)
            return false;
        const qint64 pages = std::max<qint64>(1, m_options.maxBytes / std::max<qint64>(1, *pageSize));
        if (!exec(("PRAGMA max_page_count = " + QByteArray::number(pages)).constData()))
            return false;
    }
    return true;
}

// The one number a pragma or query answers.
std::optional<qint64> HistoryStore::number(const char *sql)
{
    sqlite3_stmt *statement = nullptr;
    int result = sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr);
    qint64 value = 0;
    if (result == SQLITE_OK) {
        result = sqlite3_step(statement);
        value = sqlite3_column_int64(statement, 0);
    }
    sqlite3_finalize(statement);
    if (result != SQLITE_ROW)
        return fail(result), std::nullopt;
    return value;
}

bool HistoryStore::migrate()
{
    if (!exec("BEGIN IMMEDIATE"))
        return false;
    // Another program may have brought it up to date while this one waited.
    const std::optional<qint64> version = number("PRAGMA user_version");
    if (!version)
        return rollback(), false;
    const auto &steps = historyMigrations();
    for (qsizetype step = *version; step < steps.size(); ++step) {
        if (!exec(steps[step])) {
            rollback();
            return false;
        }
    }
    // Checks recorded before version 2 get the tallies new ones get when recorded.
    if (*version < kTalliesVersion && (!prepare() || !fillTallies())) {
        rollback();
        return false;
    }
    const QByteArray stamp = "PRAGMA application_id = " + QByteArray::number(kHistoryApplicationId) +
                             "; PRAGMA user_version = " + QByteArray::number(steps.size());
    if (!exec(stamp.constData()) || !exec("COMMIT")) {
        rollback();
        return false;
    }
    return true;
}

bool HistoryStore::prepare()
{
    m_statements = std::make_unique<Statements>();
    for (int which = 0; which < kSqlCount; ++which) {
        const int result = sqlite3_prepare_v3(m_db, kSql[which], -1, SQLITE_PREPARE_PERSISTENT,
                                              &m_statements->prepared[std::size_t(which)], nullptr);
        if (result != SQLITE_OK)
            return fail(result);
    }
    return true;
}

bool HistoryStore::useCurrentCodec()
{
    const QByteArray &current = currentHistoryDictionary();
    for (int attempt = 0; attempt < 2; ++attempt) {
        {
            Use find((*m_statements)[FindCodec]);
            find.bind(1, current);
            const int found = find.step();
            if (found == SQLITE_ROW) {
                m_codecId = find.integer(0);
                m_dictionaries.insert(m_codecId, current);
                return true;
            }
            if (found != SQLITE_DONE)
                return fail(found);
        }
        Use add((*m_statements)[AddCodec]);
        const int added = add.bind(1, current).step();
        // A second program may have added it first: then it is found on the next round.
        if (added != SQLITE_DONE && (added & 0xff) != SQLITE_CONSTRAINT)
            return fail(added);
    }
    return fail(SQLITE_INTERNAL);
}

void HistoryStore::close()
{
    m_statements.reset();
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_codecId = 0;
    m_dictionaries.clear();
    m_lastRead.reset();
}

qint64 HistoryStore::record(const CheckRecord &check)
{
    if (!startCall())
        return 0;
    // Read before the write lock is taken, so other writers wait less; kept for the site's next check.
    std::optional<SiteRows> read = readRows(check);
    if (!exec("BEGIN IMMEDIATE"))
        return 0;
    const auto abandon = [this]() -> qint64 {
        rollback();
        return 0;
    };
    const qint64 siteId = internedId(FindSite, AddSite, check.site);
    std::optional<RecordTally> tally;
    if (siteId == 0 || !tallyNew(check, siteId, read, tally))
        return abandon();
    const QByteArray siteWords = wordsFor(currentHistoryDictionary(), check.site); // wordsFor(…, lianjie) less the address
    qint64 checkId = 0;
    {
        Use add((*m_statements)[AddCheck]);
        add.bind(1, siteId).bind(2, check.mode).bind(3, check.started.toMSecsSinceEpoch());
        add.bind(4, check.finished.toMSecsSinceEpoch()).bind(5, check.programVersion).bind(6, m_codecId);
        const QByteArray outcome = m_packer.pack(check.outcome, siteWords);
        if (outcome.isEmpty())
            return fail(HistoryFailure::Failed, QStringLiteral("out of memory packing a check")), abandon();
        add.bind(7, outcome).bind(8, qint64(check.rows.size()));
        bindTally(add, 9, tally ? std::optional<CheckTally>(tally->check) : std::nullopt);
        if (const int result = add.step(); result != SQLITE_DONE) {
            fail(result);
            return abandon();
        }
        checkId = sqlite3_last_insert_rowid(m_db);
    }
    for (qsizetype position = 0; position < check.rows.size(); ++position) {
        const HistoryRow &row = check.rows[position];
        const qint64 friendId = internedId(FindFriend, AddFriend, row.lianjie);
        if (friendId == 0)
            return abandon();
        // Deflate never gives an empty stream: empty is a failure (of memory).
        const QByteArray payload = m_packer.pack(row.payload, siteWords + row.lianjie.toUtf8());
        if (payload.isEmpty())
            return fail(HistoryFailure::Failed, QStringLiteral("out of memory packing a check")), abandon();
        Use add((*m_statements)[AddRow]);
        add.bind(1, checkId).bind(2, qint64(position)).bind(3, friendId).bind(4, payload);
        bindRowTally(add, 5, tally && position < tally->rows.size() ? &tally->rows[position] : nullptr);
        if (const int result = add.step(); result != SQLITE_DONE) {
            fail(result);
            return abandon();
        }
    }
    if (!exec("COMMIT"))
        return abandon();
    if (read)
        m_lastRead = std::make_unique<LastRead>(LastRead{checkId, std::move(*read)});
    return checkId;
}

// The id of a text in a table that keeps each text once, added when new; 0 on failure.
qint64 HistoryStore::internedId(int findStatement, int addStatement, const QString &text)
{
    {
        Use find((*m_statements)[findStatement]);
        const int found = find.bind(1, text).step();
        if (found == SQLITE_ROW)
            return find.integer(0);
        if (found != SQLITE_DONE)
            return fail(found), 0;
    }
    Use add((*m_statements)[addStatement]);
    if (const int added = add.bind(1, text).step(); added != SQLITE_DONE)
        return fail(added), 0;
    return sqlite3_last_insert_rowid(m_db);
}

QList<CheckSummary> HistoryStore::checksOf(const QString &site)
{
    return listOf<CheckSummary>(
        ChecksOf, [&](Use &query) { query.bind(1, site); }, summaryOf);
}

std::optional<CheckRecord> HistoryStore::load(qint64 checkId)
{
    if (!startCall())
        return std::nullopt;
    // One snapshot for the check and its rows, whoever writes meanwhile.
    if (!exec("BEGIN"))
        return std::nullopt;
    std::optional<CheckRecord> check = loadInside(checkId);
    rollback(); // ends the read; nothing was written
    return check;
}

// load() inside a transaction already begun.
std::optional<CheckRecord> HistoryStore::loadInside(qint64 checkId)
{
    CheckRecord check;
    qint64 codecId = 0;
    {
        Use query((*m_statements)[LoadCheck]);
        const int result = query.bind(1, checkId).step();
        if (result == SQLITE_DONE) {
            fail(HistoryFailure::NotFound, QStringLiteral("the history %1 has no check %2")
                                               .arg(QDir::toNativeSeparators(m_path))
                                               .arg(checkId));
            return std::nullopt;
        }
        if (result != SQLITE_ROW)
            return fail(result), std::nullopt;
        check.site = query.text(0);
        check.mode = query.text(1);
        check.started = query.time(2);
        check.finished = query.time(3);
        check.programVersion = query.text(4);
        codecId = query.integer(5);
        const std::optional<QByteArray> outcome = unpack(codecId, query.blob(6), check.site);
        if (!outcome)
            return std::nullopt;
        check.outcome = *outcome;
    }
    const auto take = [&](Use &rows) {
        const QString lianjie = rows.text(0);
        const std::optional<QByteArray> payload = unpack(codecId, rows.blob(1), check.site, lianjie);
        if (payload)
            check.rows.append({lianjie, *payload});
        return payload.has_value();
    };
    if (!eachRow(LoadRows, [&](Use &rows) { rows.bind(1, checkId); }, take))
        return std::nullopt;
    return check;
}

std::optional<CheckSummary> HistoryStore::previousCheck(const QString &site, qint64 checkId)
{
    if (!startCall())
        return std::nullopt;
    Use query((*m_statements)[PreviousCheck]);
    const int result = query.bind(1, site).bind(2, checkId).step();
    if (result == SQLITE_ROW)
        return summaryOf(query);
    if (result != SQLITE_DONE)
        fail(result);
    return std::nullopt;
}

QList<FriendEntry> HistoryStore::friendHistory(const QString &site, const QString &lianjie)
{
    QList<FriendEntry> entries;
    if (!startCall())
        return entries;
    const auto take = [&](Use &query) {
        const std::optional<QByteArray> payload = unpack(query.integer(2), query.blob(3), site, lianjie);
        if (payload)
            entries.append({query.integer(0), query.time(1), *payload});
        return payload.has_value();
    };
    if (!eachRow(FriendRows, [&](Use &query) { query.bind(1, site).bind(2, lianjie); }, take))
        return {};
    return entries;
}

int HistoryStore::prune(const QDateTime &olderThan)
{
    return drop(ChecksBefore, {QByteArray::number(olderThan.toMSecsSinceEpoch())});
}

int HistoryStore::clearSite(const QString &site)
{
    return drop(ChecksOfSite, {site.toUtf8()});
}

// Drops the checks the select statement lists (and the texts no check uses
// any more) in one transaction.
int HistoryStore::drop(int selectStatement, const QList<QByteArray> &arguments)
{
    if (!startCall())
        return -1;
    if (!exec("BEGIN IMMEDIATE"))
        return -1;
    m_lastRead.reset(); // its id may be given again
    QList<qint64> ids;
    const auto bind = [&](Use &select) {
        if (selectStatement == ChecksBefore)
            select.bind(1, arguments.value(0).toLongLong());
        else
            select.bind(1, QString::fromUtf8(arguments.value(0)));
    };
    if (!eachRow(selectStatement, bind, [&](Use &select) { return ids.append(select.integer(0)), true; }))
        return rollback(), -1;
    for (const qint64 id : ids) {
        for (const int statement : {DropRows, DropCheck}) {
            Use drop((*m_statements)[statement]);
            if (const int result = drop.bind(1, id).step(); result != SQLITE_DONE)
                return fail(result), rollback(), -1;
        }
    }
    for (const int statement : {DropFriends, DropSites}) {
        Use drop((*m_statements)[statement]);
        if (const int result = drop.step(); result != SQLITE_DONE)
            return fail(result), rollback(), -1;
    }
    // Baidu's answers asked before the checks dropped are older than any check left could have used.
    if (selectStatement == ChecksBefore) {
        Use drop((*m_statements)[DropBaiduAnswers]);
        if (const int result = drop.bind(1, arguments.value(0).toLongLong()).step(); result != SQLITE_DONE)
            return fail(result), rollback(), -1;
    }
    if (!exec("COMMIT"))
        return rollback(), -1;
    // Gives the freed pages back to the file system; the checks are gone either way.
    sqlite3_exec(m_db, "PRAGMA incremental_vacuum", nullptr, nullptr, nullptr);
    return int(ids.size());
}

std::optional<QByteArray> HistoryStore::dictionary(qint64 codecId)
{
    if (const auto known = m_dictionaries.constFind(codecId); known != m_dictionaries.cend())
        return *known;
    Use query((*m_statements)[CodecDictionary]);
    const int result = query.bind(1, codecId).step();
    if (result != SQLITE_ROW) {
        if (result == SQLITE_DONE)
            fail(HistoryFailure::Corrupt, QStringLiteral("the history %1 is damaged: a packing dictionary is missing")
                                              .arg(QDir::toNativeSeparators(m_path)));
        else
            fail(result);
        return std::nullopt;
    }
    return *m_dictionaries.insert(codecId, query.blob(0));
}

std::optional<QByteArray> HistoryStore::unpack(qint64 codecId, const QByteArray &packed, const QString &site,
                                               const QString &lianjie)
{
    const std::optional<QByteArray> words = dictionary(codecId);
    if (!words)
        return std::nullopt;
    std::optional<QByteArray> data = unpackPayload(packed, wordsFor(*words, site, lianjie));
    if (!data)
        fail(HistoryFailure::Corrupt, QStringLiteral("the history %1 is damaged: a row cannot be unpacked")
                                          .arg(QDir::toNativeSeparators(m_path)));
    return data;
}

bool HistoryStore::exec(const char *sql)
{
    const int result = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    return result == SQLITE_OK || fail(result);
}

void HistoryStore::rollback()
{
    if (m_db && !sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

// Says what SQLite's result code means for the user; always false.
bool HistoryStore::fail(int code)
{
    const QString file = QDir::toNativeSeparators(m_path);
    QString detail = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(code));
    const int primary = code & 0xff;
    if (m_db && sqlite3_system_errno(m_db) != 0 && (primary == SQLITE_CANTOPEN || primary == SQLITE_IOERR))
        detail += QStringLiteral(": ") + qt_error_string(sqlite3_system_errno(m_db));
    switch (primary) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        fail(HistoryFailure::Locked, QStringLiteral("the history %1 is in use by another program (waited %2)")
                                         .arg(file, waitText(m_options.busyTimeout)));
        break;
    case SQLITE_NOTADB:
        fail(HistoryFailure::NotHistory,
             QStringLiteral("%1 is not a friendlinks history (not an SQLite database)").arg(file));
        break;
    case SQLITE_CORRUPT:
        fail(HistoryFailure::Corrupt, QStringLiteral("the history %1 is damaged (%2)").arg(file, detail));
        break;
    case SQLITE_FULL:
        fail(HistoryFailure::Full,
             QStringLiteral("the history %1 cannot grow: the disk or its size limit is full").arg(file));
        break;
    case SQLITE_READONLY:
        fail(HistoryFailure::ReadOnly, QStringLiteral("the history %1 cannot be written (%2)").arg(file, detail));
        break;
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        fail(HistoryFailure::CannotOpen, QStringLiteral("cannot open the history %1 (%2)").arg(file, detail));
        break;
    default:
        fail(HistoryFailure::Failed, QStringLiteral("the history %1: %2").arg(file, detail));
    }
    return false;
}

void HistoryStore::fail(HistoryFailure failure, const QString &reason)
{
    // The first failure is the cause; what a rollback adds after it is not.
    if (m_error.ok())
        m_error = {failure, reason};
}

std::optional<CheckSummary> HistoryStore::latestCheckBefore(const QString &site, const QDateTime &before)
{
    if (!startCall())
        return std::nullopt;
    Use query((*m_statements)[LatestCheckBefore]);
    const qint64 limit = before.isValid() ? before.toMSecsSinceEpoch() : std::numeric_limits<qint64>::max();
    const int result = query.bind(1, site).bind(2, limit).step();
    if (result == SQLITE_ROW)
        return summaryOf(query);
    if (result != SQLITE_DONE)
        fail(result);
    return std::nullopt;
}

bool HistoryStore::recordBaiduAnswer(const QString &query, const QString &mode, const QDateTime &askedAt,
                                     const QByteArray &answer)
{
    if (!startCall())
        return false;
    Use keep((*m_statements)[KeepBaiduAnswer]);
    keep.bind(1, query).bind(2, mode).bind(3, askedAt.toMSecsSinceEpoch()).bind(4, answer);
    if (const int result = keep.step(); result != SQLITE_DONE)
        return fail(result);
    return true;
}

std::optional<HistoryStore::BaiduAnswer> HistoryStore::baiduAnswer(const QString &query, const QString &mode,
                                                                    const QDateTime &notBefore)
{
    if (!startCall())
        return std::nullopt;
    Use find((*m_statements)[FindBaiduAnswer]);
    find.bind(1, query).bind(2, mode);
    find.bind(3, notBefore.isValid() ? notBefore.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min());
    const int result = find.step();
    if (result == SQLITE_ROW)
        return BaiduAnswer{find.time(0), find.blob(1)};
    if (result != SQLITE_DONE)
        fail(result);
    return std::nullopt;
}

// Version 2: the tallies kept beside checks and rows.

QList<TalliedCheck> HistoryStore::talliedChecksOf(const QString &site)
{
    const auto read = [](Use &query) {
        TalliedCheck check{summaryOf(query), std::nullopt};
        if (!query.isNull(6))
            check.tally = CheckTally{int(query.integer(6)),  query.integer(7) != 0,     int(query.integer(8)),
                                     int(query.integer(9)),  int(query.integer(10)),    int(query.integer(11)),
                                     query.maybe(12).value_or(0)};
        return check;
    };
    return listOf<TalliedCheck>(
        TalliedChecks, [&](Use &query) { query.bind(1, site); }, read);
}

namespace {

// A friend's point from a statement's columns: check id, start, then the row's typed values.
FriendPoint pointOf(Use &query)
{
    FriendPoint point{query.integer(0), query.time(1), std::nullopt};
    if (!query.isNull(2)) {
        RowTally row;
        row.backlink = BackLinkVerdict(std::clamp<qint64>(query.integer(2), 0, int(BackLinkVerdict::NotRead)));
        if (const std::optional<qint64> follow = query.maybe(3))
            row.follow = *follow != 0;
        row.pages = query.maybe(4);
        row.rank = RankVerdict(std::clamp<qint64>(query.integer(5), 0, int(RankVerdict::NotFirst)));
        row.status = int(query.integer(6));
        point.row = row;
    }
    return point;
}

} // namespace

QList<FriendPoint> HistoryStore::friendLine(const QString &site, const QString &lianjie)
{
    return listOf<FriendPoint>(
        FriendLine, [&](Use &query) { query.bind(1, site).bind(2, lianjie); }, pointOf);
}

// A check's rows as read from their json; none when they are not what `check` writes.
std::optional<SiteRows> HistoryStore::readRows(const CheckRecord &check)
{
    auto typed = readRecord(check);
    if (SiteRows *read = std::get_if<SiteRows>(&typed))
        return std::move(*read);
    return std::nullopt;
}

// The tally of a check about to be recorded, its rows as read (none when they
// cannot be: it is recorded as given, without one); false on a failure of the store.
bool HistoryStore::tallyNew(const CheckRecord &check, qint64 siteId, const std::optional<SiteRows> &read,
                            std::optional<RecordTally> &tally)
{
    if (!read)
        return true;
    qint64 previousId = 0;
    {
        Use query((*m_statements)[PreviousForRecord]);
        const int result = query.bind(1, siteId).bind(2, check.started.toMSecsSinceEpoch()).step();
        if (result == SQLITE_ROW)
            previousId = query.integer(0);
        else if (result != SQLITE_DONE)
            return fail(result);
    }
    const SiteRows *previous = nullptr;
    if (previousId > 0) {
        if (!m_lastRead || m_lastRead->id != previousId) {
            m_lastRead.reset();
            const HistoryError before = m_error;
            const std::optional<CheckRecord> record = loadInside(previousId);
            if (!record && m_error.failure != HistoryFailure::Corrupt)
                return false;
            m_error = before; // a damaged check before: this one is not compared
            if (std::optional<SiteRows> rows = record ? readRows(*record) : std::nullopt)
                m_lastRead = std::make_unique<LastRead>(LastRead{previousId, std::move(*rows)});
        }
        if (m_lastRead)
            previous = &m_lastRead->rows;
    }
    tally = tallyOf(*read, previous);
    tally->check.comparedWith = previous ? previousId : 0;
    return true;
}

// Gives the checks an older version recorded the tallies new checks get,
// inside the migration's transaction. A check whose rows cannot be read keeps
// none (its list says it is damaged), and the check after it is not compared.
bool HistoryStore::fillTallies()
{
    QList<std::pair<qint64, qint64>> checks; // id, site
    const auto take = [&](Use &all) { return checks.append({all.integer(0), all.integer(1)}), true; };
    if (!eachRow(AllChecksInOrder, [](Use &) {}, take))
        return false;
    std::optional<SiteRows> previous;
    qint64 previousId = 0, previousSite = 0;
    for (const auto &[id, siteId] : checks) {
        if (siteId != previousSite)
            previous.reset();
        previousSite = siteId;
        const HistoryError before = m_error;
        const std::optional<CheckRecord> record = loadInside(id);
        if (!record && m_error.failure != HistoryFailure::Corrupt)
            return false;
        m_error = before;
        std::optional<SiteRows> read = record ? readRows(*record) : std::nullopt;
        if (!read) {
            previous.reset();
            continue;
        }
        RecordTally tally = tallyOf(*read, previous ? &*previous : nullptr);
        tally.check.comparedWith = previous ? previousId : 0;
        {
            Use update((*m_statements)[SetCheckTally]);
            update.bind(1, id);
            bindTally(update, 2, tally.check);
            if (const int result = update.step(); result != SQLITE_DONE)
                return fail(result);
        }
        for (qsizetype position = 0; position < tally.rows.size(); ++position) {
            Use update((*m_statements)[SetRowTally]);
            update.bind(1, id).bind(2, qint64(position));
            bindRowTally(update, 3, &tally.rows[position]);
            if (const int result = update.step(); result != SQLITE_DONE)
                return fail(result);
        }
        previous = std::move(read);
        previousId = id;
    }
    return true;
}

QList<FriendPoint> HistoryStore::friendPointsBefore(const QString &site, const QString &lianjie, qint64 checkId,
                                                   int limit)
{
    const auto bind = [&](Use &query) {
        query.bind(1, site).bind(2, lianjie).bind(3, checkId).bind(4, qint64(qMax(limit, 0)));
    };
    return listOf<FriendPoint>(FriendPointsBefore, bind, pointOf);
}

QList<SitePoint> HistoryStore::sitePointsBefore(const QString &site, qint64 checkId, int checks)
{
    const auto bind = [&](Use &query) { query.bind(1, site).bind(2, checkId).bind(3, qint64(qMax(checks, 0))); };
    return listOf<SitePoint>(
        SitePointsBefore, bind, [](Use &query) { return SitePoint{query.text(7), pointOf(query)}; });
}

QString defaultHistoryPath(const QProcessEnvironment &environment)
{
    const QString chosen = environment.value(QStringLiteral("FRIENDLINKS_HISTORY"));
    if (!chosen.isEmpty())
        return chosen;
    // Not AppLocalDataLocation itself: that follows the running program's name
    // (a test suite, friendlinks.com on Windows), and every front end must find one file.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/friendlinks/history.sqlite");
}

} // namespace friendlinks
