#include "solo_session.h"

#include "data_home.h"
#include "solo/solo_loop.h"
#include "support/redirected_console.h"

#include <filesystem>
#include <string>

namespace pellaro {

SessionResult runSoloSession(std::string_view input, const SoloOptions& options) {
    bool resultsWritten = false;
    return runSoloSession(input, options, resultsWritten);
}

SessionResult runSoloSession(std::string_view input, const SoloOptions& options,
                             bool& resultsWritten) {
    // Every session starts with no results file, so that the record it
    // shows is its own alone.
    const TemporaryDataHome dataHome;
    const RedirectedConsole console{std::string(input)};
    SessionResult result;
    result.status = SoloLoop(options);
    result.output = console.output();
    result.unreadInput = console.unread().size();
    resultsWritten = std::filesystem::exists(dataHome.pellaro() / "results.jsonl");
    return result;
}

} // namespace pellaro
