// Writes the people's answers of the golden sessions of pellaro-solo, played
// here on the engine against the same computer players as the program's;
// regenerate.sh then records the sessions' output from the real program.
//
//   make_solo_golden_inputs DIR [TIME]
//       writes DIR/one_against_four.in, DIR/two_people.in and
//       DIR/sessions.txt, which names each session with its pinned time
//       (TIME, or 1000, and the next second)

#include "engine/seeded_random.h"
#include "person_answers.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

namespace pellaro {

namespace {

// The seed of the session's game after `played` others, as the program
// derives it from the first game's.
std::uint32_t laterSeed(std::uint32_t first, std::uint64_t played) {
    return static_cast<std::uint32_t>(deriveSeed(first, played));
}

} // namespace

} // namespace pellaro

int main(int argc, char** argv) {
    using namespace pellaro;
    if (argc != 2 && argc != 3) {
        std::cerr << "usage: make_solo_golden_inputs DIR [TIME]\n";
        return 2;
    }
    const std::string dir = argv[1];
    const std::uint32_t pinned = argc == 3 ? std::strtoul(argv[2], nullptr, 10) : 1000;
    // One person against four Hard players, with refused answers and hints,
    // then the review; a new game of one person against one Easy player, in
    // which no one is asked for the number of people, with its review in
    // points, and the same again.
    const std::string first =
        "n\n5\n0\n5\nfour\n\n1\nx\n\n?\nh\n" +
        personTurnAnswers({5, 1, Strength::Hard, true, true}, pinned) + "y\nn\ny\nNo\n2\nE\n" +
        personTurnAnswers({2, 1, Strength::Easy, true, false}, laterSeed(pinned, 1)) + "y\ny\n" +
        personTurnAnswers({2, 1, Strength::Easy, false, false}, laterSeed(pinned, 2)) + "n\nn\nn\n";
    // Two people against two Medium players.
    const std::uint32_t second = pinned + 1;
    const std::string both = "n\n4\n2\nm\n" +
                             personTurnAnswers({4, 2, Strength::Medium, true, true}, second) +
                             "y\nn\nn\n";
    std::ofstream(dir + "/one_against_four.in", std::ios::binary) << first;
    std::ofstream(dir + "/two_people.in", std::ios::binary) << both;
    std::ofstream(dir + "/sessions.txt")
        << "one_against_four " << pinned << "\ntwo_people " << second << '\n';
    return 0;
}
