#include "eval/material.h"

#include "eval/endgame.h"

MaterialEntry MaterialTable[MATERIAL_TABLE_SIZE];
MaterialEntry* CurrentMaterialEntry = MaterialTable;

namespace {

// Piece classes of the imbalance: the bishop pair, then pawn to queen at their type codes.
constexpr int32_t BISHOP_PAIR = 0;
constexpr int32_t IMBALANCE_CLASS_NB = 6;

// [class][other class]: the diagonal is the linear term, below it the weight of each pair
// with a class listed earlier; above the diagonal is unused.
// clang-format off
constexpr int32_t OwnImbalance[IMBALANCE_CLASS_NB][IMBALANCE_CLASS_NB] = {
    {1431},
    {53, 34},
    {44, 270, -54},
    {17, 89, 9, -20},
    {-45, 12, 48, 114, -200},
    {-180, 19, 135, 138, -116, -15},
};
constexpr int32_t OpponentImbalance[IMBALANCE_CLASS_NB][IMBALANCE_CLASS_NB] = {
    {},
    {34},
    {16, 71},
    {63, 58, 38},
    {38, 46, 11, -14},
    {99, 112, -50, 126, 267},
};
// clang-format on

// A signature of a specialised ending: the strong and the weak side's counts by type.
struct Signature {
  int32_t Strong[KING];  // [PAWN..QUEEN]; [0] unused
  int32_t Weak[KING];
  EndgameFn Function;
};

// Each row: the strong and the weak counts as {unused, P, N, B, R, Q}, and the rule. King and
// pawn against king has none: a rule that calls it won would trade into its many draws, so the
// terms and the pawn-only scaling rule score it.
constexpr Signature Signatures[] = {
    {{0, 0, 0, 0, 1, 0}, {0, 0, 0, 0, 0, 0}, EvaluateMateDrive},
    {{0, 0, 0, 0, 0, 1}, {0, 0, 0, 0, 0, 0}, EvaluateMateDrive},
    {{0, 0, 1, 1, 0, 0}, {0, 0, 0, 0, 0, 0}, EvaluateBishopKnightMate},
    {{0, 0, 2, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, EvaluateTwoKnights},
    {{0, 0, 0, 0, 1, 0}, {0, 1, 0, 0, 0, 0}, EvaluateRookAgainstPawn},
    {{0, 0, 0, 0, 1, 0}, {0, 0, 0, 1, 0, 0}, EvaluateRookAgainstBishop},
    {{0, 0, 0, 0, 1, 0}, {0, 0, 1, 0, 0, 0}, EvaluateRookAgainstKnight},
    {{0, 0, 0, 0, 0, 1}, {0, 1, 0, 0, 0, 0}, EvaluateQueenAgainstPawn},
    {{0, 0, 0, 0, 0, 1}, {0, 0, 0, 0, 1, 0}, EvaluateQueenAgainstRook},
    {{0, 0, 2, 0, 0, 0}, {0, 1, 0, 0, 0, 0}, EvaluateTwoKnightsAgainstPawn},
};

// The material key of a position holding the signature with the colour as the strong side.
uint64_t SignatureKey(const Signature& signature, int32_t strong) {
  uint64_t key = 0;
  for (int32_t type = PAWN; type <= QUEEN; ++type)
    key ^= HashKeys.MaterialKeys[strong][type][signature.Strong[type]] ^
           HashKeys.MaterialKeys[strong ^ 1][type][signature.Weak[type]];
  return key;
}

// Sets the entry's endgame function and strong side when its key is a specialised signature.
bool MatchSignature(MaterialEntry& entry) {
  for (const Signature& signature : Signatures)
    for (int32_t strong : {WHITE, BLACK})
      if (SignatureKey(signature, strong) == entry.Key) {
        entry.EndgameFunction = signature.Function;
        entry.StrongSide = static_cast<uint8_t>(strong);
        return true;
      }
  return false;
}

// Without pawns, a lead of at most a bishop rarely wins: nothing below a rook, very little
// against at most a minor piece, little otherwise.
void SetPawnlessScale(MaterialEntry& entry, int32_t side) {
  const int32_t own = Position.NonPawnMaterial[side], other = Position.NonPawnMaterial[side ^ 1];
  if (PiecesOf(side, PAWN) || own - other > NonPawnValue[BISHOP]) return;
  entry.ScaleFactor[side] = own < NonPawnValue[ROOK] ? 0 : other <= NonPawnValue[BISHOP] ? 4 : 14;
}

}  // namespace

int32_t ComputeImbalance() {
  int32_t counts[COLOUR_NB][IMBALANCE_CLASS_NB];
  for (int32_t c : {WHITE, BLACK}) {
    for (int32_t type = PAWN; type <= QUEEN; ++type) counts[c][type] = PopCount(PiecesOf(c, type));
    counts[c][BISHOP_PAIR] = counts[c][BISHOP] >= 2;
  }
  int32_t sum[COLOUR_NB] = {0, 0};
  for (int32_t us : {WHITE, BLACK}) {
    const int32_t them = us ^ 1;
    for (int32_t i = 0; i < IMBALANCE_CLASS_NB; ++i) {
      if (!counts[us][i]) continue;
      int32_t v = OwnImbalance[i][i] * counts[us][i];
      for (int32_t j = 0; j < i; ++j)
        v += OwnImbalance[i][j] * counts[us][j] + OpponentImbalance[i][j] * counts[them][j];
      sum[us] += counts[us][i] * v;
    }
  }
  return (sum[WHITE] - sum[BLACK]) / 16;
}

void ProbeMaterial() {
  const uint64_t key = Position.MaterialKey;
  MaterialEntry& entry = MaterialTable[key & (MATERIAL_TABLE_SIZE - 1)];
  CurrentMaterialEntry = &entry;
  if (entry.Key == key) return;

  entry.Key = key;
  entry.ScaleFactor[WHITE] = entry.ScaleFactor[BLACK] = SCALE_NORMAL;
  entry.ScalingFunction[WHITE] = entry.ScalingFunction[BLACK] = nullptr;
  entry.EndgameFunction = nullptr;
  entry.StrongSide = WHITE;
  const int32_t npm = Position.NonPawnMaterial[WHITE] + Position.NonPawnMaterial[BLACK];
  entry.Phase = static_cast<uint8_t>(ComputePhase(npm));
  // Computed for the specialised signatures too: a reused slot must not keep an old value.
  entry.Imbalance = static_cast<int16_t>(ComputeImbalance());
  if (MatchSignature(entry)) return;

  if (npm == 0) {
    if (!PiecesOf(BLACK, PAWN))
      entry.ScalingFunction[WHITE] = ScalePawnsOnly;
    else if (!PiecesOf(WHITE, PAWN))
      entry.ScalingFunction[BLACK] = ScalePawnsOnly;
  }
  SetPawnlessScale(entry, WHITE);
  SetPawnlessScale(entry, BLACK);
}

int32_t ScaleFactorFor(int32_t side) {
  const MaterialEntry& entry = *CurrentMaterialEntry;
  if (entry.ScalingFunction[side]) {
    const int32_t scale = entry.ScalingFunction[side](side);
    if (scale != NO_SCALING) return scale;
  }
  return entry.ScaleFactor[side];
}
