#pragma once

// Ctrl-C asks a run to stop: the games under way finish, no new deal starts,
// and the report covers what was done. A second Ctrl-C ends the program at once.
void catchInterrupts();

bool stopRequested();
