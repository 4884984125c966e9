#pragma once
// Captures what the console channel writes to standard output during a call.

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include <unistd.h>

// The platform reads TAVRIN_CP437 once, at the first write: set it before main runs so
// that captured output holds the raw code page 437 bytes.
inline const bool RawCp437Output = setenv("TAVRIN_CP437", "1", 1) == 0;

inline std::string CaptureOutput(const std::function<void()>& action) {
  std::fflush(stdout);
  std::FILE* file = std::tmpfile();
  if (!file) return "<no temporary file>";
  int saved = dup(STDOUT_FILENO);
  dup2(fileno(file), STDOUT_FILENO);
  action();
  dup2(saved, STDOUT_FILENO);
  close(saved);
  std::string output;
  std::rewind(file);
  char buffer[4096];
  for (size_t count; (count = std::fread(buffer, 1, sizeof buffer, file)) > 0;) output.append(buffer, count);
  std::fclose(file);
  return output;
}
