#include "server/web_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>

std::string g_webFolder;

namespace {

struct FileType {
    const char* extension;
    const char* contentType;
    bool checkedEachVisit;
};

constexpr FileType kFileTypes[] = {
    {".html", "text/html; charset=utf-8", true},
    {".js", "text/javascript; charset=utf-8", true},
    {".txt", "text/plain; charset=utf-8", true},
    {".wasm", "application/wasm", true},
    {".vgz", "application/octet-stream", false},
    {".wav", "audio/wav", false},
    {".dat", "application/octet-stream", false},
    {".png", "image/png", false},
    {".webmanifest", "application/manifest+json", true},
};

bool EndsWith(const std::string& text, const char* end) {
    const std::string tail = end;
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool SafeName(const std::string& name) {
    if (name.empty() || name.size() > 200) return false;
    bool componentStart = true;
    for (char c : name) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '.' || c == '-' || c == '_' || c == '/';
        if (!plain || (componentStart && (c == '.' || c == '/'))) return false;
        componentStart = c == '/';
    }
    return !componentStart;
}

// The file opened for reading, when it is a regular file, with its status.
std::shared_ptr<const int> OpenRegular(const std::string& file, struct stat* st) {
    // Non-blocking, so that a pipe left in the folder cannot hold a thread.
    int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return nullptr;
    if (fstat(fd, st) != 0 || !S_ISREG(st->st_mode)) {
        close(fd);
        return nullptr;
    }
    return std::shared_ptr<const int>(new int(fd), [](const int* owned) {
        close(*owned);
        delete owned;
    });
}

std::string Trimmed(const std::string& text) {
    const size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return "";
    return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The q-value of one Accept-Encoding entry's parameters: 1 without one, 0 when malformed.
double QValue(std::istringstream& parameters) {
    std::string parameter;
    while (std::getline(parameters, parameter, ';')) {
        parameter = Trimmed(parameter);
        if (Lower(parameter.substr(0, 2)) != "q=") continue;
        const std::string value = parameter.substr(2);
        char* end = nullptr;
        const double q = std::strtod(value.c_str(), &end);
        bool wellFormed = !value.empty() &&
                          value.find_first_not_of("0123456789.") == std::string::npos &&
                          *end == '\0' && q <= 1;
        return wellFormed ? q : 0;
    }
    return 1;
}

// Whether an Accept-Encoding list takes gzip: codings in any case, each with its q-value, gzip
// (or x-gzip) by its own entry, or else by that of "*"; q=0 refuses.
bool AcceptsGzip(const std::string& accepted) {
    double named = -1, any = -1;
    std::istringstream list(accepted);
    std::string item;
    while (std::getline(list, item, ',')) {
        std::istringstream parts(item);
        std::string coding;
        std::getline(parts, coding, ';');
        coding = Lower(Trimmed(coding));
        if (coding == "gzip" || coding == "x-gzip") {
            named = std::max(named, QValue(parts));
        } else if (coding == "*") {
            any = QValue(parts);
        }
    }
    return (named >= 0 ? named : any) > 0;
}

// Whether an If-None-Match list of entity tags holds `tag`, compared weakly (a W/ before a tag
// does not count), or is "*" alone. A malformed list matches nothing.
bool TagMatches(const std::string& list, const std::string& tag) {
    if (Trimmed(list) == "*") return true;
    size_t i = 0;
    for (;;) {
        i = list.find_first_not_of(" \t,", i);
        if (i == std::string::npos) return false;
        if (list.compare(i, 2, "W/") == 0) i += 2;
        if (i >= list.size() || list[i] != '"') return false;
        const size_t close = list.find('"', i + 1);
        if (close == std::string::npos) return false;
        if (list.compare(i, close - i + 1, tag) == 0) return true;
        i = list.find_first_not_of(" \t", close + 1);
        if (i == std::string::npos || list[i] != ',') return false;
    }
}

Reply NotFound() {
    Reply reply = Refusal(404, "no such page");
    reply.body = "Not found\n";
    return reply;
}

}  // namespace

bool IsPlayPath(const std::string& path) {
    return path == "/tapdash/play" || path.rfind(kPlayPath, 0) == 0;
}

Reply WebFileReply(const std::string& path, const RequestHeaders& headers) {
    if (path == "/tapdash/play") {
        Reply reply;
        reply.status = 302;
        reply.body = std::string("Moved to ") + kPlayPath + "\n";
        reply.headers.emplace_back("Location", kPlayPath);
        return reply;
    }
    std::string name = path.substr(sizeof kPlayPath - 1);
    if (name.empty()) name = "index.html";
    if (g_webFolder.empty() || !SafeName(name)) return NotFound();
    const FileType* type = nullptr;
    for (const FileType& candidate : kFileTypes) {
        if (EndsWith(name, candidate.extension)) type = &candidate;
    }
    const std::string file = g_webFolder + "/" + name;
    struct stat st, zipped;
    std::shared_ptr<const int> body = type ? OpenRegular(file, &st) : nullptr;
    if (!body) return NotFound();
    // The twin counts only when it is no older than the file it compresses.
    std::shared_ptr<const int> twin =
        AcceptsGzip(headers.acceptEncoding) ? OpenRegular(file + ".gz", &zipped) : nullptr;
    const bool gzip = twin && zipped.st_mtime >= st.st_mtime;
    char tag[80];
    std::snprintf(tag, sizeof tag, "\"%llx-%llx%s\"", static_cast<unsigned long long>(st.st_size),
                  static_cast<unsigned long long>(st.st_mtim.tv_sec) * 1000000000ull +
                      static_cast<unsigned long long>(st.st_mtim.tv_nsec),
                  gzip ? "-gz" : "");
    Reply reply;
    reply.contentType = type->contentType;
    reply.headers.emplace_back("Cache-Control",
                               type->checkedEachVisit ? "no-cache" : "public, max-age=86400");
    reply.headers.emplace_back("ETag", tag);
    reply.headers.emplace_back("Vary", "Accept-Encoding");
    if (TagMatches(headers.ifNoneMatch, tag)) {
        reply.status = 304;
        return reply;
    }
    reply.file = gzip ? twin : body;
    reply.fileBytes = static_cast<unsigned long long>(gzip ? zipped.st_size : st.st_size);
    if (gzip) reply.headers.emplace_back("Content-Encoding", "gzip");
    return reply;
}
