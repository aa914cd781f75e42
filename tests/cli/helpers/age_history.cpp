// age_history FILE DAYS: every check recorded in the history FILE as if it had
// run DAYS days earlier (its start and end moved back), so that a test can
// play days one after another without a clock in the product.
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: age_history FILE DAYS\n");
        return 2;
    }
    const long long days = std::atoll(argv[2]);
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "age_history: %s\n", db ? sqlite3_errmsg(db) : "cannot open");
        sqlite3_close(db);
        return 1;
    }
    const long long ms = days * 86400000LL;
    const std::string sql = "UPDATE check_run SET started_ms = started_ms - " + std::to_string(ms)
        + ", finished_ms = finished_ms - " + std::to_string(ms);
    char *message = nullptr;
    const int result = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message);
    if (result != SQLITE_OK)
        std::fprintf(stderr, "age_history: %s\n", message ? message : "failed");
    sqlite3_free(message);
    sqlite3_close(db);
    return result == SQLITE_OK ? 0 : 1;
}
