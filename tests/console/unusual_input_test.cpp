#include "console/console_input.h"
#include "driver/main_loop.h"
#include "support/pinned_clock.h"
#include "support/session.h"

#include <gtest/gtest.h>
#include <ios>
#include <iostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

namespace pellaro {

namespace {

// Standard input as a terminal delivers it: each piece is what one read
// returns, and after each piece but the last, one read reports the end of
// input (Ctrl-D) before the next piece comes. With `failAtEnd`, the read after
// the last piece fails as a closed or unreadable input does, by throwing.
struct ScriptedInput : std::streambuf {
    ScriptedInput(std::vector<std::string> pieces, bool failAtEnd)
        : pieces(std::move(pieces)), failAtEnd(failAtEnd) {}

    int_type underflow() override {
        if (next < pieces.size() && (next == 0 || endReported)) {
            endReported = false;
            std::string& piece = pieces[next++];
            setg(piece.data(), piece.data(), piece.data() + piece.size());
            return traits_type::to_int_type(piece.front());
        }
        if (next == pieces.size() && failAtEnd) {
            throw std::ios_base::failure("read error");
        }
        endReported = true;
        return traits_type::eof();
    }

    std::vector<std::string> pieces;
    bool failAtEnd = false;
    std::size_t next = 0;
    bool endReported = false;
};

// The whole program's main loop on the scripted input.
SessionResult runScripted(ScriptedInput& input) {
    std::ostringstream out;
    std::streambuf* const oldIn = std::cin.rdbuf(&input);
    std::streambuf* const oldOut = std::cout.rdbuf(out.rdbuf());
    resetConsoleInput();
    SessionResult result;
    result.status = MainLoop();
    result.output = out.str();
    std::cin.rdbuf(oldIn);
    std::cout.rdbuf(oldOut);
    resetConsoleInput();
    return result;
}

// A read that fails ends the program as the end of input does at the same
// question: status 0 and not one byte more.
TEST(UnusualInput, AFailingReadIsTheEndOfInput) {
    pinClock(2000);
    for (const std::string typed :
         {"", "n\n", "n\n3\n", "n\n3\nd", "n\n3\nd\n", "n\n3\nd\n2\n", "y\n", "y\n\n\n"}) {
        SCOPED_TRACE("typed \"" + typed + "\"");
        ScriptedInput input({typed.empty() ? std::string("\n") : typed}, true);
        const SessionResult failed = runScripted(input);
        const SessionResult ended = runSession(typed.empty() ? "\n" : typed);
        EXPECT_EQ(failed.status, 0);
        EXPECT_EQ(failed.output, ended.output);
        EXPECT_GT(failed.output.size(), 0U);
    }
}

// Ctrl-D in the middle of a word ends the word; the terminal then reads on,
// and the next line typed answers the next question instead of being thrown
// away as the rest of the word's line.
TEST(UnusualInput, AWordEndedByCtrlDLeavesTheNextLineToTheNextQuestion) {
    pinClock(2000);
    struct Case {
        std::vector<std::string> pieces;
        std::string sameAsTyped;
    };
    const std::vector<Case> cases = {
        {{"n", "3\n"}, "n\n3\n"},
        {{"no", "4\n"}, "no\n4\n"},
        {{"n\n3\nd", "2\n"}, "n\n3\nd\n2\n"},
        {{"n\n2\nd", "1\nt", "1\n"}, "n\n2\nd\n1\nt\n1\n"},
        {{"y", "\n\n\n\n5\n"}, "y\n\n\n\n\n5\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("typed \"" + c.sameAsTyped + "\"");
        ScriptedInput input(c.pieces, false);
        const SessionResult result = runScripted(input);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.output, runSession(c.sameAsTyped).output);
    }
}

} // namespace

} // namespace pellaro
