// Host file access on POSIX systems, the same for every backend there (the Windows one is
// platform/win32/files_win32.cpp). Names come with backslashes and in whatever
// letter case the game spells them; the host's folders may differ in case, so each component
// that does not exist exactly is looked up without regard to case.
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "platform/posix/browser_files.h"

struct PlatformFileTag {
    int fd;
};

namespace {

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// The entry of `dir` whose name equals `name` without regard to case; the smallest such name
// when several do, so that the choice does not depend on the order of the folder.
bool FindWithoutCase(const std::string& dir, const std::string& name, std::string* found) {
    DIR* folder = opendir(dir.empty() ? "." : dir.c_str());
    if (!folder) return false;
    bool any = false;
    while (dirent* entry = readdir(folder)) {
        if (strcasecmp(entry->d_name, name.c_str()) != 0) continue;
        if (!any || *found > entry->d_name) *found = entry->d_name;
        any = true;
    }
    closedir(folder);
    return any;
}

std::string Resolve(const char* path) {
    std::string mapped = path ? path : "";
    for (char& c : mapped) {
        if (c == '\\') c = '/';
    }
    if (mapped.empty() || Exists(mapped)) return mapped;

    // Walk the components; everything from the first one that cannot be found stays as given.
    std::string resolved;
    size_t start = 0;
    if (mapped[0] == '/') {
        resolved = "/";
        start = 1;
    }
    while (start <= mapped.size()) {
        size_t slash = mapped.find('/', start);
        if (slash == std::string::npos) slash = mapped.size();
        std::string name = mapped.substr(start, slash - start);
        std::string candidate = resolved + name;
        if (!name.empty() && name != "." && name != ".." && !Exists(candidate)) {
            std::string match;
            if (!FindWithoutCase(resolved, name, &match)) return resolved + mapped.substr(start);
            candidate = resolved + match;
        }
        resolved = candidate;
        if (slash < mapped.size()) resolved += '/';
        start = slash + 1;
    }
    return resolved;
}

// root writes any file whatever its mode, so a file whose owner may not write it counts as
// read-only for everyone: the player made it so on purpose.
bool Writable(const struct stat& st, const std::string& path) {
    return S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) && access(path.c_str(), W_OK) == 0;
}

PlatformFile Wrap(int fd) {
    return fd < 0 ? nullptr : new PlatformFileTag{fd};
}

bool WriteAll(int fd, const void* data, size_t bytes) {
    const char* next = static_cast<const char*>(data);
    while (bytes > 0) {
        ssize_t written = write(fd, next, bytes);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        next += written;
        bytes -= static_cast<size_t>(written);
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

// Fails with the system's reason for the last call, as PlatformLastError gives it.
int Failed(const char* what, const std::string& path) {
    PlatformSetLastError("%s %s: %s", what, path.c_str(), std::strerror(errno));
    return 0;
}

// Writes `file` as one step: the bytes go to a temporary file in its folder with the given mode
// and owner, are flushed to disk and renamed over it, and the folder is flushed too.
int WriteThroughTemporary(const std::string& file, const void* data, size_t bytes, mode_t mode,
                          uid_t owner, gid_t group) {
#ifdef __EMSCRIPTEN__
    // In a browser the folder lives in memory and the browser's storage keeps the file in one
    // step; the memory folder's rename can leave a new name that readdir lists but a lookup
    // cannot find, so the bytes are written in place.
    (void)owner;
    (void)group;
    int memoryFd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode & 07777);
    if (memoryFd < 0) return Failed("cannot write", file);
    const bool written = WriteAll(memoryFd, data, bytes);
    if (close(memoryFd) != 0 || !written) return Failed("cannot write", file);
    BrowserKeepFile(file.c_str());
    return 1;
#endif
    std::string folder = FolderOf(file);
    std::string temp = folder + "." + file.substr(folder.size()) + ".XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) return Failed("cannot write beside", file);
    bool ok = WriteAll(fd, data, bytes);
    if (ok && (owner != geteuid() || group != getegid())) {
        // Keeps the owner when root replaces a player's file; others cannot change it anyway.
        if (fchown(fd, owner, group) != 0 && geteuid() == 0) ok = false;
    }
    ok = ok && fchmod(fd, mode & 07777) == 0 && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok || rename(temp.c_str(), file.c_str()) != 0) {
        const int error = errno;
        unlink(temp.c_str());
        errno = error;
        return Failed("cannot write", file);
    }
    int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return 1;
}

}  // namespace

