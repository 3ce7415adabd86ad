// Writes the players' answers of the golden sessions. Each session is played
// here on the engine, with the deck that its pinned time gives, by a simple
// policy; the answers, bad ones included, become NAME.in. regenerate.sh then
// records NAME.out from the real program.
//
//   make_golden_inputs DIR
//       writes NAME.in of every session below into DIR, and sessions.txt,
//       which names each session with its pinned time
//   make_golden_inputs --scan PLAYERS POLICY FROM TO SEEDS
//       plays games for the pinned times FROM to TO and the policy seeds 0 to
//       SEEDS - 1 and prints their final scores, to find decks whose games end
//       in ties or with a negative top score

#include "console/console_input.h"
#include "engine/game_state.h"
#include "engine/results.h"
#include "engine/scoring.h"
#include "engine/turn_rules.h"
#include "tests/support/legal_rows.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace pellaro {

namespace {

enum class Policy : std::uint8_t {
    // Takes at random, a third of the time when it can.
    Random = 0,
    // Takes whatever lowers its own score, and otherwise draws.
    Low = 1,
    // Takes whatever raises its own score by three or more, and otherwise draws.
    High = 2,
    // Keeps its colours level and shuns wilds and +2 cards, which is the one
    // way to a score below zero.
    Even = 3,
    // The moves that a beam search finds to keep the top final score lowest.
    Lowest = 4,
};

struct GamePlan {
    // From the rules offer through the walkthrough's pauses; none when the
    // replay line of the game before already answered the offer.
    std::vector<std::string> rulesLines;
    // Refused answers first; the last one is accepted.
    std::vector<std::string> countLines;
    std::int32_t players = 2;
    Policy policy = Policy::Random;
    unsigned policySeed = 0;
    bool mistakes = false;
    std::string replayLine;
};

struct SessionPlan {
    std::string name;
    std::uint32_t pinnedTime = 0;
    std::vector<GamePlan> games;
    // The session's last line may lack its newline; it still counts.
    bool finalNewline = true;
};

struct Move {
    TurnAction action = TurnAction::Draw;
    std::int32_t row = 0;
};

using Rng = std::mt19937;

int pick(Rng& rng, int count) {
    return std::uniform_int_distribution<int>(0, count - 1)(rng);
}

bool chance(Rng& rng, double p) {
    return std::bernoulli_distribution(p)(rng);
}

// How much the current player's final score would change by taking the row.
std::int32_t gainOfTaking(const GameState& game, std::int32_t row) {
    GameState after = game;
    const std::int32_t seat = game.currentPlayer;
    for (const CardKind card : game.rows[row].slots) {
        if (card == noCard) {
            break;
        }
        ++after.players[seat].counts[card];
    }
    return finalScore(after, seat) - finalScore(game, seat);
}

// How far the current player's pile would be from level colours after taking
// the row, with wilds and +2 cards counting against it.
double unevenness(const GameState& game, std::int32_t row) {
    std::array<std::int32_t, cardKindCount> counts = game.players[game.currentPlayer].counts;
    const auto& slots = row >= 0 ? game.rows[row].slots : Row{}.slots;
    for (const CardKind card : slots) {
        if (card == noCard) {
            break;
        }
        ++counts[card];
    }
    double mean = 0;
    for (int colour = 0; colour < colourCount; ++colour) {
        mean += counts[colour];
    }
    mean /= colourCount;
    double spread = 0;
    for (int colour = 0; colour < colourCount; ++colour) {
        spread += (counts[colour] - mean) * (counts[colour] - mean);
    }
    return spread + 4.0 * counts[PlusTwo] + 6.0 * counts[Wild];
}

Move chooseEvenMove(const GameState& game, const std::vector<std::int32_t>& takes,
                    const std::vector<std::int32_t>& draws, Rng& rng) {
    std::int32_t best = takes.front();
    for (const std::int32_t row : takes) {
        if (unevenness(game, row) < unevenness(game, best)) {
            best = row;
        }
    }
    const std::int32_t none = -1;
    const double now = unevenness(game, none);
    if (draws.empty() || unevenness(game, best) < now - 0.5 || chance(rng, 0.1)) {
        return Move{TurnAction::Take, best};
    }
    return Move{TurnAction::Draw, draws[pick(rng, static_cast<int>(draws.size()))]};
}

constexpr std::size_t beamWidth = 3000;

Move chooseMove(const GameState& game, Policy policy, Rng& rng) {
    const std::vector<std::int32_t> takes = rowsAllowing(game, TurnAction::Take);
    const std::vector<std::int32_t> draws = rowsAllowing(game, TurnAction::Draw);
    const auto randomDraw = [&] {
        return Move{TurnAction::Draw, draws[pick(rng, static_cast<int>(draws.size()))]};
    };
    if (takes.empty()) {
        return randomDraw();
    }
    if (policy == Policy::Even) {
        return chooseEvenMove(game, takes, draws, rng);
    }
    if (policy == Policy::Random) {
        if (draws.empty() || chance(rng, 1.0 / 3)) {
            return Move{TurnAction::Take, takes[pick(rng, static_cast<int>(takes.size()))]};
        }
        return randomDraw();
    }
    std::int32_t best = takes.front();
    for (const std::int32_t row : takes) {
        const bool better = policy == Policy::Low
                                ? gainOfTaking(game, row) < gainOfTaking(game, best)
                                : gainOfTaking(game, row) > gainOfTaking(game, best);
        if (better) {
            best = row;
        }
    }
    const std::int32_t gain = gainOfTaking(game, best);
    const bool worthIt = policy == Policy::Low ? gain < 0 : gain >= 3;
    if (draws.empty() || worthIt) {
        return Move{TurnAction::Take, best};
    }
    return randomDraw();
}

std::string actionWord(TurnAction action, Rng& rng) {
    static const std::vector<std::string> draws = {"d", "D", "draw", "dog", "  d", "\td"};
    static const std::vector<std::string> takes = {"t", "T", "take", " t", "t 2", "Take it"};
    const auto& words = action == TurnAction::Draw ? draws : takes;
    return words[pick(rng, static_cast<int>(words.size()))];
}

// The ways of typing a row number that the row prompt reads as that number.
std::string rowAnswer(std::int32_t row, Rng& rng) {
    const std::string number = std::to_string(row + 1);
    static const std::vector<std::string> forms = {"", "", " ", "+", "0"};
    std::string answer = forms[pick(rng, static_cast<int>(forms.size()))] + number;
    if (chance(rng, 0.2)) {
        answer += row == 0 ? "st" : "nd row";
    }
    return answer;
}

struct Transcript {
    std::string text;
    void line(const std::string& answer) { text += answer + '\n'; }
};

// Refused answers at the action question before the real one.
void actionMistakes(const GameState& game, TurnAction action, Rng& rng, Transcript& out) {
    switch (pick(rng, 5)) {
    case 0: {
        static const std::vector<std::string> words = {"x", "?", "1", "maybe", "-"};
        out.line(words[pick(rng, static_cast<int>(words.size()))]);
        break;
    }
    case 1:
        out.line("");
        break;
    case 2:
        if (!isActionPossible(game, TurnAction::Take)) {
            out.line("t");
        } else if (!isActionPossible(game, TurnAction::Draw)) {
            out.line("d 1");
        }
        break;
    case 3:
        // Both answers on one line: the bad word, then the action itself.
        out.text += action == TurnAction::Take ? "x " : "? ";
        break;
    default:
        break;
    }
}

// Refused answers at the row question before the real one.
void rowMistakes(const GameState& game, TurnAction action, Rng& rng, Transcript& out) {
    std::vector<std::string> refused = {
        "0",           "", "abc", "-4", std::to_string(game.numberOfPlayers + 1), "99999999999",
        "-99999999999"};
    for (std::int32_t r = 0; r < game.numberOfPlayers; ++r) {
        if (!isRowValid(game, action, r)) {
            const std::string number = std::to_string(r + 1);
            // Taken, full or empty rows: the likeliest real mistakes.
            refused.insert(refused.end(), {number, number, number});
        }
    }
    const int count = 1 + pick(rng, 2);
    for (int i = 0; i < count; ++i) {
        const std::string answer = refused[pick(rng, static_cast<int>(refused.size()))];
        if (isRowValid(game, action, leadingNumber(answer.c_str()) - 1)) {
            std::cerr << "a refused row answer would be accepted: " << answer << '\n';
            std::exit(1);
        }
        out.line(answer);
    }
}

std::vector<Move> legalMoves(const GameState& game) {
    std::vector<Move> moves;
    for (const TurnAction action : {TurnAction::Draw, TurnAction::Take}) {
        const std::vector<std::int32_t> rows = rowsAllowing(game, action);
        const auto onto = [action](std::int32_t row) { return Move{action, row}; };
        std::transform(rows.begin(), rows.end(), std::back_inserter(moves), onto);
    }
    return moves;
}

// Lower is better. Seven colours of six or more cards score -21 whatever the
// wilds, so seat 0 gathers six of every colour and every wild and +2 card,
// while the others keep a few cards of every colour, level.
std::int32_t lowness(const GameState& game) {
    std::int32_t value = 0;
    const std::array<std::int32_t, cardKindCount>& sink = game.players[0].counts;
    for (int colour = 0; colour < colourCount; ++colour) {
        value += 10 * std::max(0, 6 - sink[colour]);
    }
    for (std::int32_t seat = 1; seat < game.numberOfPlayers; ++seat) {
        const auto& counts = game.players[seat].counts;
        const auto [least, most] =
            std::minmax_element(counts.begin(), counts.begin() + colourCount);
        value += 8 * (*most - *least) + 12 * (counts[Wild] + counts[PlusTwo]);
    }
    return value;
}

// A beam search over whole games for the lowest top score that the deck allows.
std::vector<Move> lowestGame(std::int32_t players, std::uint32_t pinnedTime, std::size_t width) {
    struct Line {
        GameState game;
        std::vector<Move> moves;
        std::int32_t value = 0;
    };
    std::vector<Line> beam = {Line{newGame(players, pinnedTime), {}, 0}};
    std::vector<Line> finished;
    while (!beam.empty()) {
        std::vector<Line> next;
        for (const Line& line : beam) {
            for (const Move move : legalMoves(line.game)) {
                Line child = line;
                child.moves.push_back(move);
                const bool over = applyMove(child.game, move.action, move.row);
                child.value = lowness(child.game);
                if (over) {
                    finished.push_back(std::move(child));
                } else {
                    next.push_back(std::move(child));
                }
            }
        }
        std::stable_sort(next.begin(), next.end(),
                         [](const Line& a, const Line& b) { return a.value < b.value; });
        if (next.size() > width) {
            next.resize(width);
        }
        beam = std::move(next);
    }
    const auto top = [](const GameState& game) { return topScore(game, allScores(game)); };
    const Line* best = &finished.front();
    for (const Line& line : finished) {
        if (top(line.game) < top(best->game)) {
            best = &line;
        }
    }
    return best->moves;
}

// Plays one game to its end and returns it finished.
GameState playGame(const GamePlan& plan, std::uint32_t pinnedTime, Transcript& out) {
    Rng rng(plan.policySeed);
    GameState game = newGame(plan.players, pinnedTime);
    std::vector<Move> planned;
    if (plan.policy == Policy::Lowest) {
        planned = lowestGame(plan.players, pinnedTime, beamWidth);
    }
    bool over = false;
    for (std::size_t turn = 0; !over; ++turn) {
        const Move move =
            turn < planned.size() ? planned[turn] : chooseMove(game, plan.policy, rng);
        const bool erring = plan.mistakes && chance(rng, 0.3);
        if (erring) {
            actionMistakes(game, move.action, rng, out);
        }
        out.line(actionWord(move.action, rng));
        if (erring && chance(rng, 0.5)) {
            rowMistakes(game, move.action, rng, out);
        }
        const std::string row = rowAnswer(move.row, rng);
        if (leadingNumber(row.c_str()) - 1 != move.row) {
            std::cerr << "a row answer does not name its row: " << row << '\n';
            std::exit(1);
        }
        out.line(row);
        over = applyMove(game, move.action, move.row);
    }
    return game;
}

std::string describe(const GameState& finished) {
    const std::vector<std::int32_t> scores = allScores(finished);
    const std::int32_t top = topScore(finished, scores);
    std::string text = "scores";
    for (const std::int32_t score : scores) {
        text += ' ' + std::to_string(score);
    }
    text += " top " + std::to_string(top) + " winners";
    for (const std::int32_t winner : winners(finished, top)) {
        text += ' ' + std::to_string(winner);
    }
    return text;
}

std::string playSession(const SessionPlan& session) {
    Transcript out;
    for (const GamePlan& plan : session.games) {
        for (const std::string& line : plan.rulesLines) {
            out.line(line);
        }
        for (std::size_t i = 0; i < plan.countLines.size(); ++i) {
            const std::int32_t count = leadingNumber(plan.countLines[i].c_str());
            const bool accepted = count >= minPlayers && count <= maxPlayers;
            if (accepted != (i + 1 == plan.countLines.size()) ||
                (accepted && count != plan.players)) {
                std::cerr << "the player count answers do not give " << plan.players << '\n';
                std::exit(1);
            }
            out.line(plan.countLines[i]);
        }
        if (plan.players == 0) {
            continue;
        }
        std::cerr << session.name << ": " << describe(playGame(plan, session.pinnedTime, out))
                  << '\n';
        out.line(plan.replayLine);
    }
    if (!session.finalNewline) {
        out.text.pop_back();
    }
    return out.text;
}

const std::vector<std::string> walkthrough = {"y please", "", "3", "t and more", ""};

// The pinned times were chosen with --scan for the endings named.
std::vector<SessionPlan> sessions() {
    return {
        // The walkthrough, then the end of input at the player count.
        {"rules_walkthrough",
         1000,
         {{{"y", "", "", "", ""}, {}, 0, Policy::Random, 0, false, ""}},
         true},
        {"walkthrough_two_then_five",
         1000,
         {
             {walkthrough,
              {"", "1", "two", "6", "0", "-3", " ", "2"},
              2,
              Policy::Random,
              1,
              true,
              "y n"},
             {{}, {"12345678901", "+5"}, 5, Policy::Random, 2, true, "n"},
         },
         true},
        // Players 1 and 3 tie; then 1, 3 and 4; then 4 and 5.
        {"ties",
         1002,
         {
             {{"No thanks"}, {"3 players"}, 3, Policy::Random, 3, false, "yes"},
             {{"n 3"}, {" 4"}, 4, Policy::High, 4, false, "Yellow"},
             {{"N"}, {"7", "5"}, 5, Policy::Random, 2, false, "maybe"},
         },
         false},
        // Both players on -1; then a three-player game.
        {"negative_top",
         1021,
         {
             {{"n"}, {"2"}, 2, Policy::Lowest, 0, true, "Y"},
             {{"1", "next", "", " ", "done"}, {"4.9"}, 4, Policy::Random, 1, true, "x"},
         },
         true},
    };
}

int scan(int argc, char** argv) {
    if (argc != 7) {
        std::cerr << "usage: make_golden_inputs --scan PLAYERS POLICY FROM TO SEEDS\n";
        return 2;
    }
    GamePlan plan;
    plan.players = std::atoi(argv[2]);
    plan.policy = static_cast<Policy>(std::atoi(argv[3]));
    const long from = std::atol(argv[4]);
    const long to = std::atol(argv[5]);
    const auto seeds = static_cast<unsigned>(std::atoi(argv[6]));
    for (long time = from; time <= to; ++time) {
        for (unsigned seed = 0; seed < seeds; ++seed) {
            plan.policySeed = seed;
            Transcript ignored;
            const GameState finished = playGame(plan, static_cast<std::uint32_t>(time), ignored);
            std::cout << "time " << time << " seed " << seed << ' ' << describe(finished) << '\n';
        }
    }
    return 0;
}

} // namespace

} // namespace pellaro

int main(int argc, char** argv) {
    using namespace pellaro;
    if (argc >= 2 && std::string(argv[1]) == "--scan") {
        return scan(argc, argv);
    }
    if (argc != 2) {
        std::cerr << "usage: make_golden_inputs DIR\n";
        return 2;
    }
    const std::string dir = argv[1];
    std::ofstream list(dir + "/sessions.txt");
    for (const SessionPlan& session : sessions()) {
        std::ofstream file(dir + '/' + session.name + ".in", std::ios::binary);
        file << playSession(session);
        list << session.name << ' ' << session.pinnedTime << '\n';
    }
    return 0;
}
