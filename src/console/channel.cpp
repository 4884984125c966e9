// The console channel: unbuffered output, colours, the whole-line input reader and the
// prompts' wait for an answer.
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "console/console.h"
#include "platform/platform.h"

extern const int64_t BuildTimeStamp;  // seconds since 1970 UTC, written at build time

bool InputIsConsole = false;

namespace {

// Console attribute bytes of the palette indices 0..9.
constexpr uint8_t PaletteAttribute[10] = {0x0A, 0x6F, 0x7F, 0x60, 0x70, 0x07, 0x79, 0x69, 0x0B, 0xF5};

constexpr size_t READ_CHUNK = 8192;
// A chess interface sends a whole game as one line, so lines may exceed one read;
// a line longer than this is dropped whole rather than let the buffer grow without end.
constexpr size_t MAX_LINE = 1 << 20;

// How long a prompt sleeps between two looks at the input.
constexpr int ANSWER_WAIT_MS = 10;

std::string InputBuffer;  // bytes read from standard input and not yet handed out
size_t InputStart = 0;    // where the unread part of InputBuffer begins
size_t InputScanned = 0;  // unread bytes already known to hold no line end
bool Discarding = false;  // inside an overlong line, dropped up to its end
bool Ended = false;

size_t UnreadLength() { return InputBuffer.size() - InputStart; }

// Length of the first unread line with its terminator, or 0 when it is incomplete.
size_t FindLineEnd() {
  const char* unread = InputBuffer.data() + InputStart;
  for (size_t i = InputScanned; i < UnreadLength(); ++i)
    if (unread[i] == '\n' || unread[i] == '\r') return i + 1;
  InputScanned = UnreadLength();
  return 0;
}

void Consume(size_t count) {
  InputStart += count;
  InputScanned = 0;
  if (InputStart == InputBuffer.size()) {
    InputBuffer.clear();
    InputStart = 0;
  }
}

// Reads whatever is waiting; false when nothing came.
bool FillBuffer() {
  if (Ended) return false;
  if (InputStart > 0 && InputStart >= InputBuffer.size() / 2) {
    InputBuffer.erase(0, InputStart);  // compact so the buffer does not creep forward
    InputStart = 0;
  }
  char chunk[READ_CHUNK];
  long count = ReadAvailableInput(chunk, sizeof chunk);
  if (count < 0) Ended = true;
  if (count <= 0) return false;
  InputBuffer.append(chunk, static_cast<size_t>(count));
  return true;
}

// The text and its line end in one write.
void WriteWithEnd(std::string_view text, std::string_view end) {
  std::string line;
  line.reserve(text.size() + end.size());
  line.append(text);
  line.append(end);
  WriteBytes(line);
}

// Trims a raw line, which ends at its first NUL byte.
std::string CleanLine(std::string_view raw) {
  size_t nul = raw.find('\0');
  return Trim(nul == std::string_view::npos ? raw : raw.substr(0, nul));
}

}  // namespace

void WriteBytes(std::string_view text) { WriteOutput(text.data(), text.size()); }

void PrintLine(std::string_view text) { WriteWithEnd(text, "\n"); }

void PrintText(std::string_view text) { WriteBytes(text); }

void WriteLine(std::string_view text) { WriteWithEnd(text, "\r\n"); }

void SetTextColour(int index) {
  if (index < 0 || index > 9) return;
  if (index == NORMAL_COLOUR)
    ResetOutputAttribute();
  else
    SetOutputAttribute(PaletteAttribute[index]);
}

void InitConsole(bool consoleMode) {
  InputBuffer.reserve(READ_CHUNK);
  InputIsConsole = StdinIsTerminal();
  if (!InputIsConsole) return;  // a chess interface sees nothing before its first command
  DiscardTerminalInput();
  WriteLine(VersionLine());
  WriteLine();
  if (consoleMode) {
    WriteLine("Type ? or HELP to get a list of commands");
    WriteLine();
  }
}

int PendingInputLength() {
  for (;;) {
    size_t end = FindLineEnd();
    if (end > 0) {
      if (!Discarding) return static_cast<int>(end);
      Consume(end);
      Discarding = false;
      continue;
    }
    if (UnreadLength() >= MAX_LINE) {
      Consume(UnreadLength());
      Discarding = true;
    }
    if (!FillBuffer()) return 0;
  }
}

std::string ReadInputLine(int count) {
  size_t length = std::min(static_cast<size_t>(count < 0 ? 0 : count), UnreadLength());
  std::string line = CleanLine(std::string_view(InputBuffer).substr(InputStart, length));
  Consume(length);
  return line;
}

bool InputHasEnded() { return Ended; }

std::string TakeUnterminatedLine() {
  std::string line = Discarding ? std::string() : CleanLine(std::string_view(InputBuffer).substr(InputStart));
  Consume(UnreadLength());
  Discarding = false;
  return line;
}

void WaitForInputLine(int milliseconds) { WaitForInput(milliseconds); }

std::string ReadAnswerLine() {
  for (;;) {
    int length = PendingInputLength();
    if (length > 0) return ReadInputLine(length);
    if (InputHasEnded()) return TakeUnterminatedLine();
    WaitForInputLine(ANSWER_WAIT_MS);
  }
}

std::string VersionLine() {
  // Shown one hour ahead of UTC, with no daylight-saving rule.
  time_t shown = static_cast<time_t>(BuildTimeStamp + 3600);
  tm parts;
  gmtime_r(&shown, &parts);
  char text[64];
  std::snprintf(text, sizeof text, " compiled at %d%02d%02d %02d%02d%02d", parts.tm_year + 1900, parts.tm_mon + 1,
                parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
  return std::string(VERSION_TEXT) + text;
}
