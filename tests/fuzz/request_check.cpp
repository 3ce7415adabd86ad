#include "request_check.h"

#include "bots/bot.h"
#include "engine/game_state.h"
#include "engine/row_set.h"
#include "protocol/bot_protocol.h"
#include "protocol/bot_server.h"

#include <array>
#include <sys/mman.h>
#include <unistd.h>

namespace pellaro {

namespace {

// Every bot the server may serve, each at a budget that keeps an input fast.
const std::vector<BotSettings>& servedBots() {
    static const std::vector<BotSettings> bots = {
        *botNamed("greedy", defaultBudget), *botNamed("random", defaultBudget),
        *botNamed("montecarlo:20", defaultBudget), *botNamed("ismcts:20", defaultBudget)};
    return bots;
}

std::string replyFault(const BotRequest& request, const std::string& line) {
    if (line.empty() || line.back() != '\n') {
        return "a reply without its newline";
    }
    const auto reply = parseReply(std::string_view(line).substr(0, line.size() - 1), request.kind);
    if (!reply) {
        return "an unreadable reply: " + line;
    }
    const bool legal = reply->action == TurnAction::Draw && reply->row < 0
                           ? allowedRows(request.table, TurnAction::Draw) != 0
                           : isRowValid(request.table, reply->action, reply->row);
    return legal ? std::string() : "an illegal reply: " + line;
}

// What a descriptor of memory holds from its start.
std::string contents(int file) {
    std::string text;
    std::array<char, 4096> chunk{};
    lseek(file, 0, SEEK_SET);
    for (ssize_t got = 0; (got = read(file, chunk.data(), chunk.size())) > 0;) {
        text.append(chunk.data(), static_cast<std::size_t>(got));
    }
    return text;
}

// The server's loop on the input, from a descriptor of memory to another:
// whether it ended well, and what it wrote.
bool serve(const BotSettings& bot, const std::string& name, std::string_view input,
           std::string& output) {
    const int in = memfd_create("requests", 0);
    const int out = memfd_create("replies", 0);
    bool ended = in >= 0 && out >= 0 &&
                 write(in, input.data(), input.size()) == static_cast<ssize_t>(input.size()) &&
                 lseek(in, 0, SEEK_SET) == 0;
    std::string error;
    ended = ended && serveBot(bot, name, in, out, error);
    output = contents(out);
    close(in);
    close(out);
    return ended;
}

} // namespace

std::string botServerFault(std::string_view input) {
    const BotSettings& server = servedBots()[input.size() % servedBots().size()];
    const std::string name = botName(server, defaultBudget);
    std::string answers = std::string(botGreeting) + " " + name + "\n";
    bool refused = false;
    std::size_t start = 0;
    for (std::size_t end = input.find('\n'); end != std::string_view::npos && !refused;
         start = end + 1, end = input.find('\n', start)) {
        const std::string_view line = input.substr(start, end - start);
        BotRequest request;
        std::string error;
        if (!parseRequest(line, request, error)) {
            if (error.empty()) {
                return "a request refused without a reason";
            }
            refused = true;
            continue;
        }
        std::string again;
        appendRequest(again, request.kind, request.seed, SeatView(request.table), request.drawn);
        if (again.substr(0, again.size() - 1) != line) {
            return "an accepted request reads back otherwise: " + again;
        }
        for (const BotSettings& bot : servedBots()) {
            const std::string fault = replyFault(request, servedReply(bot, request));
            if (!fault.empty()) {
                return botName(bot, defaultBudget) + " gives " + fault;
            }
        }
        answers += servedReply(server, request);
    }
    const bool whole = !refused && start == input.size();
    std::string output;
    const bool ended =
        serve(server, name, std::string(botGreeting) + "\n" + std::string(input), output);
    if (ended != whole) {
        return whole ? "the server refuses good requests" : "the server serves a bad input";
    }
    // A refusal may come before the replies to the lines above it are written.
    if (whole ? output != answers : !answers.starts_with(output)) {
        return "the server answers otherwise than its bot: " + output;
    }
    return {};
}

std::vector<std::string> realRequests(std::uint64_t seed, std::size_t count) {
    SeededRandom random = seededRandom(seed);
    std::vector<std::string> lines;
    while (lines.size() < count) {
        // One draw after the other: the order of a call's arguments is the
        // compiler's, and the corpus must not depend on it.
        const std::uint64_t dealSeed = nextBits(random);
        const std::int32_t players = minPlayers + nextBelow(random, 4);
        GameState game = seededDeal(players, dealSeed);
        for (bool over = false; !over && lines.size() < count;) {
            const RowChoices choices = rowChoices(game);
            const bool take =
                choices.takes != 0 && (choices.draws == 0 || nextBelow(random, 3) == 0);
            const TurnAction action = take ? TurnAction::Take : TurnAction::Draw;
            const RowSet rows = allowedRows(game, action);
            // One turn in four is asked, a Draw's row as often as its action.
            if (nextBelow(random, 4) == 0) {
                const bool place = !take && nextBelow(random, 2) == 0;
                std::string line;
                appendRequest(line, place ? RequestKind::Place : RequestKind::Move,
                              nextBits(random), SeatView(game), topCard(game));
                line.pop_back();
                lines.push_back(line);
            }
            over = applyMove(game, action, nthRow(rows, nextBelow(random, rowCount(rows))));
        }
    }
    return lines;
}

} // namespace pellaro
