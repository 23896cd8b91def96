#include "server/web_files.h"

#include <sys/stat.h>

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
    {".txt", "text/plain; charset=utf-8", true}, {".wasm", "application/wasm", false},
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

Reply NotFound() {
    Reply reply = Refusal(404, "no such page");
    reply.body = "Not found\n";
    return reply;
}

}  // namespace

bool IsPlayPath(const std::string& path) {
    return path == "/tapdash/play" || path.rfind(kPlayPath, 0) == 0;
}

Reply WebFileReply(const std::string& path) {
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
    struct stat st;
    if (!type || stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return NotFound();
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!in) return Refusal(500, "the file could not be read");
    Reply reply;
    reply.contentType = type->contentType;
    reply.body = bytes.str();
    reply.headers.emplace_back("Cache-Control",
                               type->checkedEachVisit ? "no-cache" : "public, max-age=86400");
    return reply;
}
