// tapdash-player: asks for the player's details and writes config.dat where the game reads it.
#include <istream>
#include <ostream>
#include <streambuf>
#include <string>

#include "platform/platform.h"
#include "storage/player_files.h"
#include "tools/player_details_writer.h"

namespace {

// Standard input a line at a time through the platform, so that a name typed at a Windows
// console reaches config.dat in UTF-8 as it does everywhere else.
class ConsoleInput : public std::streambuf {
    std::string line_;

    int_type underflow() override {
        if (!PlatformReadLine(&line_)) return traits_type::eof();
        line_ += '\n';
        setg(line_.data(), line_.data(), line_.data() + line_.size());
        return traits_type::to_int_type(line_[0]);
    }
};

// Standard output through the platform, written at each flush.
class ConsoleOutput : public std::streambuf {
    std::string pending_;

    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof()))
            pending_ += traits_type::to_char_type(c);
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        pending_.append(text, static_cast<size_t>(count));
        return count;
    }
    int sync() override {
        PlatformWriteText(pending_);
        pending_.clear();
        return 0;
    }
};

}  // namespace

int main() {
    ConsoleInput consoleIn;
    ConsoleOutput consoleOut;
    std::istream in(&consoleIn);
    std::ostream out(&consoleOut);
    // config.dat goes where the game will read it: beside the program, or in the player's data
    // folder when the program folder cannot be written.
    g_programDir = PlatformProgramDir();
    const std::string dir = g_programDir.empty() ? std::string() : ChoosePlayerDir();
    int result = 1;
    if (dir.empty())
        out << "Cannot find the folder of this program. Nothing was saved.\n";
    else
        result = AskAndWritePlayerDetails(in, out, dir);
    // Started alone (from the Start menu), its window would close on the last line before a
    // screen reader has read it.
    if (PlatformConsoleEndsWithProgram()) {
        out << "Press Enter to close this window.\n";
        out.flush();
        std::string ignored;
        PlatformReadLine(&ignored);
    }
    out.flush();
    return result;
}
