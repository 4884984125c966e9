#pragma once
// The tools room's front door: the test tools the console commands and the command line start.

#include <cstdint>

// "perft"/"divide": leaf counts of the current position per depth 1..depth, or split by the
// root moves at depth; a depth outside 1..127 shows the usage box.
void PerftCommand(int32_t depth, bool divide);

// "perftsuite": asks for an EPD file and a maximum depth, then checks every line's counts.
void PerftSuite();

// "testsuite": asks for an EPD file of best-move problems and the seconds per position, then
// searches each one and reports what was solved, by time, and what failed.
void TestSuite();

// "valsuite": asks for an EPD file, then shows each position's board and static evaluation.
void EvalSuite();

// "bench": four fixed positions searched to fixed depths, then a table of times and moves.
void Bench();

// How the EPD suites show each position: the shell's board view, installed by the shell at
// start-up because it lives above this room. Without it the suites show no board.
extern void (*BoardViewHook)();
