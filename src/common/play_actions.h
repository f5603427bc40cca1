#pragma once

#include <cstdint>
#include <iterator>
#include <string_view>

// The player's actions in play, listed once: the rules' record of a frame, the bindings and
// their defaults, the controls file and the CONTROLS screen all take them from here, and a list
// of their own is checked against this one in order.
enum class PlayAction : std::uint8_t {
    Turn,
    TurnOther,
    ShiftLeft,
    ShiftRight,
    SoftDrop,
    HardDrop,
    Abandon,
    Pause,
};

struct PlayActionNames {
    PlayAction action;
    std::string_view fileName;  // in the controls file: "turn.key1 = ..."
    std::string_view caption;   // on the CONTROLS screen
};

inline constexpr PlayActionNames PLAY_ACTIONS[] = {
    {PlayAction::Turn, "turn", "TURN"},
    {PlayAction::TurnOther, "turn-other", "TURN OTHER WAY"},
    {PlayAction::ShiftLeft, "shift-left", "SHIFT LEFT"},
    {PlayAction::ShiftRight, "shift-right", "SHIFT RIGHT"},
    {PlayAction::SoftDrop, "soft-drop", "SOFT DROP"},
    {PlayAction::HardDrop, "hard-drop", "HARD DROP"},
    {PlayAction::Abandon, "abandon", "ABANDON"},
    {PlayAction::Pause, "pause", "PAUSE"},
};
constexpr int PLAY_ACTION_COUNT = static_cast<int>(std::size(PLAY_ACTIONS));

constexpr int ActionIndex(PlayAction action) { return static_cast<int>(action); }

// A list of something per action, given as (action, value) pairs: true when it names every
// action once, in the order above.
template <typename Row, std::size_t N>
constexpr bool InActionOrder(const Row (&rows)[N]) {
    if (static_cast<int>(N) != PLAY_ACTION_COUNT) return false;
    for (std::size_t i = 0; i < N; ++i) {
        if (ActionIndex(rows[i].action) != static_cast<int>(i)) return false;
    }
    return true;
}
static_assert(InActionOrder(PLAY_ACTIONS) &&
                  ActionIndex(PlayAction::Pause) + 1 == PLAY_ACTION_COUNT,
              "every action once, in the order of PlayAction");
