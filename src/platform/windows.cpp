// Windows implementation of the platform layer: the console and file API of a 64-bit
// console program. Output bytes are code page 437 and go out unchanged: the console shows them.
#include "platform/platform.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr DWORD WINDOW_INPUT_FLAG = 0x0008;
constexpr DWORD MOUSE_INPUT_FLAG = 0x0010;
constexpr WORD NORMAL_ATTRIBUTE = 0x07;  // light grey on black
constexpr size_t WAITED_MAX = 8192;

enum class InputKind : uint8_t { CONSOLE, PIPE, STREAM };

// Standard handles are fetched at each use: a caller may redirect them (SetStdHandle).
HANDLE StdIn() { return GetStdHandle(STD_INPUT_HANDLE); }
HANDLE StdOut() { return GetStdHandle(STD_OUTPUT_HANDLE); }

InputKind KindOfInput() {
  static const InputKind kind = [] {
    DWORD mode = 0;
    if (GetConsoleMode(StdIn(), &mode)) return InputKind::CONSOLE;
    return GetFileType(StdIn()) == FILE_TYPE_PIPE ? InputKind::PIPE : InputKind::STREAM;
  }();
  return kind;
}

bool InputEnded = false;
// Some pipes cannot be looked into (wine hands a Unix pipe over as one): those are read only
// while the program waits for input, never from inside a search, where a read would block.
bool PeekUnsupported = false;

// Bytes read while the program was waiting for input, not yet handed out.
char WaitedBytes[WAITED_MAX];
size_t WaitedLength = 0;
size_t WaitedStart = 0;

// One blocking read; false (and input ended) on failure or end of input.
bool ReadBlocking(char* buffer, size_t capacity, size_t& count) {
  DWORD got = 0;
  DWORD wanted = static_cast<DWORD>(std::min<size_t>(capacity, 1u << 30));
  if (!ReadFile(StdIn(), buffer, wanted, &got, nullptr) || got == 0) {
    InputEnded = true;
    return false;
  }
  count = got;
  return true;
}

bool IsKeyDown(const INPUT_RECORD& record) { return record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown; }

// True when a whole line is queued at the console: a key-down of Enter. Events that carry
// no character (focus, menu, key releases, lone shift keys) ahead of the first character are
// taken out, so that the queue stays short; the console's line editing ignores them anyway.
bool ConsoleLineQueued() {
  DWORD count = 0;
  if (!GetNumberOfConsoleInputEvents(StdIn(), &count) || count == 0) return false;
  std::vector<INPUT_RECORD> records(count);
  DWORD seen = 0;
  if (!PeekConsoleInputA(StdIn(), records.data(), count, &seen)) return false;
  DWORD idle = 0;
  while (idle < seen && !(IsKeyDown(records[idle]) && records[idle].Event.KeyEvent.uChar.AsciiChar != 0)) ++idle;
  if (idle > 0) {
    DWORD removed = 0;
    ReadConsoleInputA(StdIn(), records.data(), idle, &removed);
  }
  for (DWORD i = idle; i < seen; ++i)
    if (IsKeyDown(records[i]) && records[i].Event.KeyEvent.uChar.AsciiChar == '\r') return true;
  return false;
}

long TakeWaitedBytes(char* buffer, size_t capacity) {
  size_t count = std::min(capacity, WaitedLength - WaitedStart);
  std::memcpy(buffer, WaitedBytes + WaitedStart, count);
  WaitedStart += count;
  if (WaitedStart == WaitedLength) WaitedStart = WaitedLength = 0;
  return static_cast<long>(count);
}

long ReadConsoleLine(char* buffer, size_t capacity) {
  if (!ConsoleLineQueued()) return 0;  // a whole line or nothing: a search runs on while a person types
  size_t count = 0;
  if (!ReadBlocking(buffer, capacity, count)) return -1;
  return static_cast<long>(count);
}

long ReadPipe(char* buffer, size_t capacity) {
  DWORD available = 0;
  if (!PeekNamedPipe(StdIn(), nullptr, 0, nullptr, &available, nullptr)) {
    if (GetLastError() == ERROR_BROKEN_PIPE) {  // the writer has closed its end
      InputEnded = true;
      return -1;
    }
    PeekUnsupported = true;
    return 0;
  }
  if (available == 0) return 0;
  size_t count = 0;
  if (!ReadBlocking(buffer, std::min<size_t>(capacity, available), count)) return -1;
  return static_cast<long>(count);
}

