#include "line_text.h"

#include <algorithm>

namespace pellaro {

namespace {

bool printable(char c) {
    return c >= ' ' && c <= '~';
}

std::string withoutReturn(std::string line) {
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

} // namespace

std::string printableText(std::string_view text) {
    std::string kept;
    kept.reserve(text.size());
    std::copy_if(text.begin(), text.end(), std::back_inserter(kept),
                 [](char c) { return printable(c) || c == '\t'; });
    return kept;
}

TypedFault typedLineFault(std::string_view line) {
    if (line.size() > longestTypedLine) {
        return TypedFault::TooLong;
    }
    return std::all_of(line.begin(), line.end(), printable) ? TypedFault::None
                                                            : TypedFault::NotPrintable;
}

void LineSplitter::add(std::string_view bytes) {
    pending_.append(bytes);
}

std::optional<SplitLine> LineSplitter::next() {
    for (;;) {
        const std::size_t end = pending_.find('\n');
        if (discarding_) {
            if (end == std::string::npos) {
                pending_.clear();
                return std::nullopt;
            }
            pending_.erase(0, end + 1);
            discarding_ = false;
            continue;
        }
        if (end == std::string::npos) {
            // One byte more than the longest line leaves room for a "\r".
            if (pending_.size() > longest_ + 1) {
                pending_.clear();
                discarding_ = true;
                return SplitLine{{}, true};
            }
            return std::nullopt;
        }
        std::string line = withoutReturn(pending_.substr(0, end));
        pending_.erase(0, end + 1);
        if (line.size() > longest_) {
            return SplitLine{{}, true};
        }
        return SplitLine{std::move(line), false};
    }
}

std::optional<SplitLine> LineSplitter::rest() {
    if (std::optional<SplitLine> line = next()) {
        return line;
    }
    if (discarding_ || pending_.empty()) {
        return std::nullopt;
    }
    std::string line = withoutReturn(std::move(pending_));
    pending_.clear();
    return SplitLine{std::move(line), false};
}

} // namespace pellaro
