#include "session_check.h"

#include "support/pinned_clock.h"

#include <algorithm>
#include <array>

namespace pellaro {

namespace {

constexpr std::string_view rulesQuestion = "Would you like to hear the rules? (Y/N) ";
constexpr std::string_view replayQuestion = "Would you like to play a new game? (Y/N) ";
constexpr std::string_view scoresHeading = "\nScores\n";
constexpr std::string_view winnerLine = "\nThe winner";

// Every question that can be left waiting when standard input runs out.
constexpr std::array<std::string_view, 9> questions = {
    rulesQuestion,
    "Press enter to continue; ",
    "Press enter to play; ",
    "Enter number of players (2-5): ",
    "Please enter the number of players (2-5): ",
    "(D)raw a card or (T)ake a row? ",
    "Please enter the row to take: ",
    "Please enter the row to place it on: ",
    replayQuestion,
};

bool endsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// The game never echoes what is typed: all it writes is its own text, the
// scoring chart's tabs and line ends.
bool isGameText(char c) {
    return c == '\n' || c == '\t' || (c >= ' ' && c <= '~');
}

} // namespace

std::uint32_t sessionSeed(std::string_view input) {
    std::uint32_t hash = 2166136261U;
    for (const char c : input) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619U;
    }
    return hash;
}

std::size_t occurrences(std::string_view output, std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = output.find(text); at != std::string_view::npos;
         at = output.find(text, at + text.size())) {
        ++count;
    }
    return count;
}

SessionResult playSession(std::string_view input) {
    pinClock(sessionSeed(input));
    return runSession(input);
}

std::string sessionFault(std::string_view input, const SessionResult& session) {
    const std::string_view output = session.output;
    if (session.status != 0) {
        return "the main loop returned " + std::to_string(session.status);
    }
    if (output.size() > outputPerInputByte * (input.size() + 1)) {
        return "wrote " + std::to_string(output.size()) + " bytes for " +
               std::to_string(input.size()) + " bytes of input";
    }
    if (output.substr(0, rulesQuestion.size()) != rulesQuestion) {
        return "the session does not open with the rules offer";
    }
    if (!std::all_of(output.begin(), output.end(), isGameText)) {
        return "wrote a byte that is no part of the game's text";
    }
    if (std::none_of(questions.begin(), questions.end(),
                     [output](std::string_view question) { return endsWith(output, question); })) {
        return "the session ended elsewhere than at a question";
    }
    const bool endsAtReplay = endsWith(output, replayQuestion);
    if (session.unreadInput > 0 && !endsAtReplay) {
        return "left " + std::to_string(session.unreadInput) +
               " bytes unread without a declined replay";
    }
    const std::size_t replays = occurrences(output, replayQuestion);
    if (occurrences(output, rulesQuestion) != replays + (endsAtReplay ? 0 : 1)) {
        return "the rules offers are out of step with the replay questions";
    }
    if (occurrences(output, scoresHeading) != replays ||
        occurrences(output, winnerLine) != replays) {
        return "the score reports are out of step with the replay questions";
    }
    return {};
}

} // namespace pellaro
