#pragma once
// Inside the tools room: what the test suite's hook reads and counts while a search runs.

#include <cstdint>
#include <string>

#include "board/types.h"

inline constexpr int32_t TEST_SOLUTIONS_MAX = 10;

// The moves accepted as solutions of the position being searched.
extern Move TestSolutions[TEST_SOLUTIONS_MAX];
extern int32_t TestSolutionCount;

// New iterations in a row whose info line showed a solution first, and the last one counted.
extern int32_t TestSuiteStreak;
extern int32_t TestSuiteHookDepth;

// Installed as the search's TestSuiteHook: counts each new iteration's first move and stops the
// search once Settings.TestsuiteIterations iterations in a row have shown a solution.
void CountTestIteration();

// The parts of a test-suite line "<fen> bm <moves>; ...": the FEN before "bm", the text from
// "bm" on, and the solution words between "bm" and the first semicolon.
struct TestSuiteLine {
  std::string Fen;
  std::string OpText;
  std::string SolutionText;
};
TestSuiteLine SplitTestSuiteLine(const std::string& line);

// Records the legal moves whose SAN or coordinate text is one of the words; warns of each
// word that names no legal move.
void ReadSolutions(std::string words);
