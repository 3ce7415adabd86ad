#include "records.h"

#include "console/console_view.h"
#include "engine/results.h"
#include "engine/scoring.h"
#include "engine/turn_rules.h"
#include "protocol/program_bot.h"

#include <algorithm>
#include <cassert>
#include <functional>
#include <iostream>
#include <span>

namespace pellaro {

namespace {

// A game under way: its state, its seats' bots and what is counted so far.
struct GameInPlay {
    GameState game;
    PublicState known;
    Lineup* lineup = nullptr;
    GameOutcome outcome;
    bool over = false;
    // A program's bot chose to draw: its row for the card is asked next.
    bool placing = false;
    // Over, and its outcome and record written.
    bool settled = false;
};

void startGame(const SimConfig& config, std::int64_t deal, GameInPlay& play, GameRecord* record) {
    Lineup& lineup = *play.lineup;
    const std::int32_t rotation = lineup.rotation;
    // A deal's seed is a function of the run's seed and the deal's index alone.
    const std::uint64_t seed = deriveSeed(config.seed, static_cast<std::uint64_t>(deal));
    play.game = seededDeal(config.players, seed);
    play.known = publicStateOf(play.game);
    play.outcome = GameOutcome{};
    play.outcome.players = config.players;
    play.over = false;
    play.placing = false;
    play.settled = false;
    for (std::int32_t seat = 0; seat < config.players; ++seat) {
        reseat(lineup.bots[seat], seed, seat);
    }
    play.outcome.bots = lineup.botIndices;
    if (record != nullptr) {
        record->game = deal * gamesPerDeal(config) + rotation;
        record->deal = deal;
        record->rotation = rotation;
        record->seed = seed;
        record->players = config.players;
        record->bots.clear();
        for (std::int32_t seat = 0; seat < config.players; ++seat) {
            record->bots.push_back(botName(botOfSeat(config, rotation, seat), config.budget));
        }
        record->deck = play.game.deck;
        record->moves.clear();
    }
}

// The one way a simulated game moves: the turn step, its move counted.
void playMove(GameInPlay& play, ChosenMove move, GameRecord* record) {
    const TurnPlayed played = playTurn(play.game, play.known, move);
    play.over = played.over;
    ++play.outcome.turns;
    play.outcome.rounds += played.closedRound ? 1 : 0;
    if (record != nullptr) {
        record->moves.push_back(played.move);
    }
}

void finishGame(const SimConfig& config, GameInPlay& play, GameRecord* record) {
    const GameState& game = play.game;
    play.settled = true;
    play.outcome.cardsDrawn = game.nextCard;
    for (std::int32_t seat = 0; seat < config.players; ++seat) {
        play.outcome.scores[seat] = finalScore(game, seat);
    }
    if (record != nullptr) {
        record->piles.clear();
        for (std::int32_t seat = 0; seat < config.players; ++seat) {
            record->piles.push_back(game.players[seat].counts);
        }
        record->scores.assign(play.outcome.scores.begin(),
                              play.outcome.scores.begin() + config.players);
        record->winners = winners(game, topScore(game, record->scores));
    }
}

// Plays turns until the game is over or, when the programs are asked apart,
// a program's bot is to decide. Every simulated game's moves come through
// here: the turn is compiled into its loop, and the games that ask no
// program apart test nothing more at each move.
template <bool programsApart>
[[gnu::flatten]] void playOn(GameInPlay& play, std::int32_t players, GameRecord* record) {
    const auto seated = std::span(play.lineup->bots).first(static_cast<std::size_t>(players));
    while (!play.over && !(programsApart && isProgram(seated[play.game.currentPlayer].settings))) {
        Bot& bot = seated[static_cast<std::size_t>(play.game.currentPlayer)];
        playMove(play, decideMove(bot, play.game, play.known), record);
    }
}

// A bot's failure as one line: which bot, which game and which move.
BotFailure failureIn(const SimConfig& config, std::int64_t deal, std::int32_t rotation,
                     const GameInPlay& play, const char* reason) {
    const std::int32_t seat = play.game.currentPlayer;
    return BotFailure{"bot " + botName(botOfSeat(config, rotation, seat), config.budget) +
                      " (seat " + std::to_string(seat + 1) + ") failed at deal " +
                      std::to_string(deal) + ", game " +
                      std::to_string(deal * gamesPerDeal(config) + rotation) + ", move " +
                      std::to_string(play.outcome.turns + 1) + ": " + reason};
}

} // namespace

Lineup lineupOf(const SimConfig& config, std::int32_t rotation) {
    Lineup lineup;
    lineup.rotation = rotation;
    for (std::int32_t seat = 0; seat < config.players; ++seat) {
        const BotSettings& settings = botOfSeat(config, rotation, seat);
        lineup.bots[seat] = newBot(settings, 0, seat);
        lineup.botIndices[seat] = botIndex(config, settings);
    }
    return lineup;
}

GameOutcome playDeal(const SimConfig& config, Lineup& lineup, std::int64_t deal,
                     GameRecord* record) {
    GameInPlay play;
    play.lineup = &lineup;
    startGame(config, deal, play, record);
    try {
        playOn<false>(play, config.players, record);
    } catch (const BotFailure& failure) {
        throw failureIn(config, deal, lineup.rotation, play, failure.what());
    }
    finishGame(config, play, record);
    return play.outcome;
}

namespace {

// The requests of one round of the games together to one program, and the
// games that wait on them, in order.
struct ProgramRound {
    std::string command;
    std::string requests;
    std::vector<std::size_t> waiting;
    std::vector<std::string> replies;
};

// One half of the games played together: while the programs decide for one
// half, the other half's replies are applied and its next requests written.
struct Half {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::vector<ProgramRound> programs;
    bool posted = false;
};

class GamesTogether {
public:
    GamesTogether(const SimConfig& config, std::int64_t first, std::int64_t end,
                  std::vector<GameOutcome>& outcomes, std::vector<GameRecord>* records)
        : config_(config), first_(first), rotations_(gamesPerDeal(config)),
          count_(static_cast<std::size_t>((end - first) * rotations_)), plays_(count_),
          lineups_(count_), outcomes_(outcomes), records_(records) {
        outcomes_.resize(count_);
        if (records_ != nullptr) {
            records_->resize(count_);
        }
        std::vector<ProgramRound> programs;
        for (const BotSettings& bot : config.seats) {
            if (isProgram(bot) && programFor(programs, bot.command) == programs.end()) {
                programs.push_back(ProgramRound{bot.command, {}, {}, {}});
            }
        }
        halves_ = {Half{0, count_ / 2, programs, false}, Half{count_ / 2, count_, programs, false}};
        for (std::size_t index = 0; index < count_; ++index) {
            lineups_[index] = lineupOf(config_, rotationOf(index));
            plays_[index].lineup = &lineups_[index];
            startGame(config_, dealOf(index), plays_[index], recordOf(index));
        }
    }

