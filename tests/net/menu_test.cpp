#include "../../net/lobby_menu.h"
#include "net_test_files.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pellaro {
namespace {

struct MenuCase {
    const char* what;
    std::vector<HeldSeat> seats;
    std::vector<std::string> typed;
    // Every command sent, and what the last line typed showed.
    std::vector<std::string> sent;
    std::string shown;
};

TEST(LobbyMenu, TurnsTypedLinesIntoCommands) {
    const std::vector<HeldSeat> one = {{"AB12", 2, sampleToken}};
    const std::vector<HeldSeat> two = {{"AB12", 2, sampleToken}, {"CD34", 1, sampleToken}};
    const std::vector<MenuCase> cases = {
        {"create with computer players", {}, {"c", "4", "2", "h"}, {"CREATE PPHH"}, ""},
        {"create for people alone", {}, {"C", "3", "3"}, {"CREATE PPP"}, ""},
        {"spaces and lower case", {}, {" c ", " 2", "1 ", "easy"}, {"CREATE PE"}, ""},
        {"players 6", {}, {"c", "6"}, {}, "Please enter the number of players (2-5): "},
        {"players in words", {}, {"c", "four"}, {}, "Please enter the number of players (2-5): "},
        {"more people than players",
         {},
         {"c", "3", "4"},
         {},
         "Please enter the number of people (1-3): "},
        {"no people", {}, {"c", "2", "0"}, {}, "Please enter the number of people (1-2): "},
        {"bad strength",
         {},
         {"c", "2", "1", "x"},
         {},
         "Invalid choice!\nComputer players: (E)asy, (M)edium or (H)ard? "},
        {"asks for people", {}, {"c", "5"}, {}, "Enter number of people (1-5): "},
        {"join", {}, {"j", "AB12"}, {"JOIN AB12"}, ""},
        {"a code with spaces",
         {},
         {"j", "AB 12"},
         {},
         "Please enter the table's code, letters and digits: "},
        {"a code too long",
         {},
         {"w", "ABCDEFGHIJKLMNOPQ"},
         {},
         "Please enter the table's code, letters and digits: "},
        {"watch", {}, {"W", "xy9"}, {"WATCH xy9"}, ""},
        {"list and quit", {}, {"l", "q"}, {"LIST", "QUIT"}, ""},
        {"a verb passes unchanged", {}, {"join AB12 3"}, {"join AB12 3"}, ""},
        {"a verb leaves a question", {}, {"c", "Help", "j", "Z1"}, {"Help", "JOIN Z1"}, ""},
        {"a word that is no verb", {}, {"helpme"}, {}, "Invalid choice!\n" + menuPrompt},
        {"an empty line", {}, {""}, {}, menuPrompt},
        {"resume without a seat", {}, {"r"}, {}, "Invalid choice!\n" + menuPrompt},
        {"resume the one seat", one, {"R"}, {"RESUME AB12 2 " + sampleToken}, ""},
        {"resume one of two", two, {"r", "3", "2"}, {"RESUME CD34 1 " + sampleToken}, ""},
        {"lists the seats",
         two,
         {"r"},
         {},
         "  1. table AB12, seat 2\n  2. table CD34, seat 1\nWhich one (1-2): "},
    };
    for (const MenuCase& test : cases) {
        LobbyMenu lobby;
        lobby.holdSeats(test.seats);
        lobby.offer();
        std::vector<std::string> sent;
        std::string shown;
        for (const std::string& typed : test.typed) {
            const MenuStep step = lobby.take(typed);
            sent.insert(sent.end(), step.send.begin(), step.send.end());
            shown = step.show;
        }
        EXPECT_EQ(sent, test.sent) << test.what;
        EXPECT_EQ(shown, test.shown) << test.what;
    }
}

TEST(LobbyMenu, OffersTheSeatsHeld) {
    LobbyMenu lobby;
    EXPECT_EQ(lobby.offer(), menuPrompt);
    lobby.holdSeats({{"AB12", 2, sampleToken}});
    EXPECT_EQ(lobby.offer(), "(R)esume your seat at table AB12\n" + menuPrompt);
    lobby.holdSeats({{"AB12", 2, sampleToken}, {"CD34", 1, sampleToken}});
    EXPECT_EQ(lobby.offer(), "(R)esume one of your 2 seats\n" + menuPrompt);
}

} // namespace
} // namespace pellaro
