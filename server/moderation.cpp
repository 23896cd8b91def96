#include "server/moderation.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

// Long enough to wait out the recorder's write of a batch of scores.
constexpr int kBusyTimeoutMs = 10000;

// The existing database, never a new empty one made by a mistyped name.
sqlite3* OpenExisting(const std::string& db, int flags, FILE* err) {
    sqlite3* connection = nullptr;
    if (sqlite3_open_v2(db.c_str(), &connection, flags, nullptr) != SQLITE_OK) {
        std::fprintf(err, "tapdash-scores: no score database at %s: %s\n", db.c_str(),
                     connection ? sqlite3_errmsg(connection) : "out of memory");
        sqlite3_close(connection);
        return nullptr;
    }
    sqlite3_busy_timeout(connection, kBusyTimeoutMs);
    return connection;
}

std::string Text(sqlite3_stmt* row, int column) {
    const unsigned char* value = sqlite3_column_text(row, column);
    return value ? std::string(reinterpret_cast<const char*>(value),
                               static_cast<size_t>(sqlite3_column_bytes(row, column)))
                 : std::string();
}

// Whether `path` is, symlinks followed, the database or one of the journal files SQLite keeps
// beside it (by its own name or by the name a symlink to it resolves to).
bool IsDatabaseFile(const std::string& db, const std::string& path) {
    struct stat candidate;
    if (stat(path.c_str(), &candidate) != 0) return false;
    char* resolved = realpath(db.c_str(), nullptr);
    const std::string real = resolved ? resolved : db;
    std::free(resolved);
    for (const std::string& base : {db, real}) {
        for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
            struct stat own;
            if (stat((base + suffix).c_str(), &own) == 0 && own.st_dev == candidate.st_dev &&
                own.st_ino == candidate.st_ino) {
                return true;
            }
        }
    }
    return false;
}

std::string UtcTime(long long ms) {
    std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm parts{};
    gmtime_r(&seconds, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

}  // namespace

int ListBestSubmissions(const std::string& db, int count, FILE* out, FILE* err) {
    sqlite3* connection = OpenExisting(db, SQLITE_OPEN_READONLY, err);
    if (!connection) return 1;
    sqlite3_stmt* list = nullptr;
    int step = sqlite3_prepare_v2(connection,
                                  "SELECT id, received_ms, first_name, last_name, addr, country,"
                                  " score FROM submissions ORDER BY score DESC, id ASC LIMIT ?1",
                                  -1, &list, nullptr);
    if (step == SQLITE_OK) {
        sqlite3_bind_int(list, 1, count);
        std::fprintf(out, "id\ttime (UTC)\tfirst name\tlast name\taddress\tcountry\tscore\n");
        while ((step = sqlite3_step(list)) == SQLITE_ROW) {
            std::fprintf(out, "%lld\t%s\t%s\t%s\t%s\t%s\t%d\n", sqlite3_column_int64(list, 0),
                         UtcTime(sqlite3_column_int64(list, 1)).c_str(), Text(list, 2).c_str(),
                         Text(list, 3).c_str(), Text(list, 4).c_str(), Text(list, 5).c_str(),
                         sqlite3_column_int(list, 6));
        }
    }
    int status = step == SQLITE_DONE ? 0 : 1;
    if (status)
        std::fprintf(err, "tapdash-scores: cannot read %s: %s\n", db.c_str(),
                     sqlite3_errmsg(connection));
    sqlite3_finalize(list);
    sqlite3_close(connection);
    return status;
}

int RemoveSubmission(const std::string& db, long long id, FILE* out, FILE* err) {
    sqlite3* connection = OpenExisting(db, SQLITE_OPEN_READWRITE, err);
    if (!connection) return 1;
    sqlite3_stmt* remove = nullptr;
    int step = sqlite3_prepare_v2(connection, "DELETE FROM submissions WHERE id = ?1", -1, &remove,
                                  nullptr);
    if (step == SQLITE_OK) {
        sqlite3_bind_int64(remove, 1, id);
        step = sqlite3_step(remove);
    }
    int status = 1;
    if (step != SQLITE_DONE) {
        std::fprintf(err, "tapdash-scores: cannot remove entry %lld from %s: %s\n", id, db.c_str(),
                     sqlite3_errmsg(connection));
    } else if (sqlite3_changes(connection) == 0) {
        std::fprintf(err, "tapdash-scores: %s has no entry %lld\n", db.c_str(), id);
    } else {
        std::fprintf(out, "tapdash-scores: entry %lld removed\n", id);
        status = 0;
    }
    sqlite3_finalize(remove);
    sqlite3_close(connection);
    return status;
}

int BackupScores(const std::string& db, const std::string& file, FILE* out, FILE* err) {
    const std::string partial = file + ".partial";
    for (const std::string& written : {file, partial, partial + "-journal", partial + "-wal"}) {
        if (IsDatabaseFile(db, written)) {
            std::fprintf(err,
                         "tapdash-scores: cannot back up %s to %s: %s is the database or one of "
                         "its journals\n",
                         db.c_str(), file.c_str(), written.c_str());
            return 1;
        }
    }
    sqlite3* source = OpenExisting(db, SQLITE_OPEN_READONLY, err);
    if (!source) return 1;
    // The copy is made beside its target under a name of its own, never through a link, and
    // readable by its owner alone unless the target it replaces was readable by more.
    struct stat target;
    const mode_t mode = stat(file.c_str(), &target) == 0 ? (target.st_mode & 07777) : 0600;
    unlink(partial.c_str());
    int fd = open(partial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    bool done = fd >= 0 && fchmod(fd, mode) == 0;
    if (fd >= 0) close(fd);
    sqlite3* copy = nullptr;
    done =
        done && sqlite3_open_v2(partial.c_str(), &copy,
                                SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, nullptr) == SQLITE_OK;
    if (done) {
        // One step copies every page under one read transaction: the database as it stood then,
        // while the server goes on writing to its log.
        sqlite3_backup* backup = sqlite3_backup_init(copy, "main", source, "main");
        done = backup && sqlite3_backup_step(backup, -1) == SQLITE_DONE;
        done = backup && sqlite3_backup_finish(backup) == SQLITE_OK && done;
    }
    if (!done) {
        std::fprintf(err, "tapdash-scores: cannot back up %s to %s: %s\n", db.c_str(), file.c_str(),
                     copy ? sqlite3_errmsg(copy) : std::strerror(errno));
    }
    done = sqlite3_close(copy) == SQLITE_OK && done;
    sqlite3_close(source);
    if (done && std::rename(partial.c_str(), file.c_str()) != 0) {
        std::fprintf(err, "tapdash-scores: cannot put the backup in place as %s\n", file.c_str());
        done = false;
    }
    if (!done) {
        if (fd >= 0) unlink(partial.c_str());
        return 1;
    }
    std::fprintf(out, "tapdash-scores: %s backed up to %s\n", db.c_str(), file.c_str());
    return 0;
}
