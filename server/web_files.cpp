#include "server/web_files.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

std::string g_webFolder;

namespace {

struct FileType {
    const char* extension;
    const char* contentType;
    bool checkedEachVisit;
};

constexpr FileType kFileTypes[] = {
    {".html", "text/html; charset=utf-8", true}, {".js", "text/javascript; charset=utf-8", true},
    {".txt", "text/plain; charset=utf-8", true}, {".wasm", "application/wasm", true},
    {".vgz", "application/octet-stream", false}, {".wav", "audio/wav", false},
    {".dat", "application/octet-stream", false},
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

bool RegularFile(const std::string& file, struct stat* st) {
    return stat(file.c_str(), st) == 0 && S_ISREG(st->st_mode);
}

// Whether the Accept-Encoding list names gzip (or "*") without refusing it with q=0.
bool AcceptsGzip(const std::string& accepted) {
    std::istringstream list(accepted);
    std::string item;
    while (std::getline(list, item, ',')) {
        const size_t start = item.find_first_not_of(" \t");
        if (start == std::string::npos) continue;
        const size_t end = item.find_first_of(" \t;", start);
        const std::string coding = item.substr(start, end - start);
        if (coding != "gzip" && coding != "x-gzip" && coding != "*") continue;
        const size_t q = item.find("q=");
        if (q == std::string::npos || std::strtod(item.c_str() + q + 2, nullptr) > 0) return true;
    }
    return false;
}

// Whether an If-None-Match list holds `tag` (or is "*").
bool TagMatches(const std::string& list, const std::string& tag) {
    return list.find('*') != std::string::npos || list.find(tag) != std::string::npos;
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
    if (!type || !RegularFile(file, &st)) return NotFound();
    // The twin counts only when it is no older than the file it compresses.
    const bool gzip = AcceptsGzip(headers.acceptEncoding) && RegularFile(file + ".gz", &zipped) &&
                      zipped.st_mtime >= st.st_mtime;
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
    std::ifstream in(gzip ? file + ".gz" : file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!in) return Refusal(500, "the file could not be read");
    reply.body = bytes.str();
    if (gzip) reply.headers.emplace_back("Content-Encoding", "gzip");
    return reply;
}
