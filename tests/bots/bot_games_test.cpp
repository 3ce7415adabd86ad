#include "bot_tables.h"
#include "bots/bot.h"
#include "bots/bot_game.h"
#include "bots/seat_view.h"
#include "engine/game_state.h"
#include "engine/seeded_random.h"
#include "engine/turn_rules.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pellaro {

namespace {

std::vector<Bot> botsFor(const GameState& game, const std::vector<BotSettings>& settings,
                         std::uint64_t seed) {
    std::vector<Bot> bots;
    bots.reserve(settings.size());
    for (std::int32_t seat = 0; seat < game.numberOfPlayers; ++seat) {
        bots.push_back(newBot(settings.at(seat), seed, seat));
    }
    return bots;
}

// Plays the game to its end as programs drive bots, checking that the
// engine accepts every action and every row a bot returns.
void playCheckingEveryMove(GameState& game, std::vector<Bot>& bots, const std::string& where) {
    bool over = false;
    for (std::int32_t move = 0; !over; ++move) {
        ASSERT_LT(move, 200) << where;
        Bot& bot = bots.at(game.currentPlayer);
        const SeatView view(game);
        const DeckOrder order = deckOrderFor(bot, game);
        const TurnAction action = chooseAction(bot, view, order);
        ASSERT_TRUE(isActionPossible(game, action))
            << where << ", move " << move << ", " << bot.settings.entry->name;
        const std::int32_t row = chooseRow(
            bot, view, action, action == TurnAction::Draw ? topCard(game) : noCard, order);
        ASSERT_TRUE(isRowValid(game, action, row))
            << where << ", move " << move << ", " << bot.settings.entry->name << " chose row "
            << row;
        over = applyMove(game, action, row);
    }
    EXPECT_TRUE(isLastRound(game)) << where;
}

// Every strategy in every seat of games of every size, the searches at a
// small budget: every decision is legal and every game is played out.
TEST(BotGames, EveryStrategyMakesOnlyLegalMoves) {
    const std::int32_t games = scaledGames(400);
    const auto entries = botRegistry();
    for (std::int32_t index = 0; index < games; ++index) {
        GameState game = seededDeal(minPlayers + index % 4, deriveSeed(31, index));
        std::vector<BotSettings> settings;
        settings.reserve(maxPlayers);
        for (std::int32_t seat = 0; seat < game.numberOfPlayers; ++seat) {
            settings.push_back(testSettings(entries[(index + seat) % entries.size()]));
        }
        std::vector<Bot> bots = botsFor(game, settings, deriveSeed(32, index));
        ASSERT_NO_FATAL_FAILURE(playCheckingEveryMove(game, bots, "game " + std::to_string(index)));
    }
}

// The cheap strategies over many more games.
TEST(BotGames, RandomAndGreedyMakeOnlyLegalMovesOverManyGames) {
    const std::int32_t games = scaledGames(3000);
    for (std::int32_t index = 0; index < games; ++index) {
        GameState game = seededDeal(minPlayers + index % 4, deriveSeed(33, index));
        std::vector<BotSettings> settings;
        settings.reserve(maxPlayers);
        for (std::int32_t seat = 0; seat < game.numberOfPlayers; ++seat) {
            settings.push_back(settingsNamed((index + seat) % 2 == 0 ? "random" : "greedy"));
        }
        std::vector<Bot> bots = botsFor(game, settings, deriveSeed(34, index));
        ASSERT_NO_FATAL_FAILURE(playCheckingEveryMove(game, bots, "game " + std::to_string(index)));
    }
}

bool sameMoves(const std::vector<PlayedMove>& left, const std::vector<PlayedMove>& right) {
    if (left.size() != right.size()) {
        return false;
    }
    for (std::size_t move = 0; move < left.size(); ++move) {
        if (left[move].action != right[move].action || left[move].row != right[move].row ||
            left[move].card != right[move].card) {
            return false;
        }
    }
    return true;
}

std::vector<PlayedMove> playedGame(std::int32_t players, const BotSettings& bot,
                                   std::uint64_t seed) {
    GameState game = seededDeal(players, seed);
    std::vector<BotSettings> settings(static_cast<std::size_t>(players), bot);
    std::vector<Bot> bots = botsFor(game, settings, seed);
    std::vector<PlayedMove> moves;
    playBotGame(game, bots, &moves);
    return moves;
}

// A game between bots is a pure function of its seed and the bots'
// settings: played again it is the same game, move for move; another seed
// gives another game.
TEST(BotGames, SameSeedSameGame) {
    for (const BotEntry* entry : botRegistry()) {
        for (std::int32_t players = minPlayers; players <= maxPlayers; players += 3) {
            const std::vector<PlayedMove> first = playedGame(players, testSettings(entry), 41);
            EXPECT_TRUE(sameMoves(first, playedGame(players, testSettings(entry), 41)))
                << entry->name << ", " << players << " players";
            EXPECT_FALSE(sameMoves(first, playedGame(players, testSettings(entry), 42)))
                << entry->name << ", " << players << " players";
        }
    }
}

// Each seat's bot has a stream of its own, the same for the same game seed
// and seat, and different for other seats and other games.
TEST(BotGames, EachSeatHasItsOwnStream) {
    const BotSettings settings = settingsNamed("random");
    Bot first = newBot(settings, 5, 0);
    Bot again = newBot(settings, 5, 0);
    Bot otherSeat = newBot(settings, 5, 1);
    Bot otherGame = newBot(settings, 6, 0);
    const std::uint64_t value = nextBits(first.random);
    EXPECT_EQ(value, nextBits(again.random));
    EXPECT_NE(value, nextBits(otherSeat.random));
    EXPECT_NE(value, nextBits(otherGame.random));
}

// Every name in the registry finds its own entry, and only the registry's
// names are bots; the names' list for messages holds every one.
TEST(BotGames, TheRegistryNamesEveryBotOnce) {
    const std::string list = botNameList();
    for (const BotEntry* entry : botRegistry()) {
        EXPECT_EQ(botEntryNamed(entry->name), entry);
        EXPECT_NE(list.find(entry->name), std::string::npos) << entry->name;
        EXPECT_TRUE(entry->chooseAction != nullptr && entry->chooseRow != nullptr) << entry->name;
    }
    EXPECT_EQ(botEntryNamed("montecarlo")->name, "montecarlo");
    EXPECT_EQ(botEntryNamed("Greedy"), nullptr);
    EXPECT_EQ(botEntryNamed(""), nullptr);
}

// Names with budgets and settings read back to the settings they were
// written from, and each budget has one spelling.
TEST(BotGames, BotsByNameWithTheirBudgets) {
    for (const BotEntry* entry : botRegistry()) {
        for (const std::int32_t budget : {1, 500, 1000, mostBudget}) {
            const BotSettings settings{entry, budget};
            const std::string name = botName(settings, 500);
            const bool plain = budget == 500 || !entry->searches;
            EXPECT_EQ(name.find(':') == std::string::npos, plain) << name;
            const BotSettings expected = plain ? BotSettings{entry, 500} : settings;
            EXPECT_EQ(botNamed(name, 500), expected) << name;
        }
    }
    BotSettings tuned = settingsNamed("ismcts", 200);
    tuned.exploration = 0.25;
    tuned.marginScale = 0.05;
    EXPECT_EQ(botName(tuned, 1000), "ismcts:200:exploration=0.25:scale=0.05");
    EXPECT_EQ(botNamed("ismcts:200:exploration=0.25:scale=0.05", 1000), tuned);
    EXPECT_EQ(botName(settingsNamed("ismcts", 200), 1000), "ismcts:200");
    for (const char* bad : {"montecarlo:0200",
                            "montecarlo:+5",
                            "montecarlo: 5",
                            "montecarlo:5:5",
                            "ismcts:99999999999",
                            "clairvoyant:",
                            ":5",
                            "random:1",
                            "greedy:exploration=1",
                            "ismcts:exploration=0",
                            "ismcts:exploration=-1",
                            "ismcts:exploration=inf",
                            "ismcts:depth=3",
                            "ismcts:scale=",
                            "ismcts:exploration=0.3x",
                            "montecarlo:100000001",
                            "ismcts:exploration=1e999",
                            "ismcts:exploration=nan",
                            "ismcts:reuse=maybe",
                            "ismcts:ties=",
                            "montecarlo:allocation=Even",
                            "ismcts:budget=5",
                            "ismcts:=5"}) {
        EXPECT_FALSE(botNamed(bad, 500).has_value()) << bad;
    }
}

// The setting moved off its default to another value a name may give. A
// setting added to Setting and missing here fails to compile.
void vary(BotSettings& settings, Setting setting) {
    switch (setting) {
    case Setting::Budget:
        settings.budget *= 2;
        break;
    case Setting::Exploration:
        settings.exploration *= 2;
        break;
    case Setting::Scale:
        settings.marginScale *= 2;
        break;
    case Setting::Objective:
        settings.objective = Objective::MarginBelowFive;
        break;
    case Setting::Playouts:
        settings.policy = PlayoutPolicy::Random;
        break;
    case Setting::Reuse:
        settings.reuse = !settings.reuse;
        break;
    case Setting::Ties:
        settings.ties = Ties::First;
        break;
    case Setting::Allocation:
        settings.allocation = Allocation::Even;
        break;
    case Setting::Stream:
        settings.stream = 7;
        break;
    }
}

// Settings that differ in any one thing a bot reads are another bot, which
// the simulator reports apart under another name that reads back to them,
// and which plays otherwise; a setting a bot does not read is refused with a
// reason, so that no two names play alike.
TEST(BotGames, SettingsDifferingInAnyOneThingAreAnotherBot) {
    for (std::int32_t index = 0; index < settingCount; ++index) {
        const auto setting = static_cast<Setting>(index);
        for (const BotEntry* entry : botRegistry()) {
            const BotSettings base = testSettings(entry);
            BotSettings other = base;
            vary(other, setting);
            const std::string name = botName(other, defaultBudget);
            const std::string where = name + " against " + botName(base, defaultBudget);
            std::string refusal;
            if ((entry->reads & settingBit(setting)) == 0) {
                // Written as a bot that reads it would write it.
                const auto reader = std::find_if(botRegistry().begin(), botRegistry().end(),
                                                 [setting](const BotEntry* any) {
                                                     return (any->reads & settingBit(setting)) != 0;
                                                 });
                ASSERT_NE(reader, botRegistry().end()) << settingWord(setting);
                BotSettings written = testSettings(*reader);
                vary(written, setting);
                const std::string givenName = botName(written, defaultBudget);
                const std::string given =
                    std::string(entry->name) + givenName.substr(givenName.rfind(':'));
                EXPECT_FALSE(botNamed(given, defaultBudget, &refusal).has_value()) << given;
                if (setting != Setting::Budget) {
                    EXPECT_EQ(refusal, std::string(entry->name) + " does not read " +
                                           std::string(settingWord(setting)));
                }
                continue;
            }
            EXPECT_FALSE(other == base) << where;
            EXPECT_NE(name, botName(base, defaultBudget)) << where;
            EXPECT_EQ(botNamed(name, defaultBudget, &refusal), other) << where;
            EXPECT_EQ(refusal, "") << where;
            bool playsOtherwise = false;
            for (std::int32_t players = minPlayers; players <= 3; ++players) {
                playsOtherwise = playsOtherwise || !sameMoves(playedGame(players, base, 43),
                                                              playedGame(players, other, 43));
            }
            EXPECT_TRUE(playsOtherwise) << where;
        }
    }
}

} // namespace

namespace {

// The manual page lists the registry's bots, in its order, and no other.
TEST(BotGames, TheManualPageListsEveryBot) {
    std::ifstream page(PELLARO_SIM_MANUAL);
    ASSERT_TRUE(page.is_open()) << PELLARO_SIM_MANUAL;
    std::vector<std::string> listed;
    std::string line;
    bool inBots = false;
    bool entry = false;
    while (std::getline(page, line)) {
        inBots = line == ".SS Bots" || (inBots && line.rfind(".S", 0) != 0);
        if (inBots && entry && line.rfind(".B ", 0) == 0) {
            listed.push_back(line.substr(3));
        }
        entry = line == ".TP";
    }
    const auto entries = botRegistry();
    std::vector<std::string> names(entries.size());
    std::transform(entries.begin(), entries.end(), names.begin(),
                   [](const BotEntry* bot) { return std::string(bot->name); });
    EXPECT_EQ(listed, names);
}

} // namespace

} // namespace pellaro
