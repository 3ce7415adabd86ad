// Writes the players' answers for a session of complete games, to be piped
// into the real program. Which moves are legal depends only on where cards
// lie, never on which cards they are, so the answers fit whatever deck the
// program's clock deals.
//
// Usage: pellaro_session_script [games] [seed]

#include "engine/game_state.h"
#include "engine/turn_rules.h"
#include "random_play.h"

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <string>

namespace pellaro {

namespace {

// One in this many turns first tries something the game refuses, so that the
// session also shows the refusals and the repeated questions.
constexpr std::uint32_t refusalOdds = 8;

void writeGame(std::string& script, std::int32_t players, bool hearRules, MoveRandom& random) {
    if (hearRules) {
        script += "yes\n\n\n\n\n";
    } else {
        script += "n\n";
    }
    script += std::to_string(players) + "\n";
    GameState game = newGame(players, 1);
    bool over = false;
    while (!over) {
        const Move move = randomLegalMove(game, random);
        const bool refuse = nextRandom(random) % refusalOdds == 0;
        if (refuse && !isActionPossible(game, TurnAction::Take)) {
            script += "take\n";
        }
        script += move.action == TurnAction::Draw ? "d\n" : "t\n";
        if (refuse) {
            script += std::to_string(players + 1) + "\n";
        }
        script += std::to_string(move.row + 1) + "\n";
        over = applyMove(game, move.action, move.row);
    }
}

} // namespace

} // namespace pellaro

int main(int argc, char** argv) {
    using namespace pellaro;
    const int games = argc > 1 ? std::atoi(argv[1]) : 20;
    MoveRandom random;
    if (argc > 2) {
        random.state = static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10)) | 1U;
    }
    std::string script;
    for (int g = 0; g < games; ++g) {
        const std::int32_t players = minPlayers + g % (maxPlayers - minPlayers + 1);
        writeGame(script, players, g == 0, random);
        script += g + 1 < games ? "y\n" : "n\n";
    }
    std::cout << script;
    return 0;
}