    std::size_t run(const std::function<bool()>& stopping) {
        advance(halves_[0]);
        advance(halves_[1]);
        while (halves_[0].posted || halves_[1].posted) {
            for (Half& half : halves_) {
                if (!half.posted) {
                    continue;
                }
                answer(half, true);
                if (stopping()) {
                    // The programs are left with no request pending.
                    for (Half& other : halves_) {
                        answer(other, false);
                    }
                    return overFromFirst();
                }
                advance(half);
            }
        }
        return count_;
    }

private:
    static std::vector<ProgramRound>::iterator programFor(std::vector<ProgramRound>& programs,
                                                          const std::string& command) {
        return std::find_if(programs.begin(), programs.end(),
                            [&command](const ProgramRound& p) { return p.command == command; });
    }

    std::int64_t dealOf(std::size_t index) const {
        return first_ + static_cast<std::int64_t>(index) / rotations_;
    }
    std::int32_t rotationOf(std::size_t index) const {
        return static_cast<std::int32_t>(static_cast<std::int64_t>(index) % rotations_);
    }
    GameRecord* recordOf(std::size_t index) const {
        return records_ != nullptr ? &(*records_)[index] : nullptr;
    }

    std::size_t overFromFirst() const {
        std::size_t over = 0;
        while (over < count_ && plays_[over].over) {
            ++over;
        }
        return over;
    }

    // The games from the first that are over count when a bot fails.
    [[noreturn]] void fail(std::size_t index, const char* reason) const {
        throw FailureAmongGames(
            failureIn(config_, dealOf(index), rotationOf(index), plays_[index], reason),
            overFromFirst());
    }

    void settle(std::size_t index) {
        if (plays_[index].over && !plays_[index].settled) {
            finishGame(config_, plays_[index], recordOf(index));
            outcomes_[index] = plays_[index].outcome;
        }
    }

