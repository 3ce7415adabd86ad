#include "data_home.h"
#include "e2e/running_program.h"
#include "person_answers.h"
#include "solo/solo_options.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pellaro {

namespace {

OptionsRead readArguments(std::vector<const char*> arguments, SoloOptions& options,
                          std::string& text) {
    arguments.insert(arguments.begin(), "pellaro-solo");
    return readSoloOptions(static_cast<int>(arguments.size()), arguments.data(), options, text);
}

TEST(SoloOptions, ReadsTheSeedAndRefusesAnythingElseInOneLine) {
    struct Case {
        std::vector<const char*> arguments;
        OptionsRead read;
        std::optional<std::uint32_t> seed;
        std::string said;
    };
    const std::vector<Case> cases = {
        {{}, OptionsRead::Play, std::nullopt, ""},
        {{"--seed", "0"}, OptionsRead::Play, 0U, ""},
        {{"--seed=4294967295"}, OptionsRead::Play, 4294967295U, ""},
        {{"--seed", "4294967296"}, OptionsRead::Bad, std::nullopt, "4294967296"},
        {{"--seed", "-1"}, OptionsRead::Bad, std::nullopt, "-1"},
        {{"--seed", "twelve"}, OptionsRead::Bad, std::nullopt, "'twelve' is no seed"},
        {{"--seed", "0x10"}, OptionsRead::Bad, std::nullopt, "'0x10' is no seed"},
        {{"--seed", "+5"}, OptionsRead::Bad, std::nullopt, "'+5' is no seed"},
        {{"--seed", "1e3"}, OptionsRead::Bad, std::nullopt, "'1e3' is no seed"},
        {{"--seed", "007"}, OptionsRead::Play, 7U, ""},
        {{"--seed"}, OptionsRead::Bad, std::nullopt, "--seed needs a value"},
        {{"--resume"}, OptionsRead::Play, std::nullopt, ""},
        {{"--resume", "--seed", "3"}, OptionsRead::Bad, std::nullopt, "excludes"},
        {{"--resume", "--bot", "greedy"}, OptionsRead::Bad, std::nullopt, "excludes"},
        {{"--stats", "--resume"}, OptionsRead::Bad, std::nullopt, "excludes"},
        {{"--speed", "3"}, OptionsRead::Bad, std::nullopt, "--speed"},
        {{"extra"}, OptionsRead::Bad, std::nullopt, "extra"},
        {{"--help"}, OptionsRead::Help, std::nullopt, "--stats"},
        {{"--stats"}, OptionsRead::Play, std::nullopt, ""},
        {{"--stats", "--seed", "3"}, OptionsRead::Bad, std::nullopt, "excludes"},
        {{"--bot", "greedy", "--stats"}, OptionsRead::Bad, std::nullopt, "excludes"},
        {{"--bot", "greedy"}, OptionsRead::Play, std::nullopt, ""},
        {{"--bot", "exec:python3 mine.py"}, OptionsRead::Play, std::nullopt, ""},
        {{"--bot", "clairvoyant"}, OptionsRead::Bad, std::nullopt, "'clairvoyant'"},
        {{"--bot", "sneaky"}, OptionsRead::Bad, std::nullopt, "'sneaky'"},
        {{"--bot", "exec:"}, OptionsRead::Bad, std::nullopt, "'exec:'"},
        {{"--bot", "greedy:ties=first"},
         OptionsRead::Bad,
         std::nullopt,
         "greedy does not read ties"},
    };
    for (const Case& c : cases) {
        SoloOptions options;
        std::string text;
        EXPECT_EQ(readArguments(c.arguments, options, text), c.read) << c.said;
        EXPECT_EQ(options.seed, c.seed) << c.said;
        if (c.read == OptionsRead::Play) {
            EXPECT_EQ(options.stats, c.arguments == std::vector<const char*>{"--stats"}) << c.said;
        }
        EXPECT_NE(text.find(c.said), std::string::npos) << text;
        if (c.read == OptionsRead::Bad) {
            EXPECT_EQ(text.find('\n'), std::string::npos) << text;
            EXPECT_TRUE(text.starts_with("pellaro-solo: ")) << text;
        }
    }
}

TEST(SoloOptions, TheRealProgramEndsABadOptionWithStatusTwoAndNoGame) {
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{"--seed", "-5"}, {"--colour"}, {"3"}}) {
        const ProgramRun run = runProgram("n\n", arguments);
        EXPECT_EQ(run.status, 2) << arguments[0];
        EXPECT_EQ(run.output, "") << arguments[0];
    }
    const ProgramRun help = runProgram("", {"--help"});
    EXPECT_EQ(help.status, 0);
    for (const std::string option : {"--seed N\n", "--bot BOT\n", "--resume\n", "--stats\n"}) {
        EXPECT_NE(help.output.find(option), std::string::npos) << option;
    }
    // Every line fits a terminal of 80 columns.
    for (std::size_t start = 0, end = 0; start < help.output.size(); start = end + 1) {
        end = help.output.find('\n', start);
        EXPECT_LE(end - start, 80U) << help.output.substr(start, end - start);
    }
}

// The same seed plays the same session, deal, computer players, hints and
// review alike, whatever the clock says, and tells how to replay it.
TEST(SoloOptions, ASeedReplaysAWholeSessionByteForByte) {
    if (PELLARO_INSTRUMENTED) {
        GTEST_SKIP()
            << "two whole sessions with hints and a review; the optimised build plays them, "
               "and the recorded sessions play the same code here";
    }
    const std::uint32_t seed = 4242;
    const std::string input = "n\n4\n1\nm\n" +
                              personTurnAnswers({4, 1, Strength::Medium, true, true}, seed) +
                              "y\nn\nn\n";
    std::vector<std::string> outputs;
    for (const std::uint32_t clock : {1U, 777777U}) {
        const TemporaryDataHome home;
        std::vector<std::string> settings = pinnedAt(clock);
        settings.push_back(home.setting());
        const ProgramRun run = runProgram(input, {"--seed", std::to_string(seed)}, settings,
                                          searchingSessionMilliseconds);
        EXPECT_EQ(run.status, 0);
        outputs.push_back(run.output);
    }
    EXPECT_EQ(outputs[0], outputs[1]);
    EXPECT_NE(
        outputs[0].find("This deal was seed 4242; to play it again: pellaro-solo --seed 4242\n"),
        std::string::npos);
    EXPECT_NE(outputs[0].find("Where Hard would have chosen otherwise"), std::string::npos);
}

} // namespace

} // namespace pellaro
