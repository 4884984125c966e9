// Perft and divide: leaf counts of the legal move tree, timed, in box-drawn tables.
#include "tools/perft.h"

#include <initializer_list>
#include <string>

#include "board/board.h"
#include "console/console.h"
#include "platform/platform.h"
#include "tools/tools.h"

int64_t PerftExpected[PERFT_MAX_DEPTH + 1];

namespace {

// Only depth-1 counts are kept: the last ply of every perft becomes one probe.
struct PerftEntry {
  uint64_t Key;
  int32_t Depth;
  uint32_t Count;
};
static_assert(sizeof(PerftEntry) == 16, "16,777,216 entries fill 256 MiB exactly");

constexpr uint64_t PERFT_CACHE_ENTRIES = uint64_t{1} << 24;
constexpr size_t PERFT_CACHE_BYTES = PERFT_CACHE_ENTRIES * sizeof(PerftEntry);

PerftEntry* PerftCache = nullptr;

PerftEntry* CacheEntryOf(uint64_t key) { return &PerftCache[key & (PERFT_CACHE_ENTRIES - 1)]; }

// Inner widths of the columns: depth or move, nodes, time, speed, expected nodes, verdict.
constexpr std::initializer_list<int> PERFT_COLUMNS = {7, 16, 12, 10};
constexpr std::initializer_list<int> EXPECTED_COLUMNS = {7, 16, 12, 10, 16, 10};
constexpr std::initializer_list<int> DIVIDE_COLUMNS = {7, 16, 5};
constexpr std::initializer_list<int> DIVIDE_TOTAL_COLUMN = {16};
constexpr std::string_view DIVIDE_INDENT = "        ";  // the total sits under the nodes column

constexpr int VERDICT_COLOUR = 0;

// "│ " + cells joined by " │ ": the start of every row.
std::string Cells(std::initializer_list<std::string> cells) {
  std::string line;
  for (const std::string& cell : cells) {
    line += BOX_VERTICAL;
    line += ' ';
    line += cell;
    line += ' ';
  }
  return line;
}

// The leaves depth plies below move: made, counted, taken back.
uint64_t PerftAfter(Move move, const CheckInfo& checkInfo, int32_t depth) {
  UndoInfo undo;
  SaveUndoInfo(undo);
  MakeMove(move, undo, GivesCheck(move, checkInfo));
  uint64_t count = Perft(depth);
  UnmakeMove(move, undo);
  return count;
}

}  // namespace

void AllocatePerftCache() {
  PerftCache = static_cast<PerftEntry*>(AllocateLarge(PERFT_CACHE_BYTES));
  if (!PerftCache) {
    PrintLine("info string no memory for the 256 MiB perft cache, counting without it");
    return;
  }
  // Every page now, before any row starts its clock: faulted in lazily, the kernel's zero-fill
  // of 256 MiB would land in the first rows' times.
  MakeResident(PerftCache, PERFT_CACHE_BYTES);
}

void FreePerftCache() {
  FreeLarge(PerftCache, PERFT_CACHE_BYTES);
  PerftCache = nullptr;
}

uint64_t Perft(int32_t depth) {
  // Only depth-1 entries exist, so deeper nodes need no probe.
  PerftEntry* entry = nullptr;
  if (depth == 1 && PerftCache) {
    entry = CacheEntryOf(Position.Key);
    if (entry->Key == Position.Key && entry->Depth == 1) return entry->Count;
  }
  MoveList moves;
  int32_t count = GenerateLegalMoves(0, moves);
  if (depth == 1) {
    if (entry) *entry = {Position.Key, 1, static_cast<uint32_t>(count)};
    return static_cast<uint64_t>(count);
  }
  // Every child's probe would wait for memory: start all the fetches first, so that they
  // overlap one another and the moves made before each probe.
  if (depth == 2 && PerftCache)
    for (int32_t i = 0; i < count; ++i) __builtin_prefetch(CacheEntryOf(KeyAfter(moves[i].Move)));
  CheckInfo checkInfo;
  ComputeCheckInfo(checkInfo);
  uint64_t total = 0;
  for (int32_t i = 0; i < count; ++i) total += PerftAfter(moves[i].Move, checkInfo, depth - 1);
  return total;
}

