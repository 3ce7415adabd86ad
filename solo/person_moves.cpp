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

enum class ActionAnswer : std::uint8_t { Draw, Take, Save, Ended };

bool isSaveWord(char c) {
    return c == 'S' || c == 's';
}

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
        case 'S':
        case 's':
            return ActionAnswer::Save;
        default:
            std::cout << "Please answer D to draw, T to take a row, ? for a hint or S to save.";
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
    bool save = false;
    std::int32_t row = -1;
};

bool isNumberStart(char c) {
    return c == '+' || c == '-' || (c >= '0' && c <= '9');
}

// The first word of a typed line: its first character past the blanks.
const char* firstWord(const LineAnswer& line) {
    const char* text = line.data();
    while (isBlank(*text)) {
        ++text;
    }
    return text;
}

RowAnswer askRow(const Turn& turn, TurnAction action, bool mayGoBack) {
    const std::string rows = "(1-" + std::to_string(turn.game.numberOfPlayers) + ")";
    const std::string back = mayGoBack ? ", B to go back" : "";
    const std::string question = action == TurnAction::Take
                                     ? "Row to take " + rows + back + " or ? for a hint: "
                                     : "Row to place it on " + rows + " or ? for a hint: ";
    discardRestOfLine();
    for (;;) {
        std::cout << question;
        LineAnswer line{};
        if (!readLineAnswer(line)) {
            return RowAnswer{true};
        }
        const char* text = firstWord(line);
        if (*text == '?') {
            showHint(turn, DecisionStage::Row, action, mayGoBack);
            continue;
        }
        if (mayGoBack && (*text == 'B' || *text == 'b')) {
            return RowAnswer{false, true};
        }
        if (isSaveWord(*text)) {
            return RowAnswer{false, false, true};
        }
        if (!isNumberStart(*text)) {
            std::cout << "Please type a row number " << rows << back
                      << ", ? for a hint or S to save.";
            endLine();
            continue;
        }
        const std::int32_t typed = leadingNumber(text);
        const std::int32_t row = typed > 0 ? typed - 1 : -1;
        if (isRowValid(turn.game, action, row)) {
            return RowAnswer{false, false, false, row};
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
PersonTurn placeDrawnCard(const Turn& turn) {
    const GameState& game = turn.game;
    const RowSet rows = allowedRows(game, TurnAction::Draw);
    const std::string card(cardLabels[static_cast<std::size_t>(topCard(game))]);
    if (rowCount(rows) == 1) {
        std::cout << "You drew " << card << ". Row " << rowNumber(lowestRow(rows))
                  << " is the only one with room, so it goes there.";
        endLine();
        return {PersonEnd::Moved, ChosenMove{TurnAction::Draw, lowestRow(rows)}, false};
    }
    std::cout << "You drew " << card << '.';
    endLine();
    const RowAnswer answer = askRow(turn, TurnAction::Draw, false);
    if (answer.ended) {
        return {};
    }
    if (answer.save) {
        return {PersonEnd::SaveAsked, ChosenMove{TurnAction::Draw, -1}, true};
    }
    return {PersonEnd::Moved, ChosenMove{TurnAction::Draw, answer.row}, false};
}

// The action: asked when both are possible, else told.
ActionAnswer chooseAction(const Turn& turn, bool canDraw, bool canTake) {
    if (canDraw && canTake) {
        return askAction(turn);
    }
    std::cout << turnName(turn)
              << (canDraw ? ": no row holds a card, so a card must be drawn."
                          : ": every row in play is full, so a row must be taken.");
    endLine();
    return canDraw ? ActionAnswer::Draw : ActionAnswer::Take;
}

} // namespace

bool isTakeRowAsked(const GameState& game) {
    return isActionPossible(game, TurnAction::Draw) ||
           rowCount(allowedRows(game, TurnAction::Take)) > 1;
}

PersonTurn askSoloPersonMove(const GameState& game, const Seating& seating, std::uint64_t gameSeed,
                             std::size_t movesPlayed, std::int32_t turnNumber, bool drawn) {
    const Turn turn{game, seating, gameSeed, movesPlayed, turnNumber};
    if (drawn) {
        std::cout << turnName(turn) << ": ";
        return placeDrawnCard(turn);
    }
    const bool canDraw = isActionPossible(game, TurnAction::Draw);
    const bool canTake = isActionPossible(game, TurnAction::Take);
    for (;;) {
        const ActionAnswer action = chooseAction(turn, canDraw, canTake);
        switch (action) {
        case ActionAnswer::Ended:
            return {};
        case ActionAnswer::Save:
            return {PersonEnd::SaveAsked, ChosenMove{}, false};
        case ActionAnswer::Draw:
            return placeDrawnCard(turn);
        case ActionAnswer::Take:
            break;
        }
        const RowSet rows = allowedRows(game, TurnAction::Take);
        if (!isTakeRowAsked(game)) {
            std::cout << "Row " << rowNumber(lowestRow(rows)) << " is the only one left to take.";
            endLine();
            return {PersonEnd::Moved, ChosenMove{TurnAction::Take, lowestRow(rows)}, false};
        }
        const RowAnswer answer = askRow(turn, TurnAction::Take, canDraw);
        if (answer.ended) {
            return {};
        }
        if (answer.save) {
            return {PersonEnd::SaveAsked, ChosenMove{}, false};
        }
        if (!answer.back) {
            return {PersonEnd::Moved, ChosenMove{TurnAction::Take, answer.row}, false};
        }
    }
}

void addDecisions(std::vector<Decision>& decisions, const GameState& game, const ChosenMove& move,
                  std::uint64_t gameSeed, std::size_t movesPlayed) {
    const auto decided = [&](DecisionStage stage, TurnAction action, Choice chosen) {
        decisions.push_back(
            {game, stage, action, chosen, decisionSeed(gameSeed, movesPlayed, stage), movesPlayed});
    };
    if (move.action == TurnAction::Take) {
        if (isTakeRowAsked(game)) {
            decided(DecisionStage::Action, TurnAction::Take, Choice{TurnAction::Take, move.row});
        }
        return;
    }
    if (isActionPossible(game, TurnAction::Take)) {
        decided(DecisionStage::Action, TurnAction::Draw, Choice{});
    }
    if (rowCount(allowedRows(game, TurnAction::Draw)) > 1) {
        decided(DecisionStage::Row, TurnAction::Draw, Choice{TurnAction::Draw, move.row});
    }
}

} // namespace pellaro
