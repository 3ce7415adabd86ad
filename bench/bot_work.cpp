#include "bot_work.h"

#include "bots/bot_game.h"
#include "bots/seat_view.h"

#include <array>
#include <cstdlib>

namespace pellaro {

namespace {

// A game draws between 75 - 3n and 74 cards and ends in its last round.
bool isCompleteGame(const GameState& game) {
    return game.nextCard >= 75 - 3 * game.numberOfPlayers && game.nextCard <= 74 &&
           isLastRound(game);
}

} // namespace

BotSettings benchBot(std::string_view name) {
    const auto settings = botNamed(name, defaultBudget);
    if (!settings) {
        std::abort();
    }
    return *settings;
}

std::int32_t playBotGameOfSeed(std::int32_t players, const BotSettings& settings,
                               std::uint64_t seed) {
    GameState game = seededDeal(players, seed);
    std::array<Bot, maxPlayers> bots{};
    for (std::int32_t seat = 0; seat < players; ++seat) {
        bots[seat] = newBot(settings, seed, seat);
    }
    const auto seated = std::span(bots).first(static_cast<std::size_t>(players));
    PublicState known = publicStateOf(game);
    std::int32_t moves = 0;
    bool over = false;
    while (!over) {
        over = playBotTurn(game, known, seated).over;
        ++moves;
    }
    return isCompleteGame(game) ? moves : 0;
}

IsmctsWork ismctsDecision(std::int32_t budget) {
    GameState game = seededDeal(maxPlayers, 7);
    // Random moves until both actions are open, and some cards are out.
    SeededRandom mover = seededRandom(3);
    while (game.nextCard < 6 || rowChoices(game).takes == 0 || rowChoices(game).draws == 0) {
        const RowChoices choices = rowChoices(game);
        const TurnAction action =
            choices.takes != 0 && nextBelow(mover, 2) == 0 ? TurnAction::Take : TurnAction::Draw;
        const RowSet rows = action == TurnAction::Take ? choices.takes : choices.draws;
        applyMove(game, action, nthRow(rows, nextBelow(mover, rowCount(rows))));
    }
    BotSettings settings = benchBot("ismcts");
    settings.budget = budget;
    return IsmctsWork{game, newBot(settings, 5, game.currentPlayer)};
}

TurnAction decide(IsmctsWork& work) {
    return chooseAction(work.bot, SeatView(work.game));
}

PlayoutWork openingPlayouts(PlayoutPolicy /*policy*/) {
    const GameState game = seededDeal(maxPlayers, 7);
    const SeatView view(game);
    return PlayoutWork{view.table(), unseenCards(view.unseen()), seededRandom(11)};
}

bool playOnePlayout(PlayoutWork& work, PlayoutPolicy policy) {
    GameState playout = work.root;
    deal(playout, work.unseen, playout.nextCard, work.random);
    playOut(playout, policy, work.random);
    return isCompleteGame(playout);
}

} // namespace pellaro
