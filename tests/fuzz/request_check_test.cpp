// Requests as games ask them, and the same requests spoilt one field at a
// time, through the bot server fuzz target's checks: every real request is
// accepted and answered by every bot, and every spoilt one is refused with a
// reason or answered by every bot without tripping an assertion.

#include "engine/card.h"
#include "engine/seeded_random.h"
#include "protocol/bot_protocol.h"
#include "request_check.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>
#include <vector>

namespace pellaro {

namespace {

// A request's words; a table of n players has its rows from word 6, its
// piles from 6 + n, who is out at 6 + 2n and the unseen cards next.
struct Fields {
    std::vector<std::string> words;
    std::size_t players = 0;

    std::string& row(std::size_t seat) { return words[6 + seat]; }
    std::string& pile(std::size_t seat) { return words[6 + players + seat]; }
    std::string& out() { return words[6 + 2 * players]; }
    std::string& unseen() { return words[7 + 2 * players]; }
};

Fields fieldsOf(const std::string& line) {
    Fields fields;
    std::istringstream words(line);
    for (std::string word; words >> word;) {
        fields.words.push_back(word);
    }
    fields.players = static_cast<std::size_t>(std::stoi(fields.words[2]));
    return fields;
}

std::string lineOf(const Fields& fields) {
    std::string line;
    for (const std::string& word : fields.words) {
        line += (line.empty() ? "" : " ") + word;
    }
    return line;
}

// Adds to a count of a word of counts; a count out of range is the reader's
// to refuse.
void add(std::string& word, std::size_t kind, std::int32_t by) {
    std::istringstream text(word);
    word.clear();
    std::size_t at = 0;
    for (std::string count; std::getline(text, count, ','); ++at) {
        word += (at == 0 ? "" : ",") + std::to_string(std::stoi(count) + (at == kind ? by : 0));
    }
}

std::size_t pick(SeededRandom& random, std::size_t bound) {
    return static_cast<std::size_t>(nextBelow(random, static_cast<std::int32_t>(bound)));
}

struct Spoiling {
    const char* what;
    void (*spoil)(Fields&, SeededRandom&);
};

const std::vector<Spoiling> spoilings = {
    {"someone in or out",
     [](Fields& f, SeededRandom& r) {
         char& bit = f.out()[pick(r, f.players)];
         bit = bit == '0' ? '1' : '0';
     }},
    {"a row taken or given back",
     [](Fields& f, SeededRandom& r) {
         std::string& row = f.row(pick(r, f.players));
         row = row.starts_with('*') ? row.substr(1) : "*" + row;
     }},
    {"an unseen card into a pile",
     [](Fields& f, SeededRandom& r) {
         const std::size_t kind = pick(r, cardKindCount);
         add(f.pile(pick(r, f.players)), kind, 1);
         add(f.unseen(), kind, -1);
         f.words[4] = std::to_string(std::stoi(f.words[4]) + 1);
     }},
    {"an unseen card onto a row",
     [](Fields& f, SeededRandom& r) {
         const std::size_t kind = pick(r, cardKindCount);
         std::string& row = f.row(pick(r, f.players));
         row = (row.ends_with('-') ? row.substr(0, row.size() - 1) : row) + cardLetters[kind];
         add(f.unseen(), kind, -1);
         f.words[4] = std::to_string(std::stoi(f.words[4]) + 1);
     }},
    {"another seat to move",
     [](Fields& f, SeededRandom& r) { f.words[3] = std::to_string(pick(r, f.players) + 1); }},
    {"any letter anywhere",
     [](Fields& f, SeededRandom& r) {
         constexpr std::string_view letters = "0123456789,*-RGBYPSVW+";
         std::string& word = f.words[2 + pick(r, f.words.size() - 2)];
         word[pick(r, word.size())] = letters[pick(r, letters.size())];
     }},
};

TEST(RequestCheck, RealRequestsAreAcceptedAndAnsweredByEveryBot) {
    const std::vector<std::string> lines = realRequests(7, 400);
    std::string input;
    for (const std::string& line : lines) {
        BotRequest request;
        std::string error;
        EXPECT_TRUE(parseRequest(line, request, error)) << line << ": " << error;
        input += line + "\n";
    }
    EXPECT_EQ(botServerFault(input), "");
}

TEST(RequestCheck, SpoiltRequestsAreRefusedWithAReasonOrAnswered) {
    SeededRandom random = seededRandom(11);
    std::int32_t refused = 0;
    const std::vector<std::string> lines = realRequests(13, 400);
    for (const std::string& line : lines) {
        for (const Spoiling& spoiling : spoilings) {
            Fields fields = fieldsOf(line);
            spoiling.spoil(fields, random);
            const std::string spoilt = lineOf(fields);
            ASSERT_EQ(botServerFault(spoilt + "\n"), "") << spoiling.what << ": " << spoilt;
            BotRequest request;
            std::string error;
            refused += parseRequest(spoilt, request, error) ? 0 : 1;
        }
    }
    // Most spoilings leave a table no game reaches.
    EXPECT_GT(refused, std::ssize(lines) * std::ssize(spoilings) / 2);
}

TEST(RequestCheck, EverySeedOfTheServersCorpusPassesTheChecks) {
    std::size_t seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(PELLARO_REQUEST_CORPUS)) {
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string seed{std::istreambuf_iterator<char>(file), {}};
        EXPECT_EQ(botServerFault(seed), "") << entry.path();
        ++seeds;
    }
    EXPECT_GE(seeds, 20U);
}

} // namespace

} // namespace pellaro
