#include "server/store.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>

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
// Databases made before addresses were kept get the column on first start.
static const char kHasClientColumn[] =
    "SELECT COUNT(*) FROM pragma_table_info('submissions') WHERE name = 'client'";
static const char kAddClientColumn[] =
    "ALTER TABLE submissions ADD COLUMN client TEXT;"
    "CREATE INDEX IF NOT EXISTS submissions_with_client ON submissions (received_ms)"
    "  WHERE client IS NOT NULL;";

static const char kInsert[] =
    "INSERT INTO submissions (first_name, last_name, addr, country, score, received_ms, client)"
    " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)";
static const char kForget[] =
    "UPDATE submissions SET client = NULL, received_ms = received_ms - received_ms % 86400000"
    " WHERE client IS NOT NULL AND received_ms < ?1";
// Submissions forgotten before times were coarsened.
static const char kCoarsenForgotten[] =
    "UPDATE submissions SET received_ms = received_ms - received_ms % 86400000"
    " WHERE client IS NULL AND received_ms % 86400000 != 0";
static const char kNewestMatch[] =
    "SELECT MAX(id) FROM submissions WHERE score = ?1 AND first_name = ?2 AND last_name = ?3"
    " AND addr = ?4 AND country = ?5 AND client = ?6 AND received_ms >= ?7";
static const char kTopIds[] = "SELECT id FROM submissions ORDER BY score DESC, id ASC LIMIT 10";
static const char kTopList[] =
    "SELECT first_name, last_name, country, score FROM submissions"
    " ORDER BY score DESC, id ASC LIMIT 10";
static const char kCount[] = "SELECT COUNT(*) FROM submissions";

static std::mutex g_writerLock;
static sqlite3* g_writer = nullptr;
static sqlite3_stmt* g_insert = nullptr;
static sqlite3_stmt* g_forget = nullptr;
static std::string g_path;
// Readers compare it with the one their connection was opened for, and reopen after a change.
static std::atomic<int> g_generation{0};

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

static bool Prepare(sqlite3* db, const char* sql, sqlite3_stmt** statement) {
    return sqlite3_prepare_v2(db, sql, -1, statement, nullptr) == SQLITE_OK;
}

static bool Exec(sqlite3* db, const char* sql, std::string* error) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
    if (error) *error = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    return false;
}

static void CloseWriter() {
    sqlite3_finalize(g_insert);
    sqlite3_finalize(g_forget);
    sqlite3_close(g_writer);
    g_insert = g_forget = nullptr;
    g_writer = nullptr;
}

bool OpenScoreStore(const std::string& path, std::string* error) {
    std::lock_guard<std::mutex> lock(g_writerLock);
    // A new database is its owner's alone whatever the umask; SQLite gives its journals the
    // database's mode. An existing one keeps the mode its operator gave it.
    int created = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (created >= 0) close(created);
    if (sqlite3_open_v2(path.c_str(), &g_writer, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        *error = g_writer ? sqlite3_errmsg(g_writer) : "out of memory";
        CloseWriter();
        return false;
    }
    sqlite3_busy_timeout(g_writer, 5000);
    sqlite3_stmt* hasClient = nullptr;
    bool ok = Exec(g_writer, kSchema, error) && Prepare(g_writer, kHasClientColumn, &hasClient) &&
              sqlite3_step(hasClient) == SQLITE_ROW;
    bool migrate = ok && sqlite3_column_int(hasClient, 0) == 0;
    sqlite3_finalize(hasClient);
    ok = ok && (!migrate || Exec(g_writer, kAddClientColumn, error)) &&
         Exec(g_writer, kCoarsenForgotten, error);
    ok = ok && Prepare(g_writer, kInsert, &g_insert) && Prepare(g_writer, kForget, &g_forget);
    if (!ok) {
        if (error->empty()) *error = sqlite3_errmsg(g_writer);
        CloseWriter();
        return false;
    }
    g_path = path;
    ++g_generation;
    return true;
}

void CloseScoreStore() {
    std::lock_guard<std::mutex> lock(g_writerLock);
    CloseWriter();
    ++g_generation;
}

static void BindText(sqlite3_stmt* statement, int index, const std::string& text) {
    sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
}

bool RecordSubmissions(const std::vector<NewSubmission>& submissions) {
    std::lock_guard<std::mutex> lock(g_writerLock);
    if (!g_writer || !Exec(g_writer, "BEGIN IMMEDIATE", nullptr)) return false;
    int64_t now = NowMs();
    bool ok = true;
    for (const NewSubmission& item : submissions) {
        const Submission& submission = item.submission;
        sqlite3_reset(g_insert);
        BindText(g_insert, 1, submission.firstName);
        BindText(g_insert, 2, submission.lastName);
        BindText(g_insert, 3, submission.address);
        BindText(g_insert, 4, submission.country);
        sqlite3_bind_int(g_insert, 5, submission.score);
        sqlite3_bind_int64(g_insert, 6, now);
        BindText(g_insert, 7, item.client);
        ok = ok && sqlite3_step(g_insert) == SQLITE_DONE;
        sqlite3_reset(g_insert);
    }
    if (ok && Exec(g_writer, "COMMIT", nullptr)) return true;
    Exec(g_writer, "ROLLBACK", nullptr);
    return false;
}

bool ForgetClientAddresses(int64_t beforeMs) {
    std::lock_guard<std::mutex> lock(g_writerLock);
    if (!g_writer) return false;
    sqlite3_reset(g_forget);
    sqlite3_bind_int64(g_forget, 1, beforeMs);
    bool ok = sqlite3_step(g_forget) == SQLITE_DONE;
    sqlite3_reset(g_forget);
    return ok;
}

namespace {

// The reading connection of one thread, opened on first use.
struct Reader {
    sqlite3* db = nullptr;
    sqlite3_stmt* newestMatch = nullptr;
    sqlite3_stmt* topIds = nullptr;
    sqlite3_stmt* topList = nullptr;
    sqlite3_stmt* count = nullptr;
    sqlite3_stmt* begin = nullptr;
    sqlite3_stmt* commit = nullptr;
    int generation = -1;

    void Close() {
        for (sqlite3_stmt* statement : {newestMatch, topIds, topList, count, begin, commit}) {
            sqlite3_finalize(statement);
        }
        sqlite3_close(db);
        db = nullptr;
        newestMatch = topIds = topList = count = begin = commit = nullptr;
        generation = -1;
    }
    ~Reader() { Close(); }

    bool Open() {
        int wanted = g_generation.load();
        if (db && generation == wanted) return true;
        Close();
        std::string path;
        {
            std::lock_guard<std::mutex> lock(g_writerLock);
            if (!g_writer) return false;
            path = g_path;
        }
        if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
            !Exec(db, "PRAGMA query_only=1", nullptr) || !Prepare(db, kNewestMatch, &newestMatch) ||
            !Prepare(db, kTopIds, &topIds) || !Prepare(db, kTopList, &topList) ||
            !Prepare(db, kCount, &count) || !Prepare(db, "BEGIN", &begin) ||
            !Prepare(db, "COMMIT", &commit)) {
            Close();
            return false;
        }
        sqlite3_busy_timeout(db, 5000);
        generation = wanted;
        return true;
    }
};

thread_local Reader t_reader;

}  // namespace

