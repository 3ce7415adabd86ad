#include "bot_protocol.h"

#include "../engine/table_check.h"
#include "../engine/turn.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>
#include <span>

namespace pellaro {

namespace {

// A count of one kind is 0 to 10: written by hand, as a request holds up to
// a hundred of them.
void appendCounts(std::string& out, const std::array<std::int32_t, cardKindCount>& counts) {
    std::array<char, std::size_t{3} * cardKindCount> text{};
    std::size_t length = 0;
    for (int kind = 0; kind < cardKindCount; ++kind) {
        const std::int32_t count = counts[kind];
        assert(count >= 0 && count <= 10);
        if (count == 10) {
            text[length++] = '1';
        }
        text[length++] = static_cast<char>('0' + count % 10);
        text[length++] = ',';
    }
    out.append(text.data(), length - 1);
}

// The words of a line split at single spaces (an empty word is a fault); a
// request has at most 19, and more than mostWords is a fault too.
constexpr std::size_t mostWords = 24;
struct Words {
    std::array<std::string_view, mostWords> words{};
    std::size_t size = 0;
};

Words wordsOf(std::string_view line) {
    Words split;
    std::size_t start = 0;
    for (std::size_t at = 0; at <= line.size(); ++at) {
        if (at == line.size() || line[at] == ' ') {
            if (split.size == mostWords) {
                split.size = mostWords + 1;
                return split;
            }
            split.words[split.size++] = line.substr(start, at - start);
            start = at + 1;
        }
    }
    return split;
}

template <typename Number>
bool readNumber(std::string_view text, Number& value) {
    const char* end = text.data() + text.size();
    const auto [last, fault] = std::from_chars(text.data(), end, value);
    return !text.empty() && fault == std::errc{} && last == end &&
           (text.size() == 1 || text.front() != '0');
}

std::optional<CardKind> cardOf(char letter) {
    const std::size_t kind = cardLetters.find(letter);
    if (kind == std::string_view::npos) {
        return std::nullopt;
    }
    return static_cast<CardKind>(kind);
}

// Nine counts separated by commas, each 0 to what the deck holds of its kind.
bool readCounts(std::string_view text, std::array<std::int32_t, cardKindCount>& counts) {
    std::size_t at = 0;
    for (int kind = 0; kind < cardKindCount; ++kind) {
        if (kind > 0 && (at == text.size() || text[at++] != ',')) {
            return false;
        }
        if (at == text.size() || text[at] < '0' || text[at] > '9') {
            return false;
        }
        std::int32_t count = text[at++] - '0';
        if (count == 1 && at < text.size() && text[at] == '0') {
            count = 10;
            ++at;
        }
        if (count > deckMakeUp[kind]) {
            return false;
        }
        counts[kind] = count;
    }
    return at == text.size();
}

// A row's word: its cards in order, "-" when it holds none, and "*" first
// when a player took it this round.
bool readRow(std::string_view word, Row& row) {
    row.taken = word.starts_with('*');
    word.remove_prefix(row.taken ? 1 : 0);
    if (word == "-") {
        word = {};
    } else if (word.empty() || word.size() > static_cast<std::size_t>(rowLength)) {
        return false;
    }
    for (std::size_t slot = 0; slot < word.size(); ++slot) {
        const auto card = cardOf(word[slot]);
        if (!card) {
            return false;
        }
        row.slots[slot] = *card;
    }
    row.full = row.slots[rowLength - 1] != noCard;
    // Only a row with cards is ever taken.
    return !row.taken || !word.empty();
}

} // namespace

void appendRequest(std::string& out, RequestKind kind, std::uint64_t seed, const SeatView& view,
                   CardKind drawn) {
    out += kind == RequestKind::Move ? "move " : "place ";
    appendNumber(out, seed);
    out += ' ';
    appendNumber(out, view.numberOfPlayers());
    out += ' ';
    appendNumber(out, view.seat() + 1);
    out += ' ';
    appendNumber(out, view.cardsDrawn());
    out += view.lastRound() ? " 1" : " 0";
    for (const Row& row : view.rows()) {
        out += ' ';
        if (row.taken) {
            out += '*';
        }
        const std::int32_t cards = cardsOn(row);
        for (std::int32_t slot = 0; slot < cards; ++slot) {
            out += cardLetters[static_cast<std::size_t>(row.slots[slot])];
        }
        if (cards == 0) {
            out += '-';
        }
    }
    for (const PlayerState& player : view.players()) {
        out += ' ';
        appendCounts(out, player.counts);
    }
    out += ' ';
    for (const PlayerState& player : view.players()) {
        out += player.outOfRound ? '1' : '0';
    }
    out += ' ';
    appendCounts(out, view.unseen());
    if (kind == RequestKind::Place) {
        out += ' ';
        out += cardLetters[static_cast<std::size_t>(drawn)];
    }
    out += '\n';
}

namespace {

// The request's fields, or why it is none: malformed, or a table no game
// reaches, with what is wrong with it.
enum class RequestFault : std::uint8_t { None, Malformed, Unreachable };

// The table must be one a game reaches, and the counts the request repeats
// must be the table's.
std::string_view tableFaultOf(const BotRequest& request,
                              const std::array<std::int32_t, cardKindCount>& unseen, bool last) {
    const GameState& table = request.table;
    const TableFault fault = request.kind == RequestKind::Move
                                 ? tableFault(table)
                                 : placementFault(table, request.drawn);
    if (fault != TableFault::None) {
        return faultText(fault);
    }
    if (unseenOnTable(table) != unseen) {
        return "the unseen cards disagree with the table";
    }
    if (isLastRound(table) != last) {
        return "the last round disagrees with the cards drawn";
    }
    return {};
}

RequestFault readRequest(std::string_view line, BotRequest& request, std::string_view& fault) {
    const Words split = wordsOf(line);
    const auto words = std::span(split.words).first(std::min(split.size, mostWords));
    GameState& table = request.table;
    table.players.clear();
    table.rows.clear();
    request.drawn = noCard;
    if (split.size > mostWords || words.size() < 6 || (words[0] != "move" && words[0] != "place")) {
        return RequestFault::Malformed;
    }
    request.kind = words[0] == "move" ? RequestKind::Move : RequestKind::Place;
    std::int32_t seat = 0;
    std::int32_t drawn = 0;
    if (!readNumber(words[1], request.seed) || !readNumber(words[2], table.numberOfPlayers) ||
        table.numberOfPlayers < minPlayers || table.numberOfPlayers > maxPlayers ||
        !readNumber(words[3], seat) || seat < 1 || seat > table.numberOfPlayers ||
        !readNumber(words[4], drawn) || drawn > deckSize || (words[5] != "0" && words[5] != "1")) {
        return RequestFault::Malformed;
    }
    const auto players = static_cast<std::size_t>(table.numberOfPlayers);
    const std::size_t wanted = 6 + 2 * players + 2 + (request.kind == RequestKind::Place ? 1 : 0);
    if (words.size() != wanted) {
        return RequestFault::Malformed;
    }
    table.currentPlayer = seat - 1;
    table.nextCard = drawn;
    table.deck.fill(noCard);
    table.rows.resize(players);
    table.players.resize(players);
    for (std::size_t i = 0; i < players; ++i) {
        if (!readRow(words[6 + i], table.rows[i]) ||
            !readCounts(words[6 + players + i], table.players[i].counts)) {
            return RequestFault::Malformed;
        }
    }
    const std::string_view out = words[6 + 2 * players];
    std::array<std::int32_t, cardKindCount> unseen{};
    if (out.size() != players || out.find_first_not_of("01") != std::string_view::npos ||
        !readCounts(words[7 + 2 * players], unseen)) {
        return RequestFault::Malformed;
    }
    for (std::size_t i = 0; i < players; ++i) {
        table.players[i].outOfRound = out[i] == '1';
    }
    if (request.kind == RequestKind::Place) {
        const std::string_view card = words.back();
        const auto kind = card.size() == 1 ? cardOf(card[0]) : std::nullopt;
        if (!kind) {
            return RequestFault::Malformed;
        }
        request.drawn = *kind;
    }
    fault = tableFaultOf(request, unseen, words[5] == "1");
    return fault.empty() ? RequestFault::None : RequestFault::Unreachable;
}

} // namespace

bool parseRequest(std::string_view line, BotRequest& request, std::string& error) {
    std::string_view fault;
    switch (readRequest(line, request, fault)) {
    case RequestFault::None:
        return true;
    case RequestFault::Malformed:
        error = "malformed request";
        return false;
    case RequestFault::Unreachable:
        error = "a table no game reaches: ";
        error += fault;
        return false;
    }
    return false;
}

std::string replyLine(const BotReply& reply) {
    if (reply.action == TurnAction::Draw && reply.row < 0) {
        return "D\n";
    }
    std::string line = reply.action == TurnAction::Take ? "T " : "";
    appendNumber(line, reply.row + 1);
    line += '\n';
    return line;
}

std::optional<BotReply> parseReply(std::string_view line, RequestKind kind) {
    BotReply reply;
    if (kind == RequestKind::Move && line == "D") {
        return reply;
    }
    if (kind == RequestKind::Move) {
        if (!line.starts_with("T ")) {
            return std::nullopt;
        }
        line.remove_prefix(2);
        reply.action = TurnAction::Take;
    }
    std::int32_t row = 0;
    if (line.size() != 1 || !readNumber(line, row) || row < 1 || row > maxPlayers) {
        return std::nullopt;
    }
    reply.row = row - 1;
    return reply;
}

} // namespace pellaro
