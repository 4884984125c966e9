#include "tune/samples.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "board/board.h"
#include "eval/eval.h"
#include "search/search.h"
#include "tune/cells.h"
#include "tune/model.h"

namespace {

// Beyond this a score is a mate found by the quiescence search, not a static value.
constexpr int32_t DECIDED_SCORE = 32000;

// A fixed tenth of the games, whatever their numbering (the reference set skips every tenth).
bool IsHeldOut(int64_t game, int32_t percent) {
  const uint64_t mixed = static_cast<uint64_t>(game) * 0x9E3779B97F4A7C15ull;
  return static_cast<int32_t>((mixed >> 32) % 100) < percent;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

// Splits "<FEN> | <result> | <game> [| <score>]"; false when a field is missing or unreadable.
bool ParseLine(std::string_view line, std::string_view& fen, float& result, int64_t& game, float& score) {
  const size_t first = line.find('|');
  if (first == std::string_view::npos) return false;
  const size_t second = line.find('|', first + 1);
  if (second == std::string_view::npos) return false;
  fen = Trim(line.substr(0, first));
  const std::string resultText(Trim(line.substr(first + 1, second - first - 1)));
  const size_t third = line.find('|', second + 1);
  const std::string gameText(
      Trim(line.substr(second + 1, third == std::string_view::npos ? std::string_view::npos : third - second - 1)));
  if (resultText == "1.0" || resultText == "1")
    result = 1.0f;
  else if (resultText == "0.5")
    result = 0.5f;
  else if (resultText == "0.0" || resultText == "0")
    result = 0.0f;
  else
    return false;
  char* end = nullptr;
  game = std::strtoll(gameText.c_str(), &end, 10);
  if (gameText.empty() || *end != '\0') return false;
  score = NAN;
  if (third == std::string_view::npos) return true;
  const size_t fourth = line.find('|', third + 1);
  const std::string scoreText(
      Trim(line.substr(third + 1, fourth == std::string_view::npos ? std::string_view::npos : fourth - third - 1)));
  score = std::strtof(scoreText.c_str(), &end);
  return !scoreText.empty() && *end == '\0';
}

int32_t FullmoveNumber(std::string_view fen) {
  const size_t blank = fen.find_last_of(' ');
  return blank == std::string_view::npos ? 0 : std::atoi(std::string(fen.substr(blank + 1)).c_str());
}

void PlayLine(const PVLine& line) {
  for (int32_t i = 0; i < line.Count; ++i) {
    CheckInfo checkInfo;
    ComputeCheckInfo(checkInfo);
    UndoInfo undo;
    SaveUndoInfo(undo);
    MakeMove(line.Moves[i], undo, GivesCheck(line.Moves[i], checkInfo));
  }
}

// The cells Position adds, merged per parameter.
void AppendFeatures(SampleSet& set, Sample& sample) {
  sample.FirstFeature = static_cast<uint32_t>(set.Features.size());
  for (Bitboard b = Position.Occupied; b;) {
    const int32_t square = PopLowestBit(b);
    const int32_t code = Position.Squares[square];
    const int32_t index = code > 0 ? ParamIndex(code, square) : ParamIndex(-code, square ^ 56);
    const int16_t count = code > 0 ? 1 : -1;
    bool merged = false;
    for (size_t i = sample.FirstFeature; i < set.Features.size() && !merged; ++i)
      if (set.Features[i].Index == index) set.Features[i].Count += count, merged = true;
    if (!merged) set.Features.push_back({static_cast<uint16_t>(index), count});
  }
  sample.FeatureCount = static_cast<uint16_t>(set.Features.size() - sample.FirstFeature);
}

// The evaluation rebuilt from the trace and today's cells must be the engine's own.
bool RebuildsExactly(const SampleSet& set, const Sample& sample) {
  static const CellParams cells = CurrentCells();
  double mg = 0, eg = 0;
  for (uint32_t i = 0; i < sample.FeatureCount; ++i) {
    const Feature& f = set.Features[sample.FirstFeature + i];
    mg += f.Count * cells[0][f.Index];
    eg += f.Count * cells[1][f.Index];
  }
  if (mg != Position.PsqMg || eg != Position.PsqEg) return false;
  const int32_t own = Evaluate();
  return RebuildEvaluation(sample, mg, eg, true).White == (sample.WhiteToMove ? own : -own);
}

}  // namespace

bool LoadSamples(const std::string& path, const LoadOptions& options, SampleSet& set, LoadReport& report) {
  const bool compressed = path.size() > 3 && path.compare(path.size() - 3, 3, ".xz") == 0;
  std::FILE* file = compressed ? popen(("xz -dc '" + path + "'").c_str(), "r") : std::fopen(path.c_str(), "r");
  if (!file) return false;
  char buffer[512];
  std::string line;
  while (std::fgets(buffer, sizeof buffer, file)) {
    line += buffer;
    if (line.back() != '\n' && !std::feof(file)) continue;
    ++report.Lines;
    std::string_view fenView;
    Sample sample{};
    int64_t game = 0;
    const bool parsed = ParseLine(line, fenView, sample.Result, game, sample.Score);
    const std::string fen(fenView);
    line.clear();
    if (!parsed || !SetBoard(fen, false)) {
      ++report.Malformed;
      continue;
    }
    if (FullmoveNumber(fen) < options.MinFullmove) {
      ++report.Book;
      continue;
    }
    if (Position.Checkers) {
      ++report.InCheck;
      continue;
    }
    PVLine pv{};
    const int32_t score = QuiescenceLine(pv);
    if (score > DECIDED_SCORE || score < -DECIDED_SCORE) {
      ++report.Decided;
      continue;
    }
    if (score > options.MaxScore || score < -options.MaxScore) {
      ++report.Large;
      continue;
    }
    if (options.Resolve && pv.Count > 0) {
      PlayLine(pv);
      ++report.Moved;
      if (Position.Checkers) {
        ++report.InCheck;
        continue;
      }
    }
    if (HasEndgameRule()) {
      ++report.Ruled;
      continue;
    }
    EvaluationTrace trace;
    TraceEvaluation(trace);
    sample.Held = IsHeldOut(game, options.HoldoutPercent);
    sample.WhiteToMove = Position.SideToMove == WHITE;
    sample.Weight = static_cast<float>(options.Weight);
    sample.Early = trace.Early;
    sample.Pieces = trace.Pieces;
    sample.Late = trace.Late;
    sample.NonPawnMaterial = trace.NonPawnMaterial;
    sample.Phase = static_cast<uint8_t>(trace.Phase);
    sample.PassedPawns = static_cast<uint8_t>(trace.PassedPawns[WHITE] + trace.PassedPawns[BLACK]);
    sample.Scale[WHITE] = static_cast<uint8_t>(trace.Scale[WHITE]);
    sample.Scale[BLACK] = static_cast<uint8_t>(trace.Scale[BLACK]);
    sample.HalfmoveClock = static_cast<uint8_t>(std::min(Position.HalfmoveClock, 255));
    AppendFeatures(set, sample);
    if (!RebuildsExactly(set, sample)) ++report.Mismatches;
    set.Samples.push_back(sample);
    ++report.Kept;
    if (options.MaxPositions && report.Kept >= options.MaxPositions) break;
  }
  if (compressed)
    pclose(file);
  else
    std::fclose(file);
  return true;
}

void SetTargets(SampleSet& set, double k, double scoreWeight) {
  for (Sample& s : set.Samples) {
    const double searched = 1 / (1 + std::exp(-k * s.Score));
    s.Target =
        std::isnan(s.Score) ? s.Result : static_cast<float>((1 - scoreWeight) * s.Result + scoreWeight * searched);
  }
}