bool PerftRow(int32_t depth, bool withExpected) {
  StartTime = NowMilliseconds();
  uint64_t count = Perft(depth);
  uint32_t ms = static_cast<uint32_t>(ElapsedMs());
  std::string row = Cells({FormatCount(depth, 5), FormatCount(static_cast<int64_t>(count), 14),
                           PadText(FormatDuration(ms), -10), PadText(FormatNps(ms, count), -8)});
  if (!withExpected) {
    PrintLine(row + BOX_VERTICAL);
    return false;
  }
  int64_t expected = PerftExpected[depth];
  PrintText(row + Cells({FormatCount(expected, 14)}) + BOX_VERTICAL + ' ');
  bool wrong = static_cast<int64_t>(count) != expected;
  if (!wrong) {
    PrintLine("PERFect! " + std::string(1, BOX_VERTICAL));
  } else {
    SetTextColour(VERDICT_COLOUR);
    PrintText("*WRONG!*");
    SetTextColour(NORMAL_COLOUR);
    PrintLine(" " + std::string(1, BOX_VERTICAL));
  }
  return wrong;
}

void Divide(int32_t depth) {
  StartTime = NowMilliseconds();
  MoveList moves;
  int32_t moveCount = GenerateLegalMoves(0, moves);
  uint64_t total = static_cast<uint64_t>(moveCount);
  if (depth > 1) {
    CheckInfo checkInfo;
    ComputeCheckInfo(checkInfo);
    total = 0;
    for (int32_t i = 0; i < moveCount; ++i) {
      uint64_t count = PerftAfter(moves[i].Move, checkInfo, depth - 1);
      // The move text is not padded: a promotion widens its row by one.
      PrintLine(Cells({MoveText(moves[i].Move) + " ", FormatCount(static_cast<int64_t>(count), 14),
                       PadText(std::to_string(i + 1), -3)}) +
                BOX_VERTICAL + ' ');
      total += count;
    }
  }
  PrintLine(BoxRule(BOX_BOTTOM_LEFT, BOX_CROSS, BOX_BOTTOM_RIGHT, DIVIDE_COLUMNS) + "\r\n" +
            std::string(DIVIDE_INDENT) + Cells({FormatCount(static_cast<int64_t>(total), 14)}) + BOX_VERTICAL);
}

void PerftTableHead(bool divide, bool withExpected, std::string_view fen) {
  ShowMessageBox((divide ? "DIVIDE " : "PERFT ") + std::string(fen), false);
  if (divide) {
    PrintLine(Cells({"Move ", "    Nodes     ", "  #"}) + BOX_VERTICAL);
    PrintLine(BoxRule(BOX_TEE_RIGHT, BOX_CROSS, BOX_TEE_LEFT, DIVIDE_COLUMNS));
    return;
  }
  std::string header = Cells({"Depth", "    Nodes     ", "   Time   ", "  NPS   "});
  if (!withExpected) {
    PrintLine(header + BOX_VERTICAL);
    PrintLine(BoxRule(BOX_TEE_RIGHT, BOX_CROSS, BOX_TEE_LEFT, PERFT_COLUMNS));
    return;
  }
  // The verdict column has no header cell; its corner closes the rule.
  PrintLine(header + Cells({"Expected Nodes"}) + BOX_VERTICAL);
  PrintLine(BoxRule(BOX_TEE_RIGHT, BOX_CROSS, BOX_TOP_RIGHT, EXPECTED_COLUMNS));
}

void PerftTableFoot(bool divide, bool withExpected) {
  if (divide)
    PrintLine(std::string(DIVIDE_INDENT) + BoxRule(BOX_BOTTOM_LEFT, BOX_CROSS, BOX_BOTTOM_RIGHT, DIVIDE_TOTAL_COLUMN));
  else
    PrintLine(BoxRule(BOX_BOTTOM_LEFT, BOX_TEE_UP, BOX_BOTTOM_RIGHT, withExpected ? EXPECTED_COLUMNS : PERFT_COLUMNS));
}

void PerftCommand(int32_t depth, bool divide) {
  if (depth < 1 || depth > PERFT_MAX_DEPTH) {
    ShowMessageBox(
        std::string("Usage: ") + (divide ? "divide" : "perft") + " <1.." + std::to_string(PERFT_MAX_DEPTH) + ">",
        false);
    return;
  }
  AllocatePerftCache();
  PerftTableHead(divide, false, WriteFen());
  if (divide)
    Divide(depth);
  else
    for (int32_t d = 1; d <= depth; ++d) PerftRow(d, false);
  PerftTableFoot(divide, false);
  FreePerftCache();
}