std::string PlatformProgramDir() {
    char buffer[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) {
        Failed("cannot read", "/proc/self/exe");
        return {};
    }
    std::string exe(buffer, static_cast<size_t>(length));
    size_t slash = exe.rfind('/');
    if (slash == std::string::npos) return {};
    return exe.substr(0, slash + 1);
}

std::string PlatformResolvePath(const char* path) {
    return Resolve(path);
}

PlatformFile PlatformOpenRead(const char* path) {
#ifdef __EMSCRIPTEN__
    BrowserAwaitFile(path);
#endif
    std::string resolved = Resolve(path);
    int fd = open(resolved.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        Failed("cannot open", resolved);
        return nullptr;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        if (S_ISDIR(st.st_mode)) errno = EISDIR;
        Failed("cannot read", resolved);
        close(fd);
        return nullptr;
    }
    return Wrap(fd);
}

PlatformFile PlatformOpenWriteExisting(const char* path) {
    std::string resolved = Resolve(path);
    struct stat st;
    if (stat(resolved.c_str(), &st) != 0 || !Writable(st, resolved)) return nullptr;
    return Wrap(open(resolved.c_str(), O_WRONLY | O_CLOEXEC));
}

long PlatformRead(PlatformFile file, void* buffer, size_t maxBytes) {
    if (!file) return -1;
    char* next = static_cast<char*>(buffer);
    size_t total = 0;
    while (total < maxBytes) {
        ssize_t got = read(file->fd, next + total, maxBytes - total);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return total > 0 ? static_cast<long>(total) : -1;
        if (got == 0) break;
        total += static_cast<size_t>(got);
    }
    return static_cast<long>(total);
}

long PlatformWrite(PlatformFile file, const void* data, size_t bytes) {
    if (!file) return -1;
    return WriteAll(file->fd, data, bytes) ? static_cast<long>(bytes) : -1;
}

int PlatformFlush(PlatformFile file) {
    return file && fsync(file->fd) == 0 ? 1 : 0;
}

void PlatformClose(PlatformFile file) {
    if (!file) return;
    close(file->fd);
    delete file;
}

int PlatformReplaceFile(const char* path, const void* data, size_t bytes) {
    std::string resolved = Resolve(path);
    // Through a symbolic link, the file it points at is the one replaced.
    char target[PATH_MAX];
    if (!realpath(resolved.c_str(), target)) return Failed("cannot find", resolved);
    std::string file = target;
    struct stat st;
    if (stat(file.c_str(), &st) != 0) return Failed("cannot find", file);
    if (!Writable(st, file)) {
        PlatformSetLastError("%s is read-only", file.c_str());
        return 0;
    }
    return WriteThroughTemporary(file, data, bytes, st.st_mode, st.st_uid, st.st_gid);
}

int PlatformWriteFile(const char* path, const void* data, size_t bytes) {
    std::string resolved = Resolve(path);
    struct stat st;
    if (stat(resolved.c_str(), &st) == 0 || errno != ENOENT) {
        return PlatformReplaceFile(path, data, bytes);
    }
    // A new file gets the mode the player's umask gives new files.
    const mode_t mask = umask(0);
    umask(mask);
    return WriteThroughTemporary(resolved, data, bytes, 0666 & ~mask, geteuid(), getegid());
}
