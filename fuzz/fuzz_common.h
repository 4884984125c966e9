#pragma once
// What every fuzz target shares: the engine's start-up, a silent and controllable console,
// input split into lines, and the invariants a position must keep whatever it was fed.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "board/board.h"

// Builds the start-up tables as the program does, sends standard output to /dev/null and
// makes standard input a pipe that only the fuzz target writes (see FeedInput), so nothing
// waits for a terminal. The table is 16 MB.
void StartEngineForFuzzing();

// Moves into a fresh empty working directory, removed at exit, on the first call: there the
// suites find no file and the settings file is the target's own. Called from the first input
// rather than at start-up, so that libFuzzer's own relative paths keep working.
void UseScratchDirectory();

// Writes text to the engine's standard input, where the input poll and the prompts read it.
void FeedInput(std::string_view text);

// Reads and drops every complete line still waiting on the engine's input.
void DrainInput();

// The input as the console channel hands it out: lines split at LF or CR, each cut at its
// first NUL byte and trimmed; empty lines are dropped. At most maxLines lines.
std::vector<std::string> SplitLines(const uint8_t* data, size_t size, size_t maxLines);

// Aborts with the message on standard error when the condition is false (a finding).
void Require(bool condition, std::string_view what, std::string_view context = {});

// Aborts unless Position is a consistent, legal position: bitboards, squares and king squares
// agree, the three keys, the material and the piece-square sums equal a full recomputation,
// the checkers are right and the side not to move is not in check.
void RequireConsistentPosition(std::string_view context);

// Field by field (the record has padding, so no byte comparison).
bool SamePosition(const PositionRecord& a, const PositionRecord& b);
