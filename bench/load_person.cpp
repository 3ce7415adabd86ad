#include "load_person.h"

#include "../engine/card.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace pellaro::load {

namespace {

// The words of a line, split at single spaces.
std::vector<std::string_view> wordsOf(std::string_view text) {
    std::vector<std::string_view> words;
    while (!text.empty()) {
        const std::size_t space = std::min(text.find(' '), text.size());
        words.push_back(text.substr(0, space));
        text.remove_prefix(std::min(space + 1, text.size()));
    }
    return words;
}

template <typename Number>
std::optional<Number> numberOf(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<ToldMove> moveOf(const std::vector<std::string_view>& words) {
    // code n seat D|T row [card]
    if (words.size() < 5) {
        return std::nullopt;
    }
    const std::optional<std::int32_t> seat = numberOf<std::int32_t>(words[2]);
    const std::optional<std::int32_t> row = numberOf<std::int32_t>(words[4]);
    const bool draw = words[3] == "D";
    if (!seat || !row || (!draw && words[3] != "T") || words.size() != (draw ? 6U : 5U)) {
        return std::nullopt;
    }
    return ToldMove{*seat, draw ? TurnAction::Draw : TurnAction::Take, *row,
                    draw ? std::string(words[5]) : std::string()};
}

bool startsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start;
}

constexpr std::string_view seedLine = "This deal was seed ";
constexpr std::string_view closingLine =
    "The game is over: CREATE, JOIN or WATCH another, or QUIT.";

} // namespace

void Tally::error(const std::string& who, const std::string& what) {
    errors.push_back(who + ": " + what);
}

Person::Person(TableSeen& table, std::int32_t index, std::uint64_t runSeed, std::int32_t person,
               std::int32_t thinkMs)
    : table_(table), index_(index), random_(seededRandom(deriveSeed(runSeed, person))),
      thinkRandom_(seededRandom(deriveSeed(deriveSeed(runSeed, person), 1))), thinkMs_(thinkMs),
      shadow_(seededDeal(seatsPerTable, 0)), known_(publicStateOf(shadow_)) {}

std::string Person::name() const {
    return "table " + (table_.code.empty() ? "?" : table_.code) + " person " +
           std::to_string(index_ + 1);
}

std::optional<std::string> Person::greeting() {
    if (!greeted_ || sent_ != Sent::None || phase_ != Phase::Arriving) {
        return std::nullopt;
    }
    if (seated()) {
        sent_ = Sent::Resume;
        return "RESUME " + table_.code + ' ' + std::to_string(seat_ + 1) + ' ' + token_;
    }
    if (index_ == 0) {
        sent_ = Sent::Create;
        return "CREATE PPPP";
    }
    if (table_.code.empty()) {
        return std::nullopt;
    }
    sent_ = Sent::Join;
    return "JOIN " + table_.code;
}

void Person::lost() {
    greeted_ = false;
    sent_ = Sent::None;
    rowAllowed_.reset();
    held_.reset();
    thinking_.reset();
    if (!finished()) {
        phase_ = Phase::Arriving;
    }
}

void Person::release(std::vector<std::string>& send) {
    if (held_) {
        think(*std::exchange(held_, std::nullopt), send);
    }
}

std::optional<Clock::time_point> Person::answerDue() const {
    return thinking_ ? std::optional<Clock::time_point>(dueAt_) : std::nullopt;
}

void Person::answerIfDue(Clock::time_point now, std::vector<std::string>& send) {
    if (thinking_ && now >= dueAt_) {
        answer(*std::exchange(thinking_, std::nullopt), send);
    }
}

void Person::hear(std::string_view line, std::vector<std::string>& send, Tally& tally) {
    const std::size_t space = line.find(' ');
    const std::string_view tag = line.substr(0, space);
    const std::string_view rest =
        space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
    if (tag == "HELLO" && !greeted_ && rest == "pellaro 1") {
        greeted_ = true;
        if (std::optional<std::string> first = greeting()) {
            send.push_back(std::move(*first));
        }
    } else if (tag == "OK") {
        heardOk(rest, tally);
    } else if (tag == "ERR" && sent_ == Sent::Resume && seated()) {
        // Only a table in play can be resumed: the end is checked against
        // the stored game instead.
        phase_ = Phase::EndedAway;
        sent_ = Sent::None;
        ++tally.endedAway;
    } else if (tag == "MOVE") {
        heardMove(rest, tally);
    } else if (tag == "|") {
        heardScreen(rest, tally);
    } else if (tag == "?") {
        heardQuestion(rest, send, tally);
    } else {
        tally.error(name(), "unexpected line '" + std::string(line) + "'");
    }
}

