// Writes the people's answers of the golden session of pellaro-solo, played
// here on the engine against the same computer players as the program's;
// regenerate.sh then records the session's output from the real program.
//
//   make_solo_golden_inputs DIR [TIME]
//       writes DIR/one_against_four.in and DIR/sessions.txt, which names the
//       session with its pinned time (TIME, or 1000)

#include "person_answers.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::cerr << "usage: make_solo_golden_inputs DIR [TIME]\n";
        return 2;
    }
    const std::string dir = argv[1];
    const std::uint32_t pinned = argc == 3 ? std::strtoul(argv[2], nullptr, 10) : 1000;
    // One person against four Medium players, with refused answers at every
    // question; then two people against one Easy player.
    const std::string session = "n\n5\n0\n5\nfour\n\n1\nx\n\n?\nm\n" +
                                personTurnAnswers({5, 1, Strength::Medium, true}, pinned) + "y\n" +
                                "No\n3\n3\n2\nE\n" +
                                personTurnAnswers({3, 2, Strength::Easy, false}, pinned) + "n\n";
    std::ofstream(dir + "/one_against_four.in", std::ios::binary) << session;
    std::ofstream(dir + "/sessions.txt") << "one_against_four " << pinned << '\n';
    return 0;
}
