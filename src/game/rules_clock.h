#pragma once

#include <cstdint>

// The time the rules see, in milliseconds with an arbitrary origin. The rules never read the
// platform clock: they ask the clock they are handed, which the game's source answers (the
// platform clock in a game played now, the record in a replay, a script in a test).
//
// Every call is one reading, asked in the order the rules take their readings (the game's
// start, the gravity timer, the soft and hard drops). A recorder that logs each reading can
// therefore answer them back one by one and reproduce every timing.
class RulesClock {
public:
    virtual ~RulesClock() = default;
    virtual std::int64_t Now() = 0;
};
