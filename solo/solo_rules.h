#pragma once

namespace pellaro {

// The offer of the rules at the start of every game against computer
// players, and the walkthrough when accepted: the game's rules and what
// this program adds to them (computer players, hints, going back, saving,
// the review and the record), in lines that fit 80 columns. Returns at
// once when standard input ends.
void offerSoloRules();

} // namespace pellaro
