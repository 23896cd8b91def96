#include "tools/player_details_writer.h"

#include <istream>
#include <ostream>

#include "platform/platform.h"

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
    const std::string bytes = DetailsFileBytes(fields);
    if (!PlatformWriteFile(path.c_str(), bytes.data(), bytes.size())) {
        out << "Could not write " << path << " (" << PlatformLastError()
            << "). Nothing was saved.\n";
        return 1;
    }
    out << "Saved. Tapdash will send these details with your score.\n";
    return 0;
}

std::string ExecutableFolder() {
    return PlatformProgramDir();
}
