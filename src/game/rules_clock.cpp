#include "game/rules_clock.h"

namespace {
RulesClockSource rulesClock = nullptr;
}  // namespace

void SetRulesClock(RulesClockSource source) { rulesClock = source; }

RulesClockSource CurrentRulesClock() { return rulesClock; }

std::int64_t RulesNow() { return rulesClock != nullptr ? rulesClock() : 0; }
