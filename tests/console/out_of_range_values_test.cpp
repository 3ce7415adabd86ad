// Values that no game hands to the console but a caller could: slots holding
// something that is no card, a draw prompt without a card, a winners list with
// nobody in it. The console shows what it can and never reads past its label
// table or the list.

#include "console/console_view.h"
#include "support/redirected_console.h"

#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace pellaro {

namespace {

CardKind notACard(std::int32_t value) {
    return static_cast<CardKind>(value);
}

TEST(OutOfRangeValues, ASlotThatHoldsNoCardEndsTheRowsCards) {
    struct Case {
        std::array<CardKind, rowLength> slots;
        std::string line;
    };
    const std::vector<Case> cases = {
        {{notACard(9), Red, Red}, "Row #1| \n"},
        {{Red, notACard(9), Blue}, "Row #1| R \n"},
        {{Wild, PlusTwo, notACard(100)}, "Row #1| W +2 \n"},
        {{notACard(-2), Green, Green}, "Row #1| \n"},
        {{Violet, noCard, Blue}, "Row #1| V \n"},
        {{Silver, notACard(std::numeric_limits<std::int32_t>::min()), Red}, "Row #1| S \n"},
    };
    for (const Case& c : cases) {
        RedirectedConsole console("");
        ConsoleView view{};
        view.playerCount = 2;
        view.showBoard({PlayerState{}, PlayerState{}}, {Row{false, false, c.slots}, Row{}}, false);
        // The row after it is shown as usual.
        const std::string expected = "\n\n\n\nCurrent board\n" + c.line + "Row #2| \n";
        EXPECT_EQ(console.output().substr(0, expected.size()), expected) << c.line;
    }
}

TEST(OutOfRangeValues, ADrawPromptWithoutACardShowsNoLabel) {
    for (const CardKind card : {noCard, notACard(9), notACard(-9), notACard(1000)}) {
        RedirectedConsole console("2\n");
        const ConsoleView view{};
        EXPECT_EQ(view.askRow(TurnAction::Draw, card), 1) << card;
        EXPECT_EQ(console.output(), "\nThe card drawn is \nPlease enter the row to place it on: ")
            << card;
    }
}

TEST(OutOfRangeValues, AWinnersListWithNobodyInItNamesNobody) {
    for (const std::int32_t top : {0, 14, -3}) {
        RedirectedConsole console("");
        ConsoleView view{};
        view.playerCount = 3;
        view.showWinners(top, {});
        EXPECT_EQ(console.output(), "\n") << top;
    }
}

} // namespace

} // namespace pellaro
