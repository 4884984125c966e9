#include "e2e/harness.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The engine under test is build/tavrin unless TAVRIN_TEST_BINARY names another one, started
// through the blank-separated words of TAVRIN_TEST_LAUNCHER when that is set (the Windows
// build runs as TAVRIN_TEST_LAUNCHER="wine pipe_relay.exe" TAVRIN_TEST_BINARY=tavrin.exe).
// Linux runs set neither.
std::vector<std::string> EngineCommand() {
  std::vector<std::string> words;
  if (const char* launcher = std::getenv("TAVRIN_TEST_LAUNCHER")) {
    std::istringstream split(launcher);
    for (std::string word; split >> word;) words.push_back(word);
  }
  const char* binary = std::getenv("TAVRIN_TEST_BINARY");
  words.push_back(binary && *binary ? binary : TAVRIN_BINARY);
  return words;
}

int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

Engine::Engine(EngineOptions options) {
  signal(SIGPIPE, SIG_IGN);
  directory_ = options.WorkingDirectory;
  if (directory_.empty()) {
    char pattern[] = "/tmp/tavrin-e2e-XXXXXX";
    directory_ = mkdtemp(pattern);
    ownsDirectory_ = true;
  }
  int toChild[2];
  int fromChild[2];
  if (pipe(toChild) != 0 || pipe(fromChild) != 0) std::abort();
  pid_ = fork();
  if (pid_ == 0) {
    dup2(toChild[0], STDIN_FILENO);
    dup2(fromChild[1], STDOUT_FILENO);
    close(toChild[0]);
    close(toChild[1]);
    close(fromChild[0]);
    close(fromChild[1]);
    if (chdir(directory_.c_str()) != 0) _exit(126);
    if (options.RawCp437)
      setenv("TAVRIN_CP437", "1", 1);
    else
      unsetenv("TAVRIN_CP437");
    for (const std::string& entry : options.ExtraEnv) putenv(strdup(entry.c_str()));
    std::vector<std::string> command = EngineCommand();
    std::vector<char*> argv;
    for (std::string& word : command) argv.push_back(word.data());
    for (std::string& arg : options.Args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(toChild[0]);
  close(fromChild[1]);
  input_ = toChild[1];
  outputFd_ = fromChild[0];
}

Engine::~Engine() {
  if (pid_ > 0 && exitCode_ < 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (input_ >= 0) close(input_);
  if (outputFd_ >= 0) close(outputFd_);
  if (ownsDirectory_) std::filesystem::remove_all(directory_);
}

void Engine::Send(std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = write(input_, bytes.data(), bytes.size());
    if (written <= 0) return;
    bytes.remove_prefix(static_cast<size_t>(written));
  }
}

void Engine::CloseInput() {
  if (input_ >= 0) close(input_);
  input_ = -1;
}

bool Engine::ReadSome(int timeoutMs) {
  if (outputFd_ < 0) return false;
  pollfd fd = {outputFd_, POLLIN, 0};
  if (poll(&fd, 1, timeoutMs) <= 0) return false;
  char buffer[65536];
  ssize_t count = read(outputFd_, buffer, sizeof buffer);
  if (count <= 0) {
    close(outputFd_);
    outputFd_ = -1;
    return false;
  }
  output_.append(buffer, static_cast<size_t>(count));
  return true;
}

bool Engine::WaitFor(std::string_view text, int timeoutMs) {
  int64_t deadline = NowMs() + timeoutMs;
  while (output_.find(text) == std::string::npos) {
    int64_t left = deadline - NowMs();
    if (left <= 0 || outputFd_ < 0) return false;
    ReadSome(static_cast<int>(left));
  }
  return true;
}

void Engine::Drain(int ms) {
  int64_t deadline = NowMs() + ms;
  for (int64_t left; (left = deadline - NowMs()) > 0 && outputFd_ >= 0;) ReadSome(static_cast<int>(left));
}

int Engine::Wait(int timeoutMs) {
  int64_t deadline = NowMs() + timeoutMs;
  while (outputFd_ >= 0 && NowMs() < deadline) ReadSome(static_cast<int>(deadline - NowMs()));
  for (;;) {
    int status = 0;
    pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return exitCode_;
    }
    if (NowMs() >= deadline) break;
    usleep(1000);
  }
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  exitCode_ = -1;
  pid_ = -1;
  return -1;
}

std::string Engine::TakeOutput() {
  std::string taken;
  taken.swap(output_);
  return taken;
}

std::string RunEngine(std::string_view input, EngineOptions options, int* exitCode, int timeoutMs) {
  Engine engine(std::move(options));
  engine.Send(input);
  engine.CloseInput();
  int code = engine.Wait(timeoutMs);
  if (exitCode) *exitCode = code;
  return engine.Output();
}

std::vector<std::string> Lines(const std::string& output) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = output.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(output.substr(start, end - start));
  if (start < output.size()) lines.push_back(output.substr(start));
  return lines;
}
