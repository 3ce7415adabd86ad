#include "person_moves.h"

#include "../console/console_input.h"
#include "solo_display.h"

#include <array>
#include <cassert>
#include <cmath>
#include <cstdio>
#include <iostream>

namespace pellaro {

namespace {

struct Turn {
    const GameState& game;
    const Seating& seating;
    std::uint64_t gameSeed;
    std::size_t movesPlayed;
    std::int32_t number;
};

// "Player #1 (you), turn 7": how the turn's first line begins.
std::string turnName(const Turn& turn) {
    return seatName(turn.seating, turn.game.currentPlayer) + ", turn " +
           std::to_string(turn.number);
}

void showHint(const Turn& turn, DecisionStage stage, TurnAction action, bool mayGoBack) {
    // While a Draw is still open, the Take question weighs it too, with the
    // values of the question before, so that both hints agree.
    const bool withDraw = stage == DecisionStage::Row && action == TurnAction::Take && mayGoBack;
    const DecisionStage valued = withDraw ? DecisionStage::Action : stage;
    const Advice advice =
        advise(turn.game, valued, action, decisionSeed(turn.gameSeed, turn.movesPlayed, valued));
    showLines(hintLines(advice, valued, withDraw));
}

enum class ActionAnswer : std::uint8_t { Draw, Take, Ended };

ActionAnswer askAction(const Turn& turn) {
    for (;;) {
        std::cout << turnName(turn) << ": (D)raw a card, (T)ake a row or ? for a hint: ";
        const std::optional<char> answer = readWordAnswer();
        if (!answer) {
            return ActionAnswer::Ended;
        }
        switch (*answer) {
        case 'D':
        case 'd':
            return ActionAnswer::Draw;
        case 'T':
        case 't':
            return ActionAnswer::Take;
        case '?':
            showHint(turn, DecisionStage::Action, TurnAction::Draw, false);
            break;
        default:
            std::cout << "Please answer D to draw, T to take a row or ? for a hint.";
            endLine();
        }
    }
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// The row answer: a row, or going back, or nothing at the end of input.
struct RowAnswer {
    bool ended = false;
    bool back = false;
    std::int32_t row = -1;
};

RowAnswer askRow(const Turn& turn, TurnAction action, bool mayGoBack) {
    const std::string rows = "(1-" + std::to_string(turn.game.numberOfPlayers) + ")";
    const std::string question =
        action == TurnAction::Take
            ? "Row to take " + rows + (mayGoBack ? ", B to go back" : "") + " or ? for a hint: "
            : "Row to place it on " + rows + " or ? for a hint: ";
    discardRestOfLine();
    for (;;) {
        std::cout << question;
        LineAnswer line{};
        if (!readLineAnswer(line)) {
            return RowAnswer{true};
        }
        const char* text = line.data();
        while (isBlank(*text)) {
            ++text;
        }
        if (*text == '?') {
            showHint(turn, DecisionStage::Row, action, mayGoBack);
            continue;
        }
        if (mayGoBack && (*text == 'B' || *text == 'b')) {
            return RowAnswer{false, true};
        }
        if (!(*text == '+' || *text == '-' || (*text >= '0' && *text <= '9'))) {
            std::cout << "Please type a row number " << rows << (mayGoBack ? ", B to go back" : "")
                      << " or ? for a hint.";
            endLine();
            continue;
        }
        const std::int32_t typed = leadingNumber(text);
        const std::int32_t row = typed > 0 ? typed - 1 : -1;
        if (isRowValid(turn.game, action, row)) {
            return RowAnswer{false, false, row};
        }
        std::cout << refusalText(turn.game, action, typed);
        endLine();
    }
}

} // namespace

std::string refusalText(const GameState& game, TurnAction action, std::int32_t typed) {
    const std::string number = std::to_string(typed);
    switch (rowRefusal(game, action, typed > 0 ? typed - 1 : -1)) {
    case RowRefusal::None:
        break;
    case RowRefusal::NoSuchRow:
        return "There is no row " + number + ": the rows are 1 to " +
               std::to_string(game.numberOfPlayers) + '.';
    case RowRefusal::Taken:
        return "Row " + number + " was already taken this round.";
    case RowRefusal::Empty:
        return "Row " + number + " is empty: there is nothing to take.";
    case RowRefusal::Full:
        return "Row " + number + " is full: the card must go on a row with room.";
    }
    assert(false && "a row the rules allow is never refused");
    return {};
}

std::string signedTenths(double value) {
    const double rounded = std::round(value * 10.0) / 10.0;
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%+.1f", rounded == 0.0 ? 0.0 : rounded);
    return text.data();
}

std::string percent(double chance) {
    return std::to_string(std::lround(chance * 100.0)) + '%';
}

std::string tenths(double value) {
    const double rounded = std::round(value * 10.0) / 10.0;
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.1f", rounded == 0.0 ? 0.0 : rounded);
    return text.data();
}

std::string choiceWords(const Choice& choice, DecisionStage stage) {
    if (choice.action == TurnAction::Take) {
        return "take row " + rowNumber(choice.row);
    }
    return stage == DecisionStage::Action ? "draw" : "place it on row " + rowNumber(choice.row);
}

std::vector<std::string> hintLines(const Advice& advice, DecisionStage stage, bool backToDraw) {
    std::string values = " ";
    for (const ChoiceWorth& worth : advice.choices) {
        std::string name;
        if (stage == DecisionStage::Action) {
            name = worth.choice.action == TurnAction::Draw ? "draw"
                                                           : "take " + rowNumber(worth.choice.row);
        } else {
            name = "row " + rowNumber(worth.choice.row);
        }
        values +=
            "  " + name + ' ' + (advice.chances ? percent(worth.value) : signedTenths(worth.value));
    }
    return {
        "Hint: Hard would " + choiceWords(advice.strongest, stage) +
            (backToDraw && advice.strongest.action == TurnAction::Draw ? " (B goes back)" : "") +
            (advice.chances ? ". Chance of winning:" : ". Expected lead over the other player:"),
        values};
}

namespace {

// The row for a drawn card: asked, or told when only one row has room.
std::optional<ChosenMove> placeDrawnCard(const Turn& turn, std::vector<Decision>& decisions) {
    const GameState& game = turn.game;
    const RowSet rows = allowedRows(game, TurnAction::Draw);
    const std::string card(cardLabels[static_cast<std::size_t>(topCard(game))]);
    if (rowCount(rows) == 1) {
        std::cout << "You drew " << card << ". Row " << rowNumber(lowestRow(rows))
                  << " is the only one with room, so it goes there.";
        endLine();
        return ChosenMove{TurnAction::Draw, lowestRow(rows)};
    }
    std::cout << "You drew " << card << '.';
    endLine();
    const RowAnswer answer = askRow(turn, TurnAction::Draw, false);
    if (answer.ended) {
        return std::nullopt;
    }
    const Choice chosen{TurnAction::Draw, answer.row};
    decisions.push_back({game, DecisionStage::Row, TurnAction::Draw, chosen,
                         decisionSeed(turn.gameSeed, turn.movesPlayed, DecisionStage::Row),
                         turn.movesPlayed});
    return ChosenMove{TurnAction::Draw, answer.row};
}

// The action: asked when both are possible, else told.
std::optional<TurnAction> chooseAction(const Turn& turn, bool canDraw, bool canTake) {
    if (canDraw && canTake) {
        const ActionAnswer answer = askAction(turn);
        if (answer == ActionAnswer::Ended) {
            return std::nullopt;
        }
        return answer == ActionAnswer::Draw ? TurnAction::Draw : TurnAction::Take;
    }
    std::cout << turnName(turn)
              << (canDraw ? ": no row holds a card, so you draw."
                          : ": every row in play is full, so you take one.");
    endLine();
    return canDraw ? TurnAction::Draw : TurnAction::Take;
}

} // namespace

std::optional<ChosenMove> askSoloPersonMove(const GameState& game, const Seating& seating,
                                            std::uint64_t gameSeed, std::size_t movesPlayed,
                                            std::vector<Decision>& decisions,
                                            std::int32_t turnNumber) {
    const Turn turn{game, seating, gameSeed, movesPlayed, turnNumber};
    const bool canDraw = isActionPossible(game, TurnAction::Draw);
    const bool canTake = isActionPossible(game, TurnAction::Take);
    const auto decided = [&](TurnAction action, Choice chosen) {
        decisions.push_back({game, DecisionStage::Action, action, chosen,
                             decisionSeed(gameSeed, movesPlayed, DecisionStage::Action),
                             movesPlayed});
    };
    for (;;) {
        const std::optional<TurnAction> action = chooseAction(turn, canDraw, canTake);
        if (!action) {
            return std::nullopt;
        }
        if (*action == TurnAction::Draw) {
            if (canTake) {
                decided(TurnAction::Draw, Choice{});
            }
            return placeDrawnCard(turn, decisions);
        }
        const RowSet rows = allowedRows(game, TurnAction::Take);
        if (!canDraw && rowCount(rows) == 1) {
            std::cout << "Row " << rowNumber(lowestRow(rows)) << " is the only one left to take.";
            endLine();
            return ChosenMove{TurnAction::Take, lowestRow(rows)};
        }
        const RowAnswer answer = askRow(turn, TurnAction::Take, canDraw);
        if (answer.ended) {
            return std::nullopt;
        }
        if (!answer.back) {
            decided(TurnAction::Take, Choice{TurnAction::Take, answer.row});
            return ChosenMove{TurnAction::Take, answer.row};
        }
    }
}

} // namespace pellaro
