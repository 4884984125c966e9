#pragma once
// The tools room's front door: the test tools the console commands and the command line start.

#include <cstdint>

// "perft"/"divide": leaf counts of the current position per depth 1..depth, or split by the
// root moves at depth; a depth outside 1..127 shows the usage box.
void PerftCommand(int32_t depth, bool divide);

// "perftsuite": asks for an EPD file and a maximum depth, then checks every line's counts.
void PerftSuite();
