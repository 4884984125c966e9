// tavrin-selfgen: tuning data from self-play. Worker processes (the engine keeps global state
// and searches on one thread) each play their share of the games and send every finished game
// through a pipe; this process alone writes the files and reports progress on stderr.
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "board/board.h"
#include "console/console.h"
#include "platform/platform.h"
#include "search/search.h"
#include "shell/shell.h"
#include "tune/book.h"
#include "tune/selfplay.h"

namespace {

constexpr uint64_t PROGRESS_INTERVAL_MS = 5000;
constexpr int32_t MAX_JOBS = 256;

struct Options {
  int32_t Games = 100;
  int32_t Nodes = 8000;
  int32_t Jobs = 2;
  std::string Book = TAVRIN_DEFAULT_BOOK;
  int32_t Seed = 1;
  std::string Out;
  int32_t FirstGame = 0;  // 0: one after the highest game number in the games log
  int32_t HashMB = 16;
  AdjudicationRules Rules;
};

void PrintUsage() {
  std::fputs(
      "Usage: tavrin-selfgen --out FILE [options]\n"
      "Plays self-play games at a fixed node count a move and appends one line per position to FILE\n"
      "(\"<FEN> | <result> | <game> | <score>\") and one line per game to FILE.games\n"
      "(\"<game> | <opening> | <result> | <plies> | <end>\").\n"
      "  --games N          games to play (100)\n"
      "  --nodes N          node budget a move (8000)\n"
      "  --jobs J           worker processes, one per core (2)\n"
      "  --book PATH        PGN file of openings (" TAVRIN_DEFAULT_BOOK
      ")\n"
      "  --seed S           seed of the opening order (1)\n"
      "  --first-game K     number of the first game (one after the last in FILE.games)\n"
      "  --hash MB          transposition table of each worker, 16..2048 (16)\n"
      "  --win-score N      adjudicated win beyond N evaluation units (1000)...\n"
      "  --win-plies N      ...for N plies in a row (4); a mate score wins at once\n"
      "  --draw-score N     adjudicated draw within N units (20)...\n"
      "  --draw-plies N     ...for N plies in a row (8)...\n"
      "  --draw-from-ply N  ...from ply N on (80)\n"
      "  --max-plies N      drawn at N plies (400)\n",
      stderr);
}

bool ParseOptions(int argc, char** argv, Options& options) {
  struct IntegerOption {
    std::string_view Name;
    int32_t* Value;
    int32_t Min;
    int32_t Max;
  };
  AdjudicationRules& rules = options.Rules;
  const IntegerOption integers[] = {
      {"--games", &options.Games, 1, INT32_MAX},
      {"--nodes", &options.Nodes, 1, INT32_MAX},
      {"--jobs", &options.Jobs, 1, MAX_JOBS},
      {"--seed", &options.Seed, 0, INT32_MAX},
      {"--first-game", &options.FirstGame, 1, INT32_MAX},
      {"--hash", &options.HashMB, HASH_MIN_MB, HASH_MAX_MB},
      {"--win-score", &rules.WinScore, 0, SCORE_MATE_THRESHOLD},
      {"--win-plies", &rules.WinPlies, 1, INT32_MAX},
      {"--draw-score", &rules.DrawScore, 0, SCORE_MATE_THRESHOLD},
      {"--draw-plies", &rules.DrawPlies, 1, INT32_MAX},
      {"--draw-from-ply", &rules.DrawFromPly, 0, INT32_MAX},
      {"--max-plies", &rules.MaxPlies, 1, GAME_HISTORY_CAPACITY / 2},
  };
  for (int i = 1; i < argc; i += 2) {
    std::string_view name = argv[i];
    if (i + 1 >= argc) return false;
    std::string_view text = argv[i + 1];
    bool known = false;
    for (const IntegerOption& option : integers) {
      if (name != option.Name) continue;
      int32_t value;
      if (!TryReadInteger(text, value) || value < option.Min || value > option.Max) {
        std::fprintf(stderr, "tavrin-selfgen: %s takes a number from %d to %d\n", argv[i], option.Min, option.Max);
        return false;
      }
      *option.Value = value;
      known = true;
    }
    if (name == "--book" || name == "--out") {
      (name == "--book" ? options.Book : options.Out) = text;
      known = true;
    }
    if (!known) return false;
  }
  return !options.Out.empty() && int64_t{options.FirstGame} + options.Games - 1 <= INT32_MAX;
}

// The highest game number in the games log, 0 when there is none.
int64_t HighestGameNumber(const std::string& gamesLog) {
  std::vector<std::string> lines;
  int64_t highest = 0;
  if (!ReadTextLines(gamesLog, lines)) return highest;
  for (std::string rest : lines) highest = std::max<int64_t>(highest, ReadInteger(NextToken(rest), 0));
  return highest;
}

// Game g plays opening Order[g % count]: a seeded shuffle, so that no opening comes twice
// before every one has come once (with fixed nodes, a repeated opening repeats its game).
// The raw 64-bit draws are fixed by the standard, so the order is the same everywhere.
std::vector<int32_t> ShuffleOpenings(size_t count, int32_t seed) {
  std::vector<int32_t> order(count);
  for (size_t i = 0; i < count; ++i) order[i] = static_cast<int32_t>(i);
  std::mt19937_64 random(static_cast<uint64_t>(seed));
  for (size_t i = count - 1; i > 0; --i) std::swap(order[i], order[random() % (i + 1)]);
  return order;
}

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    ssize_t written = write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    text.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// Think writes info and bestmove lines to standard output and the search polls standard input:
// both go to /dev/null, so that the data files are all this program writes.
void SilenceStandardStreams() {
  int null = open("/dev/null", O_RDWR);
  if (null < 0) return;
  dup2(null, STDIN_FILENO);
  dup2(null, STDOUT_FILENO);
  if (null > STDERR_FILENO) close(null);
}

// A worker: plays games first + job, first + job + jobs, ... and writes each game to fd in one
// piece, its position lines first, then its game line marked with '#'.
[[noreturn]] void RunJob(int32_t job, const Options& options, const std::vector<Opening>& book,
                         const std::vector<int32_t>& order, int fd) {
  for (int64_t game = int64_t{options.FirstGame} + job; game < int64_t{options.FirstGame} + options.Games;
       game += options.Jobs) {
    int32_t opening = order[static_cast<size_t>(game) % order.size()];
    PlayedGame played = PlayGame(book[static_cast<size_t>(opening)], options.Nodes, options.Rules);
    std::string text;
    for (const Sample& sample : played.Samples) text += PositionLine(sample, played.Result, game) + "\n";
    text += "#" + std::to_string(game) + " | " + std::to_string(opening) + " | " +
            std::string(ResultTexts[played.Result]) + " | " + std::to_string(played.Plies) + " | " +
            std::string(GameEndNames[static_cast<int32_t>(played.End)]) + "\n";
    if (!WriteAll(fd, text)) _exit(1);
  }
  _exit(0);
}

struct Job {
  pid_t Pid = -1;
  int Fd = -1;            // read end of the job's pipe; -1 once it has ended
  std::string Input;      // bytes read that do not make a whole line yet
  std::string Positions;  // position lines of the game whose game line has not come yet
};

struct Tally {
  int64_t Games = 0;
  int64_t Positions = 0;
  int64_t Plies = 0;
  std::array<int64_t, RESULT_NB> Results{};
  std::array<int64_t, static_cast<size_t>(GameEnd::END_NB)> Ends{};
};

template <size_t N>
size_t IndexOf(const std::string_view (&names)[N], std::string_view name) {
  size_t i = 0;
  while (i < N && names[i] != name) ++i;
  return i;
}

// One whole line from a job. Position lines wait for their game's line, which then goes to
// the files with them: a game cut off by a failing worker leaves nothing behind.
void TakeLine(const std::string& line, Job& job, std::FILE* positions, std::FILE* games, Tally& tally) {
  if (!line.starts_with('#')) {
    job.Positions += line + "\n";
    return;
  }
  std::string rest = line.substr(1);
  std::vector<std::string> fields;
  while (!rest.empty()) fields.push_back(Trim(NextToken(rest, '|')));
  size_t end = IndexOf(GameEndNames, fields.size() == 5 ? fields[4] : "");
  std::fputs(job.Positions.c_str(), positions);
  std::fputs((line.substr(1) + "\n").c_str(), games);
  std::fflush(positions);
  std::fflush(games);
  tally.Positions += std::count(job.Positions.begin(), job.Positions.end(), '\n');
  job.Positions.clear();
  ++tally.Games;
  if (end >= tally.Ends.size()) return;
  ++tally.Ends[end];
  if (static_cast<GameEnd>(end) == GameEnd::BAD_OPENING) {
    std::fprintf(stderr, "tavrin-selfgen: game %s: the book's opening %s does not play; skipped\n", fields[0].c_str(),
                 fields[1].c_str());
    return;
  }
  ++tally.Results[IndexOf(ResultTexts, fields[2]) % RESULT_NB];
  tally.Plies += ReadInteger(fields[3], 0);
}

// Reads what a job has sent; false once it has closed its end (finished or failed).
bool ReadFromJob(Job& job, std::FILE* positions, std::FILE* games, Tally& tally) {
  char buffer[65536];
  ssize_t count = read(job.Fd, buffer, sizeof buffer);
  if (count < 0 && errno == EINTR) return true;
  if (count <= 0) return false;
  job.Input.append(buffer, static_cast<size_t>(count));
  size_t start = 0;
  for (size_t end; (end = job.Input.find('\n', start)) != std::string::npos; start = end + 1)
    TakeLine(job.Input.substr(start, end - start), job, positions, games, tally);
  job.Input.erase(0, start);
  return true;
}

std::string Ratio(double count, double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", count / seconds);
  return text;
}

void ReportProgress(const Tally& tally, const Options& options, uint64_t elapsedMs) {
  double seconds = static_cast<double>(std::max<uint64_t>(elapsedMs, 1)) / 1000;
  std::string line = "games " + std::to_string(tally.Games) + "/" + std::to_string(options.Games) + ", positions " +
                     std::to_string(tally.Positions) + ", " + Ratio(tally.Games, seconds) + " games/s, " +
                     Ratio(tally.Positions, seconds) + " positions/s, W/D/L for White " +
                     std::to_string(tally.Results[WHITE_WON]) + "/" + std::to_string(tally.Results[DRAWN]) + "/" +
                     std::to_string(tally.Results[BLACK_WON]);
  std::fprintf(stderr, "%s\n", line.c_str());
}

void ReportSummary(const Tally& tally, const Options& options, uint64_t elapsedMs) {
  double seconds = static_cast<double>(std::max<uint64_t>(elapsedMs, 1)) / 1000;
  int64_t played = tally.Results[WHITE_WON] + tally.Results[DRAWN] + tally.Results[BLACK_WON];
  std::fprintf(stderr, "\ngames %d to %lld: %lld played in %.1f s, %s games a minute, %s positions a second\n",
               options.FirstGame, static_cast<long long>(int64_t{options.FirstGame} + options.Games - 1),
               static_cast<long long>(played), seconds, Ratio(60.0 * played, seconds).c_str(),
               Ratio(tally.Positions, seconds).c_str());
  if (played == 0) return;
  std::fprintf(stderr, "positions %lld (%s a game), %s plies a game\n", static_cast<long long>(tally.Positions),
               Ratio(tally.Positions, played).c_str(), Ratio(tally.Plies, played).c_str());
  std::fprintf(stderr, "White won %lld, drawn %lld, Black won %lld (White scored %s %%)\n",
               static_cast<long long>(tally.Results[WHITE_WON]), static_cast<long long>(tally.Results[DRAWN]),
               static_cast<long long>(tally.Results[BLACK_WON]),
               Ratio(100.0 * tally.Results[WHITE_WON] + 50.0 * tally.Results[DRAWN], played).c_str());
  std::string ends = "ends:";
  for (size_t end = 0; end < tally.Ends.size(); ++end)
    if (tally.Ends[end]) ends += " " + std::string(GameEndNames[end]) + " " + std::to_string(tally.Ends[end]) + ",";
  ends.pop_back();
  std::fprintf(stderr, "%s\n", ends.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    PrintUsage();
    return 2;
  }
  std::vector<std::string> lines;
  if (!ReadTextLines(options.Book, lines)) {
    std::fprintf(stderr, "tavrin-selfgen: cannot read the book %s\n", options.Book.c_str());
    return 1;
  }
  const std::vector<Opening> book = ParseOpenings(lines);
  if (book.empty()) {
    std::fprintf(stderr, "tavrin-selfgen: no games in the book %s\n", options.Book.c_str());
    return 1;
  }
  // Numbers already in the games log are never given again, so that runs can be appended.
  const std::string gamesLog = options.Out + ".games";
  int64_t last = HighestGameNumber(gamesLog);
  if (options.FirstGame == 0 && last + options.Games <= INT32_MAX) options.FirstGame = static_cast<int32_t>(last + 1);
  if (options.FirstGame <= last) {
    std::fprintf(stderr, "tavrin-selfgen: %s already holds games up to %lld\n", gamesLog.c_str(),
                 static_cast<long long>(last));
    return 1;
  }
  std::FILE* positions = std::fopen(options.Out.c_str(), "a");
  std::FILE* games = std::fopen(gamesLog.c_str(), "a");
  if (!positions || !games) {
    std::fprintf(stderr, "tavrin-selfgen: cannot write %s or %s\n", options.Out.c_str(), gamesLog.c_str());
    return 1;
  }

  SilenceStandardStreams();
  // The engine's start-up, once, before the workers are forked.
  InitEngine();
  InitConsole(false);
  Settings.HashSizeMB = options.HashMB;
  const std::vector<int32_t> order = ShuffleOpenings(book.size(), options.Seed);

  uint64_t start = NowMilliseconds();
  std::vector<Job> jobs(static_cast<size_t>(std::min(options.Jobs, options.Games)));
  for (size_t j = 0; j < jobs.size(); ++j) {
    int ends[2];
    if (pipe(ends) != 0) {
      std::perror("tavrin-selfgen: pipe");
      return 1;
    }
    pid_t pid = fork();
    if (pid == 0) {
      close(ends[0]);
      for (size_t k = 0; k < j; ++k) close(jobs[k].Fd);
      RunJob(static_cast<int32_t>(j), options, book, order, ends[1]);
    }
    close(ends[1]);
    if (pid < 0) {
      std::perror("tavrin-selfgen: fork");
      close(ends[0]);
      break;
    }
    jobs[j].Pid = pid;
    jobs[j].Fd = ends[0];
  }

  Tally tally;
  uint64_t lastReport = start;
  for (;;) {
    std::vector<pollfd> waiting;
    for (const Job& job : jobs)
      if (job.Fd >= 0) waiting.push_back({job.Fd, POLLIN, 0});
    if (waiting.empty()) break;
    poll(waiting.data(), waiting.size(), 1000);
    for (Job& job : jobs) {
      for (const pollfd& entry : waiting) {
        if (entry.fd != job.Fd || !entry.revents) continue;
        if (!ReadFromJob(job, positions, games, tally)) {
          close(job.Fd);
          job.Fd = -1;
        }
      }
    }
    if (NowMilliseconds() - lastReport >= PROGRESS_INTERVAL_MS) {
      lastReport = NowMilliseconds();
      ReportProgress(tally, options, lastReport - start);
    }
  }

  int exitCode = 0;
  for (size_t j = 0; j < jobs.size(); ++j) {
    int status = 0;
    if (jobs[j].Pid < 0 || waitpid(jobs[j].Pid, &status, 0) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      std::fprintf(stderr, "tavrin-selfgen: worker %zu failed; its unfinished game is lost\n", j);
      exitCode = 1;
    }
  }
  std::fclose(positions);
  std::fclose(games);
  ReportSummary(tally, options, NowMilliseconds() - start);
  return exitCode;
}