void Person::heardOk(std::string_view rest, Tally& tally) {
    const std::vector<std::string_view> words = wordsOf(rest);
    const Sent sent = std::exchange(sent_, Sent::None);
    if (sent == Sent::Answer && words.empty()) {
        return;
    }
    const bool seating = sent == Sent::Create || sent == Sent::Join;
    // 0, no seat, when missing or no number.
    const std::int32_t seat = words.size() >= 2 ? numberOf<std::int32_t>(words[1]).value_or(0) : 0;
    if ((!seating && sent != Sent::Resume) || words.size() != (seating ? 3U : 2U) || seat < 1 ||
        seat > seatsPerTable || (sent != Sent::Create && words[0] != table_.code)) {
        tally.error(name(), "unexpected 'OK " + std::string(rest) + "'");
        return;
    }
    if (sent == Sent::Create) {
        table_.code = words[0];
    }
    if (seating) {
        seat_ = seat - 1;
        token_ = words[2];
    } else if (seat - 1 != seat_) {
        tally.error(name(), "resumed seat " + std::to_string(seat) + ", not its own");
    }
    // Every earlier move is told again after a seat is taken.
    nextMove_ = 1;
    phase_ = Phase::Playing;
}

void Person::heardMove(std::string_view rest, Tally& tally) {
    const std::vector<std::string_view> words = wordsOf(rest);
    const std::optional<std::size_t> number =
        words.size() >= 2 ? numberOf<std::size_t>(words[1]) : std::nullopt;
    const std::optional<ToldMove> move = moveOf(words);
    if (!number || !move || words[0] != table_.code || phase_ != Phase::Playing) {
        tally.error(name(), "unexpected 'MOVE " + std::string(rest) + "'");
        return;
    }
    if (*number != nextMove_) {
        tally.error(name(), "was told move " + std::to_string(*number) + " where move " +
                                std::to_string(nextMove_) + " was due");
        return;
    }
    ++nextMove_;
    if (*number <= moves_.size()) {
        // Told again after RESUME: a move once told never changes.
        if (moves_[*number - 1] != *move) {
            tally.error(name(), "move " + std::to_string(*number) + " changed: '" +
                                    std::string(rest) + "'");
        }
        return;
    }
    newMove(*move, tally);
}

void Person::newMove(const ToldMove& move, Tally& tally) {
    const std::size_t number = moves_.size() + 1;
    if (over_ || move.seat != shadow_.currentPlayer + 1 ||
        !isRowValid(shadow_, move.action, move.row - 1)) {
        tally.error(name(), "move " + std::to_string(number) + " is one the rules refuse");
        return;
    }
    if (move.seat == seat_ + 1 && rowAllowed_ == false) {
        tally.error(name(), "a row the rules refuse was played");
    }
    rowAllowed_.reset();
    over_ = playTurn(shadow_, known_, {move.action, move.row - 1}).over;
    moves_.push_back(move);
    if (number > table_.moves.size()) {
        table_.moves.push_back(move);
        table_.told.push_back(0);
        ++tally.movesTold;
        if (number == tally.holdAt) {
            ++tally.tablesHeld;
        }
    } else if (table_.moves[number - 1] != move) {
        tally.error(name(), "move " + std::to_string(number) + " differs from another seat's");
    }
    // The latency ends when the last of the table's people is told.
    if (++table_.told[number - 1] == seatsPerTable) {
        const auto answered = table_.answeredAt.find(number);
        if (answered != table_.answeredAt.end()) {
            const std::chrono::duration<double, std::milli> spent = Clock::now() - answered->second;
            tally.latencies.push_back(spent.count());
            table_.answeredAt.erase(answered);
        }
    }
}

