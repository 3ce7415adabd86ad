#pragma once

#include <string>

// Ctrl-C, SIGTERM or SIGHUP asks a run to stop: the games under way finish,
// no new deal starts, and the report covers what was done. A second one ends
// the program at once, removing first the temporary files named below.
void catchStops();

bool stopRequested();

// The signal that asked the run to stop, 0 when none did.
int stopSignal();

// A temporary file to remove if a second signal ends the program, until it
// is kept or removed. At most a handful at a time.
void removeOnSecondStop(const std::string& path);
void keepOnSecondStop(const std::string& path);
