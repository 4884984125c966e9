// Linux implementation of the platform layer.
#include "platform/platform.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Unicode code points of code page 437's upper half (0x80..0xFF).
// clang-format off
constexpr uint16_t Cp437Upper[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};
// clang-format on

// Bytes written by the program are code page 437; the terminal expects UTF-8.
bool TranslateOutput() {
  static const bool translate = [] {
    const char* raw = std::getenv("TAVRIN_CP437");
    return !(raw && std::strcmp(raw, "1") == 0);
  }();
  return translate;
}

TerminalColours OutputColours() {
  static const TerminalColours colours = ChooseTerminalColours(isatty(STDOUT_FILENO), std::getenv("TERM"),
                                                               std::getenv("COLORTERM"), std::getenv("NO_COLOR"));
  return colours;
}

void WriteAll(const char* bytes, size_t length) {
  while (length > 0) {
    ssize_t written = write(STDOUT_FILENO, bytes, length);
    if (written < 0) {
      if (errno == EINTR) continue;
      return;  // a lost write is not an error the engine can act on
    }
    bytes += written;
    length -= static_cast<size_t>(written);
  }
}

// Appends the UTF-8 form of one code point below 0x10000.
void AppendUtf8(std::string& out, uint16_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool InputEnded = false;

}  // namespace

bool StdinIsTerminal() { return isatty(STDIN_FILENO); }

void DiscardTerminalInput() { tcflush(STDIN_FILENO, TCIFLUSH); }

long ReadAvailableInput(char* buffer, size_t capacity) {
  if (InputEnded) return -1;
  pollfd input = {STDIN_FILENO, POLLIN, 0};
  if (poll(&input, 1, 0) <= 0) return 0;
  ssize_t count = read(STDIN_FILENO, buffer, capacity);
  if (count > 0) return count;
  if (count < 0 && (errno == EINTR || errno == EAGAIN)) return 0;
  InputEnded = true;
  return -1;
}

void WaitForInput(int milliseconds) {
  if (InputEnded) {
    SleepMilliseconds(milliseconds);
    return;
  }
  pollfd input = {STDIN_FILENO, POLLIN, 0};
  poll(&input, 1, milliseconds);
}

void WriteOutput(const char* bytes, size_t length) {
  if (!TranslateOutput()) {
    WriteAll(bytes, length);
    return;
  }
  size_t i = 0;
  while (i < length && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
  if (i == length) {  // the common case: plain ASCII, written as it is
    WriteAll(bytes, length);
    return;
  }
  std::string out(bytes, i);
  out.reserve(length * 3);
  for (; i < length; ++i) {
    unsigned char byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x80)
      out += static_cast<char>(byte);
    else
      AppendUtf8(out, Cp437Upper[byte - 0x80]);
  }
  WriteAll(out.data(), out.size());
}

void SetOutputAttribute(uint8_t attribute) {
  std::string escape = AttributeEscape(attribute, OutputColours());
  WriteAll(escape.data(), escape.size());
}

void ResetOutputAttribute() {
  if (OutputColours() != TerminalColours::NONE) WriteAll("\x1b[0m", 4);
}

uint64_t NowMilliseconds() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000;
}

void SleepMilliseconds(int milliseconds) {
  timespec pause = {milliseconds / 1000, (milliseconds % 1000) * 1000000L};
  while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {}
}

bool FileExists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

void* AllocateLarge(size_t bytes) {
  // Mapped with room to spare and trimmed to a 2 MiB boundary, so huge pages can cover the
  // whole table (fewer TLB misses on table probes).
  constexpr size_t HUGE_PAGE = size_t{2} << 20;
  size_t spare = bytes >= HUGE_PAGE ? HUGE_PAGE : 0;
  if (bytes > SIZE_MAX - spare) return nullptr;
  void* mapped = mmap(nullptr, bytes + spare, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return nullptr;
  auto start = reinterpret_cast<uintptr_t>(mapped);
  uintptr_t aligned = spare ? (start + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1) : start;
  if (aligned > start) munmap(mapped, aligned - start);
  if (size_t tail = start + spare - aligned) munmap(reinterpret_cast<void*>(aligned + bytes), tail);
  void* memory = reinterpret_cast<void*>(aligned);
  madvise(memory, bytes, MADV_HUGEPAGE);
  return memory;
}

void MakeResident(void* memory, size_t bytes) {
#ifdef MADV_POPULATE_WRITE
  if (madvise(memory, bytes, MADV_POPULATE_WRITE) == 0) return;
#endif
  // Older kernels: one write per page; the pages are zero, so writing zero changes nothing.
  auto* bytesOf = static_cast<volatile unsigned char*>(memory);
  for (size_t i = 0; i < bytes; i += 4096) bytesOf[i] = 0;
}

void FreeLarge(void* memory, size_t bytes) {
  if (memory) munmap(memory, bytes);
}
