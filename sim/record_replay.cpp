#include "record_replay.h"

#include "console/console_view.h"
#include "engine/results.h"
#include "engine/turn_rules.h"

#include <algorithm>
#include <iostream>

namespace {

GameState startOf(const RecordedGame& record) {
    // The engine's set-up for the players, with the record's deal in place of a shuffle.
    GameState game = dealGame(record.players, ShuffleDraws{});
    game.deck = record.deck;
    return game;
}

bool holdsTheRealDeck(const RecordedGame& record) {
    std::array<CardKind, deckSize> cards = record.deck;
    std::sort(cards.begin(), cards.end());
    return cards == orderedDeck();
}

bool isMoveLegal(const GameState& game, const PlayedMove& move) {
    if (!isActionPossible(game, move.action) || !isRowValid(game, move.action, move.row)) {
        return false;
    }
    return move.action == TurnAction::Take || move.card == topCard(game);
}

std::string moveNamed(std::size_t index, const PlayedMove& move) {
    return "move " + std::to_string(index + 1) + " (" + moveText(move) + ")";
}

std::string listed(const std::vector<std::int32_t>& values) {
    std::string text;
    for (const std::int32_t value : values) {
        if (!text.empty()) {
            text += ' ';
        }
        text += std::to_string(value);
    }
    return text;
}

void showMove(const GameState& game, const RecordedGame& record, const PlayedMove& move) {
    const auto seat = static_cast<std::size_t>(game.currentPlayer);
    std::cout << "Player #" << seat + 1 << " (" << record.bots[seat] << ")";
    if (move.action == TurnAction::Draw) {
        std::cout << " draws " << cardLabels[move.card] << " and places it on row " << move.row + 1
                  << '\n';
    } else {
        std::cout << " takes row " << move.row + 1 << '\n';
    }
}

} // namespace

bool checkReplay(const RecordedGame& record, std::string& error) {
    if (!holdsTheRealDeck(record)) {
        error = "the deck is not a shuffle of the game's 76 cards";
        return false;
    }
    GameState game = startOf(record);
    bool over = false;
    for (std::size_t i = 0; i < record.moves.size(); ++i) {
        const PlayedMove& move = record.moves[i];
        if (over) {
            error = moveNamed(i, move) + " comes after the game's end";
            return false;
        }
        if (!isMoveLegal(game, move)) {
            error = moveNamed(i, move) + " is not allowed for player " +
                    std::to_string(game.currentPlayer + 1);
            return false;
        }
        over = applyMove(game, move.action, move.row);
    }
    if (!over) {
        error = "the game is not over after its " + std::to_string(record.moves.size()) + " moves";
        return false;
    }
    for (std::size_t seat = 0; seat < game.players.size(); ++seat) {
        if (game.players[seat].counts != record.piles[seat]) {
            error = "player " + std::to_string(seat + 1) + "'s pile differs from the replay's";
            return false;
        }
    }
    const std::vector<std::int32_t> scores = allScores(game);
    if (scores != record.scores) {
        error =
            "the scores " + listed(record.scores) + " differ from the replay's " + listed(scores);
        return false;
    }
    const std::vector<std::int32_t> won = winners(game, topScore(game, scores));
    if (won != record.winners) {
        error =
            "the winners " + listed(record.winners) + " differ from the replay's " + listed(won);
        return false;
    }
    return true;
}

void showReplay(const RecordedGame& record) {
    std::cout << "Game " << record.game << ", deal " << record.deal << " (seed " << record.seed
              << "), rotation " << record.rotation << ':';
    for (std::size_t seat = 0; seat < record.bots.size(); ++seat) {
        std::cout << " Player #" << seat + 1 << ' ' << record.bots[seat]
                  << (seat + 1 < record.bots.size() ? "," : "");
    }
    std::cout << '\n';
    GameState game = startOf(record);
    const ConsoleView view{record.players};
    for (const PlayedMove& move : record.moves) {
        view.showBoard(game.players, game.rows, isLastRound(game));
        std::cout << '\n';
        showMove(game, record, move);
        applyMove(game, move.action, move.row);
    }
    const std::vector<std::int32_t> scores = allScores(game);
    const std::int32_t top = topScore(game, scores);
    view.showScores(scores);
    view.showWinners(top, winners(game, top));
    std::cout << std::flush;
}
