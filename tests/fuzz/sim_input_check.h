#pragma once

#include <string>
#include <string_view>

namespace pellaro {

// Feeds any bytes to the simulator's two readers, of a --json summary (for
// merge) and of a --jsonl record (for show), and returns what went wrong, or
// nothing: a reader may refuse the input, with a reason, but what it accepts
// must report, chart and write again, read back as it was written, and add
// to itself without overflow.
std::string simInputFault(std::string_view input);

} // namespace pellaro
