#include "tools/player_details_writer.h"

#include <istream>
#include <ostream>

#include "platform/platform.h"
#include "storage/player_details.h"

const char* const kDetailsPrompts[kPlayerDetailsFieldCount] = {"First name", "Last name", "Address",
                                                               "Country"};

int AskAndWritePlayerDetails(std::istream& in, std::ostream& out, const std::string& dir) {
    out << "Tapdash player details, sent with your score. Type each answer and press Enter.\n";
    std::string fields[kPlayerDetailsFieldCount];
    for (int i = 0; i < kPlayerDetailsFieldCount; ++i) {
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
