#include "server/store.h"

#include <sqlite3.h>

#include <chrono>
#include <mutex>

// One connection shared by the server's worker threads; every statement runs under this lock.
static std::mutex g_storeLock;
static sqlite3* g_db = nullptr;
static sqlite3_stmt* g_insert = nullptr;
static sqlite3_stmt* g_newestMatch = nullptr;
static sqlite3_stmt* g_topIds = nullptr;
static sqlite3_stmt* g_topList = nullptr;
static sqlite3_stmt* g_count = nullptr;

// The row id grows with every submission, so it orders submissions by the time they arrived
// even when two share a millisecond or the clock was set back between runs.
static const char kSchema[] =
    "PRAGMA journal_mode=WAL;"
    "PRAGMA synchronous=FULL;"
    "CREATE TABLE IF NOT EXISTS submissions ("
    "  id INTEGER PRIMARY KEY AUTOINCREMENT,"
    "  first_name TEXT NOT NULL,"
    "  last_name TEXT NOT NULL,"
    "  addr TEXT NOT NULL,"
    "  country TEXT NOT NULL,"
    "  score INTEGER NOT NULL,"
    "  received_ms INTEGER NOT NULL);"
    "CREATE INDEX IF NOT EXISTS submissions_by_rank ON submissions (score DESC, id ASC);"
    "CREATE INDEX IF NOT EXISTS submissions_by_player"
    "  ON submissions (score, first_name, last_name, addr, country);";

static const char kInsert[] =
    "INSERT INTO submissions (first_name, last_name, addr, country, score, received_ms)"
    " VALUES (?1, ?2, ?3, ?4, ?5, ?6)";
static const char kNewestMatch[] =
    "SELECT MAX(id) FROM submissions WHERE score = ?1 AND first_name = ?2 AND last_name = ?3"
    " AND addr = ?4 AND country = ?5";
static const char kTopIds[] = "SELECT id FROM submissions ORDER BY score DESC, id ASC LIMIT 10";
static const char kTopList[] =
    "SELECT first_name, last_name, country, score FROM submissions"
    " ORDER BY score DESC, id ASC LIMIT 10";
static const char kCount[] = "SELECT COUNT(*) FROM submissions";

static bool Prepare(const char* sql, sqlite3_stmt** statement, std::string* error) {
    if (sqlite3_prepare_v2(g_db, sql, -1, statement, nullptr) == SQLITE_OK) return true;
    *error = sqlite3_errmsg(g_db);
    return false;
}

bool OpenScoreStore(const std::string& path, std::string* error) {
    std::lock_guard<std::mutex> lock(g_storeLock);
    if (sqlite3_open_v2(path.c_str(), &g_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        *error = g_db ? sqlite3_errmsg(g_db) : "out of memory";
        sqlite3_close(g_db);
        g_db = nullptr;
        return false;
    }
    sqlite3_busy_timeout(g_db, 5000);
    char* message = nullptr;
    if (sqlite3_exec(g_db, kSchema, nullptr, nullptr, &message) != SQLITE_OK) {
        *error = message ? message : "cannot create the schema";
        sqlite3_free(message);
        sqlite3_close(g_db);
        g_db = nullptr;
        return false;
    }
    if (!Prepare(kInsert, &g_insert, error) || !Prepare(kNewestMatch, &g_newestMatch, error) ||
        !Prepare(kTopIds, &g_topIds, error) || !Prepare(kTopList, &g_topList, error) ||
        !Prepare(kCount, &g_count, error)) {
        return false;
    }
    return true;
}

void CloseScoreStore() {
    std::lock_guard<std::mutex> lock(g_storeLock);
    for (sqlite3_stmt** statement : {&g_insert, &g_newestMatch, &g_topIds, &g_topList, &g_count}) {
        sqlite3_finalize(*statement);
        *statement = nullptr;
    }
    sqlite3_close(g_db);
    g_db = nullptr;
}

static void BindText(sqlite3_stmt* statement, int index, const std::string& text) {
    sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
}

static std::string ColumnText(sqlite3_stmt* statement, int column) {
    const unsigned char* text = sqlite3_column_text(statement, column);
    int bytes = sqlite3_column_bytes(statement, column);
    return text ? std::string(reinterpret_cast<const char*>(text), static_cast<size_t>(bytes))
                : std::string();
}

static int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

bool RecordSubmission(const Submission& submission) {
    std::lock_guard<std::mutex> lock(g_storeLock);
    sqlite3_reset(g_insert);
    BindText(g_insert, 1, submission.firstName);
    BindText(g_insert, 2, submission.lastName);
    BindText(g_insert, 3, submission.address);
    BindText(g_insert, 4, submission.country);
    sqlite3_bind_int(g_insert, 5, submission.score);
    sqlite3_bind_int64(g_insert, 6, NowMs());
    bool ok = sqlite3_step(g_insert) == SQLITE_DONE;
    sqlite3_reset(g_insert);
    return ok;
}

bool FindPlace(const Submission& submission, std::optional<int>* place) {
    std::lock_guard<std::mutex> lock(g_storeLock);
    place->reset();
    sqlite3_reset(g_newestMatch);
    sqlite3_bind_int(g_newestMatch, 1, submission.score);
    BindText(g_newestMatch, 2, submission.firstName);
    BindText(g_newestMatch, 3, submission.lastName);
    BindText(g_newestMatch, 4, submission.address);
    BindText(g_newestMatch, 5, submission.country);
    if (sqlite3_step(g_newestMatch) != SQLITE_ROW) {
        sqlite3_reset(g_newestMatch);
        return false;
    }
    bool found = sqlite3_column_type(g_newestMatch, 0) != SQLITE_NULL;
    int64_t id = sqlite3_column_int64(g_newestMatch, 0);
    sqlite3_reset(g_newestMatch);
    if (!found) return true;

    sqlite3_reset(g_topIds);
    int rank = 0;
    int step;
    while ((step = sqlite3_step(g_topIds)) == SQLITE_ROW) {
        ++rank;
        if (sqlite3_column_int64(g_topIds, 0) == id) {
            *place = rank;
            break;
        }
    }
    sqlite3_reset(g_topIds);
    return step == SQLITE_ROW || step == SQLITE_DONE;
}

bool ReadTopList(std::vector<TopEntry>* entries) {
    std::lock_guard<std::mutex> lock(g_storeLock);
    entries->clear();
    sqlite3_reset(g_topList);
    int step;
    while ((step = sqlite3_step(g_topList)) == SQLITE_ROW) {
        TopEntry entry;
        entry.place = static_cast<int>(entries->size()) + 1;
        entry.firstName = ColumnText(g_topList, 0);
        entry.lastName = ColumnText(g_topList, 1);
        entry.country = ColumnText(g_topList, 2);
        entry.score = sqlite3_column_int(g_topList, 3);
        entries->push_back(entry);
    }
    sqlite3_reset(g_topList);
    return step == SQLITE_DONE;
}

long long CountSubmissions() {
    std::lock_guard<std::mutex> lock(g_storeLock);
    sqlite3_reset(g_count);
    long long count = sqlite3_step(g_count) == SQLITE_ROW ? sqlite3_column_int64(g_count, 0) : -1;
    sqlite3_reset(g_count);
    return count;
}
