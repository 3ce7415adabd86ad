#include "sim_input_check.h"

#include "sim/records.h"
#include "sim/sprt.h"
#include "sim/summary.h"
#include "sim/tournament.h"

namespace pellaro {

namespace {

std::string summaryFault(std::string_view input) {
    SimResults results;
    std::string error;
    if (readSummaryJson(input, results, error)) {
        const Figures figures = figuresOf(results.config, results.summary);
        const std::string json = summaryJson(results, figures);
        if (reportTable(results, figures).empty() || svgChart(results, figures).empty()) {
            return "an accepted summary gives no report or chart";
        }
        SimResults again;
        if (!readSummaryJson(json, again, error)) {
            return "an accepted summary, written again, is refused: " + error;
        }
        if (summaryJson(again, figuresOf(again.config, again.summary)) != json) {
            return "an accepted summary reads back otherwise";
        }
        // Under UBSan an overflow here is a fault: accepted counts are bounded.
        addSummary(again.summary, results.summary);
    } else if (error.empty()) {
        return "a summary refused without a reason";
    }
    return {};
}

std::string testFault(std::string_view input) {
    std::string error;
    SprtOutcome test;
    if (readSprtJson(input, test, error)) {
        const std::string json = sprtJson(test);
        SprtOutcome again;
        if (sprtReport(test).empty() || !readSprtJson(json, again, error) ||
            sprtJson(again) != json) {
            return "an accepted test does not read back as it was: " + error;
        }
    } else if (error.empty()) {
        return "a test refused without a reason";
    }
    return {};
}

std::string tournamentFault(std::string_view input) {
    std::string error;
    Tournament tournament;
    if (readTournamentJson(input, tournament, error)) {
        const TournamentFigures figures = tournamentFigures(tournament);
        const std::string json = tournamentJson(tournament, figures);
        Tournament again;
        if (tournamentReport(tournament, figures).empty() ||
            tournamentChart(tournament, figures).empty() ||
            !readTournamentJson(json, again, error) ||
            tournamentJson(again, tournamentFigures(again)) != json) {
            return "an accepted tournament does not read back as it was: " + error;
        }
        // Under UBSan an overflow here is a fault: accepted counts are bounded.
        for (std::size_t table = 0; table < again.tables.size(); ++table) {
            addSummary(again.tables[table].results.summary,
                       tournament.tables[table].results.summary);
        }
    } else if (error.empty()) {
        return "a tournament refused without a reason";
    }
    return {};
}

std::string recordFault(std::string_view input) {
    GameRecord record;
    std::string error;
    if (parseRecord(input, record, error) && checkReplay(record, error)) {
        std::string line;
        appendRecordLine(line, record);
        GameRecord again;
        if (!parseRecord(line, again, error) || !checkReplay(again, error)) {
            return "a replayed record, written again, is refused: " + error;
        }
    } else if (error.empty()) {
        return "a record refused without a reason";
    }
    return {};
}

} // namespace

std::string simInputFault(std::string_view input) {
    for (const auto reader : {summaryFault, testFault, tournamentFault, recordFault}) {
        std::string fault = reader(input);
        if (!fault.empty()) {
            return fault;
        }
    }
    return {};
}

} // namespace pellaro
