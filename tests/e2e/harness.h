#pragma once
// Runs build/tavrin as a child process through pipes: chosen input chunks and pauses in,
// the exact bytes of standard output back.

#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

struct EngineOptions {
  std::vector<std::string> Args;      // after the program name
  bool RawCp437 = true;               // TAVRIN_CP437=1: compare code page 437 bytes
  std::string WorkingDirectory;       // empty: a fresh temporary directory (no Tavrin.ini)
  std::vector<std::string> ExtraEnv;  // NAME=value entries added to the environment
};

class Engine {
 public:
  explicit Engine(EngineOptions options = {});
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  void Send(std::string_view bytes);
  void CloseInput();

  // Reads until the output contains text or the time runs out; true when it appeared.
  bool WaitFor(std::string_view text, int timeoutMs = 10000);

  // Reads whatever arrives within the given time.
  void Drain(int ms);

  // Waits for the process to end; returns its exit code, or -1 after killing it on time-out.
  int Wait(int timeoutMs = 10000);

  // Output read so far; TakeOutput also forgets it.
  const std::string& Output() const { return output_; }
  std::string TakeOutput();

  const std::string& Directory() const { return directory_; }

 private:
  bool ReadSome(int timeoutMs);

  pid_t pid_ = -1;
  int input_ = -1;
  int outputFd_ = -1;
  int exitCode_ = -1;
  std::string output_;
  std::string directory_;
  bool ownsDirectory_ = false;
};

// Starts the engine, writes the whole input, closes it, and returns all output.
std::string RunEngine(std::string_view input, EngineOptions options = {}, int* exitCode = nullptr,
                      int timeoutMs = 20000);

// Splits output into lines at LF, keeping any CR that precedes it.
std::vector<std::string> Lines(const std::string& output);