void Person::heardScreen(std::string_view text, Tally& tally) {
    if (startsWith(text, seedLine) && text.back() == '.') {
        const std::optional<std::uint64_t> seed = numberOf<std::uint64_t>(
            text.substr(seedLine.size(), text.size() - seedLine.size() - 1));
        if (!over_ || !seed || (table_.seed && table_.seed != seed)) {
            tally.error(name(), "unexpected '| " + std::string(text) + "'");
        }
        table_.seed = seed;
        return;
    }
    const std::size_t scored = text.rfind(" scored ");
    if (over_ && startsWith(text, "Player #") && scored != std::string_view::npos &&
        text.back() == '.') {
        const std::optional<std::int32_t> seat = numberOf<std::int32_t>(text.substr(8, 1));
        const std::optional<std::int32_t> score =
            numberOf<std::int32_t>(text.substr(scored + 8, text.size() - scored - 9));
        table_.scores.resize(seatsPerTable);
        if (!seat || !score || *seat < 1 || *seat > seatsPerTable ||
            (table_.scores[*seat - 1] && table_.scores[*seat - 1] != score)) {
            tally.error(name(), "unexpected '| " + std::string(text) + "'");
            return;
        }
        table_.scores[*seat - 1] = score;
        return;
    }
    if (text == closingLine) {
        if (!over_) {
            tally.error(name(), "was told the game is over before its last move");
        }
        phase_ = Phase::Done;
    }
}

void Person::heardQuestion(std::string_view question, std::vector<std::string>& send,
                           Tally& tally) {
    if (rowAllowed_ == true) {
        tally.error(name(), "a row the rules allow was refused");
    } else if (rowAllowed_ == false) {
        ++tally.refusedRows;
    }
    if (pointlessQuestions_ > 0) {
        tally.error(name(), "was asked to draw or take where only one of them is possible");
        pointlessQuestions_ = 0;
    }
    rowAllowed_.reset();
    std::optional<std::string> text = answerFor(question);
    if (!text) {
        tally.error(name(), "unexpected question '? " + std::string(question) + "'");
        return;
    }
    // Held at the midpoint until every table is there, for the memory figure.
    const bool hold = !tally.released && !over_ && table_.moves.size() >= tally.holdAt;
    if (hold) {
        held_ = std::move(text);
        return;
    }
    think(std::move(*text), send);
}

void Person::think(std::string text, std::vector<std::string>& send) {
    if (thinkMs_ == 0) {
        answer(text, send);
        return;
    }
    thinking_ = std::move(text);
    dueAt_ = Clock::now() + std::chrono::milliseconds(nextBelow(thinkRandom_, 2 * thinkMs_ + 1));
}

// The latency starts here, when the answer is sent, after any think time.
void Person::answer(const std::string& text, std::vector<std::string>& send) {
    if (!over_) {
        table_.answeredAt[moves_.size() + 1] = Clock::now();
    }
    sent_ = Sent::Answer;
    send.push_back("ANSWER " + text);
}

std::optional<std::string> Person::answerFor(std::string_view question) {
    if (over_) {
        return startsWith(question, "Review your decisions") ? std::optional<std::string>("n")
                                                             : std::nullopt;
    }
    if (shadow_.currentPlayer != seat_ || phase_ != Phase::Playing) {
        return std::nullopt;
    }
    if (question.find("(D)raw a card, (T)ake a row") != std::string_view::npos) {
        // Mostly draws, as people play; the question comes only when both
        // are possible, and a person who sees one is not still answers it.
        const bool draw = isActionPossible(shadow_, TurnAction::Draw);
        const bool take = isActionPossible(shadow_, TurnAction::Take);
        if (!draw || !take) {
            ++pointlessQuestions_;
        }
        return take && (!draw || nextBelow(random_, 5) == 0) ? "T" : "D";
    }
    const bool place = startsWith(question, "Row to place it on (1-4)");
    if (!place && !startsWith(question, "Row to take (1-4)")) {
        return std::nullopt;
    }
    // Any row, so that some are refused and asked again.
    const std::int32_t row = nextBelow(random_, seatsPerTable);
    rowAllowed_ = isRowValid(shadow_, place ? TurnAction::Draw : TurnAction::Take, row);
    return std::to_string(row + 1);
}

} // namespace pellaro::load