bool FindPlace(const Submission& submission, const std::string& client, int64_t sinceMs,
               std::optional<int>* place) {
    place->reset();
    Reader& reader = t_reader;
    if (!reader.Open()) return false;
    // Both statements read one snapshot, so a write between them cannot shift the ranking.
    int began = sqlite3_step(reader.begin);
    sqlite3_reset(reader.begin);
    if (began != SQLITE_DONE) return false;
    sqlite3_stmt* match = reader.newestMatch;
    sqlite3_reset(match);
    sqlite3_bind_int(match, 1, submission.score);
    BindText(match, 2, submission.firstName);
    BindText(match, 3, submission.lastName);
    BindText(match, 4, submission.address);
    BindText(match, 5, submission.country);
    BindText(match, 6, client);
    sqlite3_bind_int64(match, 7, sinceMs);
    int step = sqlite3_step(match);
    bool found = step == SQLITE_ROW && sqlite3_column_type(match, 0) != SQLITE_NULL;
    int64_t id = found ? sqlite3_column_int64(match, 0) : 0;
    sqlite3_reset(match);

    if (found) {
        sqlite3_reset(reader.topIds);
        int rank = 0;
        while ((step = sqlite3_step(reader.topIds)) == SQLITE_ROW) {
            ++rank;
            if (sqlite3_column_int64(reader.topIds, 0) == id) {
                *place = rank;
                step = SQLITE_DONE;
                break;
            }
        }
        sqlite3_reset(reader.topIds);
    }
    sqlite3_step(reader.commit);
    sqlite3_reset(reader.commit);
    return step == SQLITE_ROW || step == SQLITE_DONE;
}

bool ReadTopList(std::vector<TopEntry>* entries) {
    entries->clear();
    Reader& reader = t_reader;
    if (!reader.Open()) return false;
    sqlite3_stmt* list = reader.topList;
    sqlite3_reset(list);
    auto text = [&](int column) {
        const unsigned char* value = sqlite3_column_text(list, column);
        int bytes = sqlite3_column_bytes(list, column);
        return value ? std::string(reinterpret_cast<const char*>(value), static_cast<size_t>(bytes))
                     : std::string();
    };
    int step;
    while ((step = sqlite3_step(list)) == SQLITE_ROW) {
        TopEntry entry;
        entry.place = static_cast<int>(entries->size()) + 1;
        entry.firstName = text(0);
        entry.lastName = text(1);
        entry.country = text(2);
        entry.score = sqlite3_column_int(list, 3);
        entries->push_back(entry);
    }
    sqlite3_reset(list);
    return step == SQLITE_DONE;
}

long long CountSubmissions() {
    Reader& reader = t_reader;
    if (!reader.Open()) return -1;
    sqlite3_reset(reader.count);
    long long count =
        sqlite3_step(reader.count) == SQLITE_ROW ? sqlite3_column_int64(reader.count, 0) : -1;
    sqlite3_reset(reader.count);
    return count;
}
