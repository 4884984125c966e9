#include "search/tt.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <string>

#include "console/console.h"
#include "platform/platform.h"
#include "search/settings.h"

namespace {

// Stands in before the first TTResize (a board view started from the command line shows the
// fill) and if the system grants not even the smallest table, so the search never probes null.
constexpr uint64_t BUILT_IN_BUCKETS = 256;
TTEntry BuiltInEntries[BUILT_IN_BUCKETS * TT_BUCKET_SIZE];

size_t EntryCount() { return (TranspositionTable.BucketMask + 1) * TT_BUCKET_SIZE; }

size_t BytesOf(int32_t megabytes) { return static_cast<size_t>(megabytes) * TT_ENTRIES_PER_MB * sizeof(TTEntry); }

// Depth less 8 per generation step of age: old and shallow entries go first.
int32_t ReplacementValue(const TTEntry& entry) {
  return entry.Depth - std::abs(2 * ((TranspositionTable.Generation & 252) - (entry.Flags & 252)));
}

}  // namespace

TranspositionTableRecord TranspositionTable = {BuiltInEntries, BUILT_IN_BUCKETS - 1, 0, 0};

void TTResize(int32_t megabytes) {
  int32_t wanted =
      static_cast<int32_t>(std::bit_floor(static_cast<uint32_t>(std::clamp(megabytes, HASH_MIN_MB, HASH_MAX_MB))));
  // Every new game asks for the table again: at the same size, emptying it is enough.
  if (TranspositionTable.SizeMB == wanted) {
    TTClear();
    return;
  }
  // The old array goes first: at 2 GiB there may be room for only one of them.
  if (TranspositionTable.SizeMB > 0) FreeLarge(TranspositionTable.Entries, BytesOf(TranspositionTable.SizeMB));
  TranspositionTable.Entries = BuiltInEntries;
  TranspositionTable.BucketMask = BUILT_IN_BUCKETS - 1;
  TranspositionTable.SizeMB = 0;

  for (int32_t size = wanted; size >= HASH_MIN_MB; size /= 2) {
    void* memory = AllocateLarge(BytesOf(size));
    if (memory == nullptr) continue;
    TranspositionTable.Entries = static_cast<TTEntry*>(memory);
    TranspositionTable.BucketMask = static_cast<uint64_t>(size) * TT_ENTRIES_PER_MB / TT_BUCKET_SIZE - 1;
    TranspositionTable.SizeMB = size;
    // Fresh memory is zero; bring its pages in now, so that the first search does not pay
    // for the page faults on its own clock.
    MakeResident(memory, BytesOf(size));
    break;
  }
  if (TranspositionTable.SizeMB == 0) {
    TTClear();
    PrintLine("info string Hash table of " + std::to_string(wanted) + " MB could not be allocated, using 16 KB");
  } else if (TranspositionTable.SizeMB != wanted) {
    PrintLine("info string Hash table of " + std::to_string(wanted) + " MB could not be allocated, using " +
              std::to_string(TranspositionTable.SizeMB) + " MB");
  }
}

void TTClear() { std::memset(TranspositionTable.Entries, 0, EntryCount() * sizeof(TTEntry)); }

void TTStore(uint64_t key, int32_t score, int32_t depth, int32_t bound, Move move, int32_t eval) {
  assert(bound >= BOUND_LOWER && bound <= BOUND_EXACT);
  assert(depth >= INT8_MIN && depth <= INT8_MAX);
  TTEntry* bucket = &TranspositionTable.Entries[(key & TranspositionTable.BucketMask) * TT_BUCKET_SIZE];
  TTEntry* target = nullptr;
  TTEntry* victim = &bucket[0];
  int32_t victimValue = ReplacementValue(bucket[0]);
  for (int32_t i = 0; i < TT_BUCKET_SIZE && target == nullptr; ++i) {
    TTEntry& entry = bucket[i];
    if (entry.Key == key || entry.Key == 0) {
      target = &entry;
    } else if (i > 0 && ReplacementValue(entry) < victimValue) {  // ties keep the earlier entry
      victim = &entry;
      victimValue = ReplacementValue(entry);
    }
  }
  if (target == nullptr) target = victim;

  // A result without a move keeps the move an earlier search of this position found.
  if (move != MOVE_NONE || target->Key != key) target->Move = static_cast<uint16_t>(move);
  // A shallower bound does not replace a result at least 4 plies deeper.
  if (target->Key == key && depth <= target->Depth - 4 && bound != BOUND_EXACT) return;
  target->Score = static_cast<int16_t>(score);
  target->Depth = static_cast<int8_t>(depth);
  target->Flags = static_cast<uint8_t>(bound | (TranspositionTable.Generation & 0xFF));
  target->Key = key;
  target->Eval = static_cast<int16_t>(eval);
}

int32_t TTHashfull() {
  // An empty entry carries generation 0 too; it is not a current one.
  int32_t count = 0;
  for (int32_t i = 0; i < 1000; ++i) {
    const TTEntry& entry = TranspositionTable.Entries[i];
    if (entry.Key != 0 && (entry.Flags & 252) == TranspositionTable.Generation) ++count;
  }
  return count;
}
