// The player's own folder on POSIX systems: where it is, whether a folder can be written, and
// its making. In the browser the page's storage keeps the program folder's files instead.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/platform.h"

namespace {

std::string WithSlash(std::string dir) {
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

}  // namespace

std::string PlatformPlayerDataDir() {
#ifdef __EMSCRIPTEN__
    return {};
#else
    std::string home = PlatformEnvironment("HOME");
    if (home.empty()) {
        const passwd* entry = getpwuid(getuid());
        if (entry && entry->pw_dir) home = entry->pw_dir;
    }
    // A relative XDG_DATA_HOME is invalid and ignored, as the base-directory rules say.
    std::string data = PlatformEnvironment("XDG_DATA_HOME");
    if (data.empty() || data[0] != '/') {
        if (home.empty() || home[0] != '/') return {};
        data = WithSlash(home) + ".local/share";
    }
    return WithSlash(data) + "tapdash/";
#endif
}

bool PlatformFolderWritable(const std::string& dir) {
    struct stat st;
    if (dir.empty() || stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        !(st.st_mode & S_IWUSR)) {
        return false;
    }
    std::string probe = WithSlash(dir) + ".tapdash-write-test.XXXXXX";
    int fd = mkstemp(probe.data());
    if (fd < 0) return false;
    close(fd);
    return unlink(probe.c_str()) == 0;
}

bool PlatformMakePrivateFolder(const std::string& dir) {
    if (dir.empty()) return false;
    // Each folder from the top down; one that is there already is left as it is.
    for (size_t slash = dir.find('/', 1); slash != std::string::npos;
         slash = dir.find('/', slash + 1)) {
        const std::string folder = dir.substr(0, slash);
        if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) break;
    }
    const std::string whole = dir.back() == '/' ? dir.substr(0, dir.size() - 1) : dir;
    if (mkdir(whole.c_str(), 0700) != 0 && errno != EEXIST) {
        PlatformSetLastError("cannot make %s: %s", whole.c_str(), std::strerror(errno));
        return false;
    }
    struct stat st;
    return stat(whole.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PlatformCreateEmptyFile(const char* path) {
    const std::string resolved = PlatformResolvePath(path);
    int fd = open(resolved.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return close(fd) == 0;
    if (errno != EEXIST) {
        PlatformSetLastError("cannot make %s: %s", resolved.c_str(), std::strerror(errno));
        return false;
    }
    struct stat st;
    return stat(resolved.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}
