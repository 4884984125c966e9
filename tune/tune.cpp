// tavrin-tune: fits the piece-square table to game results (Texel's method) and writes it in
// the readable layout of resources/psq_white.txt. See tune/README.md.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "board/board.h"
#include "search/search.h"
#include "shell/shell.h"
#include "tune/cells.h"
#include "tune/fit.h"
#include "tune/samples.h"

namespace {

constexpr const char* USAGE =
    "usage: tavrin-tune --data FILE[:WEIGHT] [--data ...] [options]\n"
    "  --data FILE[:W]     positions \"<FEN> | <result> | <game>\" (.xz read through xz), weight W (1)\n"
    "  --min-fullmove N    skip positions before move N (10: the book's 8 moves and two more)\n"
    "  --holdout P         percent of the games held out of the fit (10)\n"
    "  --max-score U       skip positions whose quiet score is beyond U units (2500)\n"
    "  --no-resolve        keep positions as they are instead of playing the quiescence line\n"
    "  --max-positions N   at most N positions from each file\n"
    "  --k K               the sigmoid's scale instead of fitting it to today's table\n"
    "  --epochs N          descent steps (1000)\n"
    "  --rate R            step size in evaluation units (1.0)\n"
    "  --pull P            weight of the pull towards today's table (0)\n"
    "  --smooth S          weight of the cost of neighbouring cells moving apart (0)\n"
    "  --score-weight W    fit W x the searched score's sigmoid + (1 - W) x the result (0)\n"
    "  --keep-material     hold each piece's mean cell in each phase\n"
    "  --pieces LIST       the pieces that may move, e.g. pawn,king (all)\n"
    "  --out FILE          write the fitted table (for example resources/psq_white.txt)\n";

constexpr const char* PIECES[7] = {"", "pawn", "knight", "bishop", "rook", "queen", "king"};

struct Options {
  std::vector<std::pair<std::string, double>> Data;
  LoadOptions Load;
  FitOptions Fit;
  double K = 0;
  double ScoreWeight = 0;
  std::string Out;
  std::string CommandLine;
};

bool ParsePieces(const char* list, uint32_t& types) {
  types = 0;
  std::string text(list);
  for (size_t start = 0; start <= text.size();) {
    size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    const std::string name = text.substr(start, comma - start);
    int32_t type = 1;
    while (type <= 6 && name != PIECES[type]) ++type;
    if (type > 6) return false;
    types |= 1u << type;
    start = comma + 1;
  }
  return true;
}

bool ParseOptions(int argc, char** argv, Options& o) {
  o.CommandLine = "tavrin-tune";
  for (int i = 1; i < argc; ++i) {
    o.CommandLine += std::string(" ") + argv[i];
    const std::string name = argv[i];
    if (name == "--no-resolve") {
      o.Load.Resolve = false;
      continue;
    }
    if (name == "--keep-material") {
      o.Fit.KeepMaterial = true;
      continue;
    }
    if (i + 1 >= argc) return false;
    const char* value = argv[++i];
    o.CommandLine += std::string(" ") + value;
    if (name == "--data") {
      std::string path = value;
      double weight = 1;
      if (size_t colon = path.rfind(':'); colon != std::string::npos) {
        weight = std::atof(path.c_str() + colon + 1);
        path.resize(colon);
      }
      o.Data.emplace_back(path, weight);
    } else if (name == "--min-fullmove")
      o.Load.MinFullmove = std::atoi(value);
    else if (name == "--holdout")
      o.Load.HoldoutPercent = std::atoi(value);
    else if (name == "--max-score")
      o.Load.MaxScore = std::atoi(value);
    else if (name == "--max-positions")
      o.Load.MaxPositions = std::atoll(value);
    else if (name == "--k")
      o.K = std::atof(value);
    else if (name == "--epochs")
      o.Fit.Epochs = std::atoi(value);
    else if (name == "--rate")
      o.Fit.Rate = std::atof(value);
    else if (name == "--pull")
      o.Fit.Pull = std::atof(value);
    else if (name == "--smooth")
      o.Fit.Smooth = std::atof(value);
    else if (name == "--score-weight")
      o.ScoreWeight = std::atof(value);
    else if (name == "--pieces") {
      if (!ParsePieces(value, o.Fit.FreeTypes)) return false;
    } else if (name == "--out")
      o.Out = value;
    else
      return false;
  }
  return !o.Data.empty();
}

void PrintErrors(const char* label, const SampleSet& set, const CellParams& cells, double k) {
  std::printf("%-7s error: fit %.6f  held out %.6f  (exact evaluation; smooth: %.6f / %.6f)\n", label,
              MeanError(set, cells, k, Part::FIT, true), MeanError(set, cells, k, Part::HELD, true),
              MeanError(set, cells, k, Part::FIT, false), MeanError(set, cells, k, Part::HELD, false));
}

// Per piece and phase: how far the mean cell moved and the largest single move.
void PrintMoves(const CellParams& before, const CellParams& after) {
  for (int32_t type = 1; type <= 6; ++type) {
    std::printf("%-6s", PIECES[type]);
    for (int32_t phase = 0; phase < 2; ++phase) {
      double sum = 0, squares = 0, largest = 0;
      for (int32_t i = 0; i < PARAMS_PER_PHASE; ++i) {
        if (ParamType(i) != type) continue;
        const double moved = after[phase][i] - before[phase][i];
        sum += ParamSquares(i) * moved;
        squares += ParamSquares(i);
        if (std::abs(moved) > std::abs(largest)) largest = moved;
      }
      std::printf("  %s mean %+7.1f largest %+7.1f", phase ? "eg" : "mg", sum / squares, largest);
    }
    std::printf("\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fputs(USAGE, stderr);
    return 2;
  }
  InitEngine();
  NewGame();

  SampleSet set;
  for (const auto& [path, weight] : options.Data) {
    LoadOptions load = options.Load;
    load.Weight = weight;
    LoadReport report;
    if (!LoadSamples(path, load, set, report)) {
      std::fprintf(stderr, "tavrin-tune: cannot read %s\n", path.c_str());
      return 1;
    }
    std::printf(
        "%s: %lld lines, kept %lld (resolved by a capture line %lld); skipped: malformed %lld, book %lld, "
        "in check %lld, mate %lld, beyond %d %lld, ending rule %lld\n",
        path.c_str(), (long long)report.Lines, (long long)report.Kept, (long long)report.Moved,
        (long long)report.Malformed, (long long)report.Book, (long long)report.InCheck, (long long)report.Decided,
        options.Load.MaxScore, (long long)report.Large, (long long)report.Ruled);
    if (report.Mismatches) {
      std::fprintf(stderr, "tavrin-tune: %lld positions rebuilt differently from the engine's evaluation\n",
                   (long long)report.Mismatches);
      return 1;
    }
  }
  int64_t held = 0;
  for (const Sample& s : set.Samples) held += s.Held;
  std::printf("positions: %zu for the fit, %lld held out\n", set.Samples.size() - held, (long long)held);

  const CellParams start = CurrentCells();
  const double k = options.K > 0 ? options.K : FitScale(set, start);
  std::printf("k = %.7f\n", k);
  SetTargets(set, k, options.ScoreWeight);
  PrintErrors("today", set, start, k);
  if (options.Fit.Epochs <= 0) return 0;

  const CellParams fitted = FitCells(set, start, k, options.Fit);
  PrintErrors("fitted", set, fitted, k);
  PrintMoves(start, fitted);
  if (!options.Out.empty()) {
    const std::string header =
        "# White's piece-square cells, material included, in evaluation units (pawn = 124 mg / 206 eg).\n"
        "# Each piece has a middle-game board and an endgame board, laid out as seen from White:\n"
        "# rank 8 on top, files a..h from left to right. Black's cells are these mirrored by rank and\n"
        "# negated; make_psq.py writes both into R16.bin. Pieces but pawns are file-symmetric, and\n"
        "# pawn ranks 1 and 8 hold the plain pawn value.\n"
        "# Fitted to game results by:\n#   " +
        options.CommandLine + "\n";
    if (!WriteCellsText(options.Out, fitted, header)) {
      std::fprintf(stderr, "tavrin-tune: cannot write %s\n", options.Out.c_str());
      return 1;
    }
    std::printf("wrote %s\n", options.Out.c_str());
  }
  return 0;
}
