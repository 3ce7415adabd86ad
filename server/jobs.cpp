#include "jobs.h"

#include "../solo/person_moves.h"
#include "../solo/review.h"

namespace pellaro {

namespace {

ChosenMove computerMove(Job& job) {
    if (!job.drawn) {
        return decideMove(job.bot, job.game);
    }
    // The seat chose to draw before a computer player took it over: the
    // card is out and must be placed.
    const SeatView view(job.game);
    return {TurnAction::Draw, decidePlacement(job.bot, view, topCard(job.game))};
}

} // namespace

JobResult runJob(Job job) {
    JobResult result{job.kind, job.table, job.moves, job.question, job.client, job.seat, {}, {}};
    switch (job.kind) {
    case JobKind::Move:
        result.move = computerMove(job);
        break;
    case JobKind::Hint:
        result.lines =
            hintLines(advise(job.game, job.stage, job.action, job.seed), job.stage, job.backToDraw);
        break;
    case JobKind::Review:
        result.lines = reviewLines(job.decisions, reviewDecisions(job.decisions, {}), job.history,
                                   job.seating);
        break;
    }
    return result;
}

} // namespace pellaro
