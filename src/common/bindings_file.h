#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/bindings.h"

// The controls file: one "name = value" line a slot or switch, as written by FormatBindingsFile.
// A slot's value may also be written as the CONTROLS screen shows it ("LEFT BRACKET", "LB").
struct BindingsFile {
    PlayerBindings bindings;                // the defaults, with every valid line applied
    std::vector<std::string> unknownLines;  // well-formed lines of names this version does not know
    int badLines = 0;                       // lines not understood, their slots left at defaults
    int firstBadLine = 0;                   // its number, from 1
};
constexpr std::size_t MAX_BINDINGS_FILE_BYTES = 64 * 1024;
BindingsFile ParseBindingsFile(std::span<const std::uint8_t> bytes);
std::string FormatBindingsFile(const PlayerBindings& b,
                               const std::vector<std::string>& unknownLines);
