#include "commands.h"
#include "game_records.h"
#include "record_replay.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace {

enum class Search : std::uint8_t { Found, Absent, Malformed };

// Reads the file up to the record of the game. Lines in the writer's form say
// their game up front; the others are parsed to find out.
Search findRecord(std::istream& file, std::int64_t game, RecordedGame& record, std::string& error) {
    std::string line;
    std::int64_t lineNumber = 0;
    while (std::getline(file, line)) {
        ++lineNumber;
        const std::int64_t leading = leadingGameNumber(line);
        if (leading >= 0 && leading != game) {
            continue;
        }
        record = RecordedGame{};
        if (!parseRecord(line, record, error)) {
            error.insert(0, "line " + std::to_string(lineNumber) + ": ");
            return Search::Malformed;
        }
        if (record.game == game) {
            return Search::Found;
        }
    }
    return Search::Absent;
}

} // namespace

int showCommand(const ShowOptions& options) {
    std::ifstream file(options.records, std::ios::binary);
    if (!file) {
        reportFailure("cannot read " + options.records + ": " + std::strerror(errno));
        return statusFailed;
    }
    const std::string game = "game " + std::to_string(options.game);
    RecordedGame record;
    std::string error;
    switch (findRecord(file, options.game, record, error)) {
    case Search::Absent:
        reportFailure("no " + game + " in " + options.records);
        return statusFailed;
    case Search::Malformed:
        reportFailure(options.records + ", " + error);
        return statusFailed;
    case Search::Found:
        break;
    }
    if (!checkReplay(record, error)) {
        reportFailure(options.records + ", " + game + " does not replay: " + error);
        return statusFailed;
    }
    showReplay(record);
    return statusDone;
}