    // The game moves on until a program's bot is to decide, whose request
    // is then added to its program's.
    void moveOn(Half& half, std::size_t index) {
        GameInPlay& play = plays_[index];
        playOn<true>(play, config_.players, recordOf(index));
        if (play.over) {
            settle(index);
            return;
        }
        const std::int32_t seat = play.game.currentPlayer;
        const Bot& bot = play.lineup->bots[static_cast<std::size_t>(seat)];
        ProgramRound& program = *programFor(half.programs, bot.settings.command);
        const SeatView view(play.game);
        // The turn's Move and its Place are requests 2t and 2t + 1 of the game.
        const auto request = 2 * static_cast<std::uint64_t>(play.outcome.turns) +
                             static_cast<std::uint64_t>(play.placing);
        const auto game =
            static_cast<std::uint64_t>(dealOf(index) * rotations_ + rotationOf(index));
        // A run with a program's bot always has its key: drawn, or given back.
        assert(config_.botKey.has_value());
        const std::uint64_t seed = requestSeed(*config_.botKey, game, seat, request);
        if (play.placing) {
            appendPlaceRequest(program.requests, seed, view, topCard(play.game));
        } else {
            appendMoveRequest(program.requests, seed, view);
        }
        program.waiting.push_back(index);
    }

    // Every game of the half moves on; the requests go out together, one
    // batch per program.
    void advance(Half& half) {
        for (std::size_t index = half.begin; index < half.end; ++index) {
            moveOn(half, index);
        }
        half.posted = false;
        for (ProgramRound& program : half.programs) {
            if (!program.waiting.empty()) {
                try {
                    botProcessFor(program.command).post(program.requests);
                } catch (const BotFailure& failure) {
                    dropBotProcess(program.command);
                    fail(program.waiting.front(), failure.what());
                }
                half.posted = true;
            }
        }
    }

    // The reply moves its game on: a Take or a placed card is played, a Draw
    // waits for its row.
    void apply(std::size_t index, std::string_view reply) {
        GameInPlay& play = plays_[index];
        const SeatView view(play.game);
        ChosenMove move;
        try {
            const Bot& bot = play.lineup->bots[static_cast<std::size_t>(play.game.currentPlayer)];
            if (play.placing) {
                move = ChosenMove{TurnAction::Draw, readPlaceReply(bot, view, reply)};
                play.placing = false;
            } else {
                move = readMoveReply(bot, view, reply);
                if (move.action == TurnAction::Draw) {
                    play.placing = true;
                    return;
                }
            }
        } catch (const BotFailure& failure) {
            fail(index, failure.what());
        }
        playMove(play, move, recordOf(index));
        settle(index);
    }

    // Reads the half's replies and applies them, or, when the run is
    // stopping, only reads them.
    void answer(Half& half, bool applying) {
        for (ProgramRound& program : half.programs) {
            if (program.waiting.empty()) {
                continue;
            }
            try {
                botProcessFor(program.command).collect(program.waiting.size(), program.replies);
            } catch (const BotFailure& failure) {
                dropBotProcess(program.command);
                fail(program.waiting.front(), failure.what());
            }
            for (std::size_t k = 0; applying && k < program.waiting.size(); ++k) {
                apply(program.waiting[k], program.replies[k]);
            }
            program.requests.clear();
            program.waiting.clear();
        }
        half.posted = false;
    }

    const SimConfig& config_;
    std::int64_t first_;
    std::int32_t rotations_;
    std::size_t count_;
    std::vector<GameInPlay> plays_;
    // Each game's own bots: a program's bot remembers its game between requests.
    std::vector<Lineup> lineups_;
    std::vector<GameOutcome>& outcomes_;
    std::vector<GameRecord>* records_;
    std::array<Half, 2> halves_{};
};

} // namespace

std::size_t playGamesTogether(const SimConfig& config, std::int64_t first, std::int64_t end,
                              std::vector<GameOutcome>& outcomes, std::vector<GameRecord>* records,
                              const std::function<bool()>& stopping) {
    GamesTogether games(config, first, end, outcomes, records);
    return games.run(stopping);
}

namespace {

GameState startOf(const GameRecord& record) {
    // The engine's set-up for the players, with the record's deal in place of a shuffle.
    GameState game = dealGame(record.players, ShuffleDraws{});
    game.deck = record.deck;
    return game;
}

bool holdsTheRealDeck(const GameRecord& record) {
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

void showMove(const GameState& game, const GameRecord& record, const PlayedMove& move) {
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

bool checkReplay(const GameRecord& record, std::string& error) {
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

void showReplay(const GameRecord& record) {
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

} // namespace pellaro
