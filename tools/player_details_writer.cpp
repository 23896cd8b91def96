#include "tools/player_details_writer.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <istream>
#include <ostream>

const char* const kDetailsPrompts[kDetailsFieldCount] = {"First name", "Last name", "Address",
                                                         "Country"};

std::string DetailsFieldProblem(const std::string& answer) {
    if (answer.empty()) return "Please type an answer; it cannot be empty.";
    if (answer.size() > size_t(kMaxDetailsFieldBytes))
        return "That is too long: at most 99 characters, and letters with accents count as two.";
    for (unsigned char c : answer) {
        if (c == '\n') return "An answer must fit on one line.";
        // The game splits the file at backquotes as well as at line feeds.
        if (c == '`') return "An answer cannot contain a backquote (`).";
        if (c < 0x20 || c == 0x7F) return "An answer cannot contain control characters.";
    }
    return {};
}

std::string DetailsFileBytes(const std::string (&fields)[kDetailsFieldCount]) {
    std::string bytes;
    for (const std::string& field : fields) bytes += field + '\n';
    return bytes;
}

// A path from UTF-8 text, whatever the system's own code page.
static std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// Writes through a temporary file so that a failure never leaves half a config.dat.
static bool WriteWhole(const std::string& path, const std::string& bytes) {
    const std::string temporary = path + ".new";
    std::error_code error;
    {
        std::ofstream file(PathOf(temporary), std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), std::streamsize(bytes.size()));
        file.close();
        if (!file.good()) {
            std::filesystem::remove(PathOf(temporary), error);
            return false;
        }
    }
    // The filesystem library's rename replaces an existing file on Windows too.
    std::filesystem::rename(PathOf(temporary), PathOf(path), error);
    if (error) {
        std::filesystem::remove(PathOf(temporary), error);
        return false;
    }
    return true;
}

int AskAndWritePlayerDetails(std::istream& in, std::ostream& out, const std::string& dir) {
    out << "Tapdash player details, sent with your score. Type each answer and press Enter.\n";
    std::string fields[kDetailsFieldCount];
    for (int i = 0; i < kDetailsFieldCount; ++i) {
        for (;;) {
            out << kDetailsPrompts[i] << ": " << std::flush;
            if (!std::getline(in, fields[i])) {
                out << "\nNothing was saved.\n";
                return 1;
            }
            // Input typed or pasted with Windows line ends carries a carriage return.
            if (!fields[i].empty() && fields[i].back() == '\r') fields[i].pop_back();
            std::string problem = DetailsFieldProblem(fields[i]);
            if (problem.empty()) break;
            out << problem << "\n";
        }
    }
    const std::string path = dir + "config.dat";
    if (!WriteWhole(path, DetailsFileBytes(fields))) {
        out << "Could not write " << path << ". Nothing was saved.\n";
        return 1;
    }
    out << "Saved. Tapdash will send these details with your score.\n";
    return 0;
}

std::string ExecutableFolder() {
#ifdef _WIN32
    wchar_t path[32768];
    DWORD length = GetModuleFileNameW(nullptr, path, 32768);
    if (length == 0 || length >= 32768) return {};
    std::filesystem::path self(std::wstring(path, length));
    std::u8string folder = self.parent_path().u8string();
    return std::string(folder.begin(), folder.end()) + "\\";
#else
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return self.parent_path().string() + "/";
#endif
}
