#include "golden_sessions.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace pellaro {

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<GoldenSession> goldenSessions() {
    return goldenSessionsIn(PELLARO_GOLDEN_DIR);
}

std::vector<GoldenSession> goldenSessionsIn(const std::string& dir) {
    std::istringstream list(readFile(dir + "/sessions.txt"));
    std::vector<GoldenSession> sessions;
    GoldenSession session;
    while (list >> session.name >> session.pinnedTime) {
        session.input = readFile(dir + '/' + session.name + ".in");
        session.expectedOutput = readFile(dir + '/' + session.name + ".out");
        sessions.push_back(session);
    }
    return sessions;
}

} // namespace pellaro
