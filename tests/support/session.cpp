#include "session.h"

#include "driver/main_loop.h"
#include "redirected_console.h"

#include <string>

namespace pellaro {

SessionResult runSession(std::string_view input) {
    const RedirectedConsole console{std::string(input)};
    SessionResult result;
    result.status = MainLoop();
    result.output = console.output();
    result.unreadInput = console.unread().size();
    return result;
}

} // namespace pellaro
