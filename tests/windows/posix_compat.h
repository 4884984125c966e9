#pragma once
// The few POSIX calls the unit tests make, on the Windows C runtime. Included ahead of every
// unit test source of the Windows build.

#include <cstdlib>
#include <cstring>
#include <direct.h>
#include <io.h>

inline int setenv(const char* name, const char* value, int overwrite) {
  if (!overwrite && std::getenv(name)) return 0;
  return _putenv_s(name, value) == 0 ? 0 : -1;
}

// Fills in the trailing XXXXXX of the pattern and makes that directory.
inline char* mkdtemp(char* pattern) {
  if (_mktemp_s(pattern, std::strlen(pattern) + 1) != 0) return nullptr;
  return _mkdir(pattern) == 0 ? pattern : nullptr;
}
