#include "protocol/bot_protocol.h"
#include "protocol/bot_server.h"

#include <array>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace pellaro {

namespace {

// Every reply the protocol allows reads as its move, and nothing else reads
// at all.
TEST(Protocol, RepliesReadExactlyAsWritten) {
    struct Case {
        std::string line;
        RequestKind kind;
        bool read;
        TurnAction action;
        std::int32_t row;
    };
    const std::vector<Case> cases = {
        {"D", RequestKind::Move, true, TurnAction::Draw, -1},
        {"T 1", RequestKind::Move, true, TurnAction::Take, 0},
        {"T 5", RequestKind::Move, true, TurnAction::Take, 4},
        {"3", RequestKind::Place, true, TurnAction::Draw, 2},
        {"T 0", RequestKind::Move, false, {}, 0},
        {"T 6", RequestKind::Move, false, {}, 0},
        {"T 01", RequestKind::Move, false, {}, 0},
        {"T  1", RequestKind::Move, false, {}, 0},
        {"t 1", RequestKind::Move, false, {}, 0},
        {"D ", RequestKind::Move, false, {}, 0},
        {"D\r", RequestKind::Move, false, {}, 0},
        {"2", RequestKind::Move, false, {}, 0},
        {"D", RequestKind::Place, false, {}, 0},
        {"T 2", RequestKind::Place, false, {}, 0},
        {"", RequestKind::Place, false, {}, 0},
        {"-1", RequestKind::Place, false, {}, 0},
    };
    for (const Case& c : cases) {
        const auto reply = parseReply(c.line, c.kind);
        ASSERT_EQ(reply.has_value(), c.read) << '"' << c.line << '"';
        if (reply) {
            EXPECT_EQ(reply->action, c.action) << c.line;
            EXPECT_EQ(reply->row, c.row) << c.line;
            const std::string written = replyLine(*reply);
            EXPECT_EQ(written, c.line + "\n");
        }
    }
}

// A request that is not well formed, or whose table no game reaches, is
// refused, whatever field is wrong.
TEST(Protocol, RequestsThatNoTableFitsAreRefused) {
    // Seat 2 of three, row 2 taken by seat 1 this round.
    const std::string good = "move 99 3 2 17 0 RG+ *BW - 3,1,1,0,0,0,0,1,1 0,0,0,4,0,0,1,0,2 "
                             "0,0,0,0,0,0,0,0,0 100 5,7,8,5,9,9,8,2,6";
    BotRequest request;
    std::string error;
    ASSERT_TRUE(parseRequest(good, request, error)) << error;
    EXPECT_EQ(request.table.currentPlayer, 1);
    EXPECT_TRUE(request.table.rows[1].taken);
    EXPECT_TRUE(request.table.rows[0].full);
    std::string again;
    appendRequest(again, RequestKind::Move, 99, SeatView(request.table), noCard);
    EXPECT_EQ(again, good + "\n");

    const auto with = [&good](const std::string& from, const std::string& to) {
        std::string line = good;
        line.replace(line.find(from), from.size(), to);
        return line;
    };
    // More words than any table has.
    std::string tooManyWords = good;
    for (int word = 0; word < 40; ++word) {
        tooManyWords += " 0";
    }
    const std::vector<std::string> refused = {
        "",
        with("move", "mov"),
        with("move", "place"),    // no card
        good + " R",              // a card on a move
        with("99", "-1"),         // seed
        with(" 3 2 ", " 6 2 "),   // players
        with(" 3 2 ", " 3 0 "),   // seat
        with(" 3 2 ", " 3 1 "),   // a seat out of the round
        with(" 17 ", " 18 "),     // cards drawn
        with(" 0 RG+", " 1 RG+"), // last round
        with("RG+", "RG+R"),      // a row of four
        with("RG+", "RX+"),       // no such card
        with("*BW", "*-"),        // a taken row without cards
        with("*BW", "BW"),        // the row's cards counted twice
        with(" 100 ", " 10 "),    // out of the round, per seat
        with(" 100 ", " 120 "),
        with("5,7,8,5,9,9,8,2,6", "5,7,8,5,9,9,8,2,7"),   // unseen cards
        with("5,7,8,5,9,9,8,2,6", "5,7,8,5,9,9,8,2"),     // eight kinds
        with("3,1,1,0,0,0,0,1,1", "3,1,1,0,0,0,0,1,1,0"), // ten kinds
        with(" - ", "  "),                                // an empty word
        "move 1",
        good + std::string(40, ' ') + "0",
        with(" 3 2 ", " x 2 "),
        with(" 3 2 ", " 3 x "),
        with(" 17 ", " x "),
        with(" 17 ", " 77 "),
        with(" 0 RG+", " 2 RG+"),
        with("99", "099"),
        with("move", "place") + " RR",
        with("move", "place") + " X",
        with("3,1,1", "3;1,1"),
        with("3,1,1", "x,1,1"),
        with("0,0,0,4,0,0,1,0,2", "0,0,0,4,0,0,1,10,2"),
        with("99", "18446744073709551616"),              // a seed past 64 bits
        with("3,1,1,0,0,0,0,1,1", "3,1,1,0,0,0,0,1,"),   // a count missing at the end
        with("3,1,1,0,0,0,0,1,1", "3,1,1,0,0,0,0,1,1,"), // a comma after the last count
        tooManyWords,
    };
    for (const std::string& line : refused) {
        EXPECT_FALSE(parseRequest(line, request, error)) << line;
    }

    // A table no game reaches is refused with what is wrong with it.
    struct Named {
        std::string line;
        std::string reason;
    };
    const std::vector<Named> named = {
        {"move 6503994444967757138 2 1 15 0 *BB BB 1,0,1,1,1,1,1,0,0 0,1,2,1,0,0,2,0,1 00 "
         "8,8,4,7,8,8,6,3,9",
         "the rows taken disagree with the players out of the round"},
        {"move 1 2 1 72 1 + - 9,9,9,9,0,0,0,3,2 0,0,0,0,9,9,9,0,3 00 0,0,0,0,0,0,0,0,4",
         "a round after the game's end"},
        {with(" 3 2 ", " 3 1 "), "the seat to move is out of the round"},
        {with(" 0 RG+", " 1 RG+"), "the last round disagrees with the cards drawn"},
    };
    for (const Named& c : named) {
        error.clear();
        EXPECT_FALSE(parseRequest(c.line, request, error)) << c.line;
        EXPECT_EQ(error, "a table no game reaches: " + c.reason) << c.line;
    }
}

// What the server wrote to a client that sent `input` in one write, and
// whether it served it all, with its reason.
struct Served {
    std::string output;
    bool served = false;
    std::string error;
};

Served serveOnce(const BotSettings& bot, const std::string& input, bool writable = true) {
    std::array<int, 2> in{};
    std::array<int, 2> out{};
    EXPECT_EQ(pipe(in.data()), 0);
    EXPECT_EQ(pipe(out.data()), 0);
    // Small enough for a pipe's buffer: one read takes it all.
    EXPECT_EQ(write(in[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
    close(in[1]);
    Served served;
    // A pipe's reading end takes no write.
    served.served = serveBot(bot, "greedy", in[0], writable ? out[1] : out[0], served.error);
    close(in[0]);
    close(out[1]);
    std::array<char, 4096> chunk{};
    for (ssize_t got = 0; (got = read(out[0], chunk.data(), chunk.size())) > 0;) {
        served.output.append(chunk.data(), static_cast<std::size_t>(got));
    }
    close(out[0]);
    return served;
}

// Requests read together with a bad line are answered before the bad line
// is refused, the greeting first; an input that ends between lines is served.
TEST(Protocol, TheServerAnswersTheGoodLinesBeforeRefusingABadOne) {
    const std::string good = "move 99 3 2 17 0 RG+ *BW - 3,1,1,0,0,0,0,1,1 0,0,0,4,0,0,1,0,2 "
                             "0,0,0,0,0,0,0,0,0 100 5,7,8,5,9,9,8,2,6";
    BotRequest request;
    std::string error;
    ASSERT_TRUE(parseRequest(good, request, error)) << error;
    const BotSettings bot = *botNamed("greedy", defaultBudget);
    const std::string greeting = std::string(botGreeting) + " greedy\n";
    const std::string reply = servedReply(bot, request);
    const std::string hello = std::string(botGreeting) + "\n";
    struct Case {
        std::string input;
        std::string output;
        std::string says;
    };
    const std::vector<Case> cases = {
        {hello + good + "\n" + good + "\nnonsense\n", greeting + reply + reply, "line 4"},
        {hello + "nonsense\n" + good + "\n", greeting, "line 2"},
        {hello + good + "\n" + std::string(5000, 'x'), greeting + reply, "line 3 is longer than"},
        {"hello\n" + good + "\n", "", "line 1 is not"},
        {hello + good + "\nmove", greeting + reply, "the input ends inside a line"},
        {hello + good + "\n" + good + "\n", greeting + reply + reply, ""},
        {"", "", ""},
    };
    for (const Case& test : cases) {
        const Served served = serveOnce(bot, test.input);
        EXPECT_EQ(served.served, test.says.empty()) << served.error;
        EXPECT_EQ(served.output, test.output) << test.says;
        EXPECT_NE(served.error.find(test.says), std::string::npos) << served.error;
    }
    const Served unwritable = serveOnce(bot, hello, false);
    EXPECT_FALSE(unwritable.served);
    EXPECT_TRUE(unwritable.error.starts_with("cannot write the replies: ")) << unwritable.error;
}

} // namespace

} // namespace pellaro
