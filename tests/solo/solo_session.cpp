#include "solo_session.h"

#include "solo/solo_loop.h"
#include "support/redirected_console.h"

#include <string>

SessionResult runSoloSession(std::string_view input) {
    const RedirectedConsole console{std::string(input)};
    SessionResult result;
    result.status = SoloLoop();
    result.output = console.output();
    result.unreadInput = console.unread().size();
    return result;
}
