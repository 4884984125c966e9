#pragma once
// Inside the tools room: the prompts the three EPD suites share, and how they show a position.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The lines of the EPD file the user names (asked for until it exists; the extension may be
// left out); false when the user gives up or the file cannot be read.
bool AskEpdLines(std::string_view prompt, std::vector<std::string>& lines);

// Asks until the answer is an integer in 1..highest; 0 when the user gives up.
int32_t AskNumber(std::string_view prompt, int32_t highest);

// Waits for <Enter> between two positions; true when the user answers Q to finish the suite.
bool AskToFinish();

// Position drawn by the board view the shell installed (BoardViewHook); nothing without one.
void ShowSuitePosition();
