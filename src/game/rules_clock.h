#pragma once

#include <cstdint>

// The time the rules see, in milliseconds with an arbitrary origin. The rules never read the
// platform clock: they ask RulesNow, which answers from the source the program sets (the
// platform clock in a live game; a log when a game is replayed, a script in a test).
//
// Every call is one reading and asks the source once, in the order the rules take their
// readings (the game's start, the gravity timer, the soft and hard drops). A recorder that
// logs each reading can therefore answer them back one by one and reproduce every timing.
using RulesClockSource = std::int64_t (*)();

void SetRulesClock(RulesClockSource source);
RulesClockSource CurrentRulesClock();

// One reading of the source; 0 while none is set.
std::int64_t RulesNow();