// Blocking reads are made only where the program waits for input and has nothing else to do;
// the bytes are handed out by the next ReadAvailableInput.
void ReadWhileWaiting() {
  size_t count = 0;
  if (ReadBlocking(WaitedBytes, sizeof WaitedBytes, count)) {
    WaitedStart = 0;
    WaitedLength = count;
  }
}

}  // namespace

bool StdinIsTerminal() { return KindOfInput() == InputKind::CONSOLE; }

// Only keyboard events are wanted: window-size and mouse events are no longer queued, and line
// input, echo and processed input stay as the console has them.
void DiscardTerminalInput() {
  DWORD mode = 0;
  if (GetConsoleMode(StdIn(), &mode)) SetConsoleMode(StdIn(), mode & ~(WINDOW_INPUT_FLAG | MOUSE_INPUT_FLAG));
  FlushConsoleInputBuffer(StdIn());
}

long ReadAvailableInput(char* buffer, size_t capacity) {
  if (WaitedLength > 0) return TakeWaitedBytes(buffer, capacity);
  if (InputEnded) return -1;
  switch (KindOfInput()) {
    case InputKind::CONSOLE:
      return ReadConsoleLine(buffer, capacity);
    case InputKind::PIPE:
      if (!PeekUnsupported) return ReadPipe(buffer, capacity);
      return 0;
    case InputKind::STREAM: {  // a file or a device: a read never waits long
      size_t count = 0;
      return ReadBlocking(buffer, capacity, count) ? static_cast<long>(count) : -1;
    }
  }
  return 0;
}

void WaitForInput(int milliseconds) {
  // A console read waits in the console's own line editing, which shows the typing, until
  // Enter; a pipe that cannot be looked into is read the same way.
  bool readable = KindOfInput() == InputKind::CONSOLE || (KindOfInput() == InputKind::PIPE && PeekUnsupported);
  if (readable && !InputEnded && WaitedLength == 0)
    ReadWhileWaiting();
  else
    SleepMilliseconds(milliseconds);
}

void WriteOutput(const char* bytes, size_t length) {
  HANDLE out = StdOut();
  while (length > 0) {
    DWORD written = 0;
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(length, 1u << 30));
    if (!WriteFile(out, bytes, chunk, &written, nullptr) || written == 0) return;  // the text is lost
    bytes += written;
    length -= written;
  }
}

// Console attributes are the palette's bytes themselves; on a pipe or file this does nothing.
void SetOutputAttribute(uint8_t attribute) { SetConsoleTextAttribute(StdOut(), attribute); }

void ResetOutputAttribute() { SetConsoleTextAttribute(StdOut(), NORMAL_ATTRIBUTE); }

uint64_t NowMilliseconds() {
  static const uint64_t frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<uint64_t>(f.QuadPart);
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  uint64_t ticks = static_cast<uint64_t>(now.QuadPart);
  // Whole seconds and the rest apart, so that ticks * 1000 cannot overflow.
  return ticks / frequency * 1000 + ticks % frequency * 1000 / frequency;
}

void SleepMilliseconds(int milliseconds) { Sleep(static_cast<DWORD>(std::max(milliseconds, 0))); }

bool FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void* AllocateLarge(size_t bytes) {
  // Committed pages read as zero.
  return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void MakeResident(void* memory, size_t bytes) {
  // One write per page; committed pages are zero, so writing zero changes nothing.
  auto* bytesOf = static_cast<volatile unsigned char*>(memory);
  for (size_t i = 0; i < bytes; i += 4096) bytesOf[i] = 0;
}

void FreeLarge(void* memory, size_t) {
  if (memory) VirtualFree(memory, 0, MEM_RELEASE);
}

const unsigned char* ExecutableResource(const char* name, size_t& size) {
  size = 0;
  HRSRC found = FindResourceA(nullptr, name, MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (!found) return nullptr;
  HGLOBAL loaded = LoadResource(nullptr, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return nullptr;
  size = SizeofResource(nullptr, found);
  return static_cast<const unsigned char*>(data);
}
