#pragma once
// The only room that calls the operating system: terminal detection, raw input and
// output, colours, the clock, files and large allocations.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// True when standard input is a terminal (a person typing) rather than a pipe or file.
bool StdinIsTerminal();

// Drops whatever a person typed before the program was ready for it (a Windows console
// also stops queueing window and mouse events).
void DiscardTerminalInput();

// Reads what is waiting on standard input without blocking. Returns the number of bytes
// read, 0 when nothing is waiting, or -1 once input has ended (closed pipe, end of file).
long ReadAvailableInput(char* buffer, size_t capacity);

// Waits at most the given milliseconds for input to arrive (or end).
void WaitForInput(int milliseconds);

// Writes all bytes to standard output at once. On Linux code page 437 bytes above 0x7F are
// shown as UTF-8 unless TAVRIN_CP437=1 asks for the raw bytes; Windows writes them unchanged.
void WriteOutput(const char* bytes, size_t length);

// Colour for a console attribute byte (background high nibble, foreground low nibble,
// Windows colour order): the console's own attribute on Windows, an ANSI sequence on a
// colour-capable Linux terminal, nothing on a pipe or file.
void SetOutputAttribute(uint8_t attribute);
void ResetOutputAttribute();

#ifndef _WIN32
// How an ANSI terminal is given colours, from none to the richest.
enum class TerminalColours : uint8_t { NONE, STANDARD_16, PALETTE_256, TRUE_COLOUR };

// None on a pipe or file, with TERM=dumb or a non-empty NO_COLOR; 24-bit when COLORTERM is
// truecolor or 24bit, the 256-colour palette when TERM ends in 256color, else the 16 codes.
TerminalColours ChooseTerminalColours(bool isTerminal, const char* term, const char* colorTerm, const char* noColor);

// The SGR sequence that draws an attribute byte as the Windows console does (empty for NONE).
std::string AttributeEscape(uint8_t attribute, TerminalColours mode);
#endif

// Milliseconds from a monotonic clock: differences are elapsed times.
uint64_t NowMilliseconds();

// The clock of a timed run: NowMilliseconds at the start of the search or perft row being timed,
// set by the search and by perft, read by the bench and the test suite after a search.
extern uint64_t StartTime;

// Milliseconds since StartTime.
inline uint64_t ElapsedMs() { return NowMilliseconds() - StartTime; }

void SleepMilliseconds(int milliseconds);

bool FileExists(const std::string& path);

// Reads a text file line by line: LF, CR LF and a lone CR end a line and are removed, a
// leading UTF-8 byte-order mark is skipped; false when the file cannot be opened.
bool ReadTextLines(const std::string& path, std::vector<std::string>& lines);

// Zero-filled memory for the big tables; nullptr when the system refuses.
void* AllocateLarge(size_t bytes);
void FreeLarge(void* memory, size_t bytes);

// Brings every page of an allocation into memory now, so that later first touches do not
// fault (the work is done once, before any clock runs).
void MakeResident(void* memory, size_t bytes);

#ifdef _WIN32
// A raw-data (RCDATA) resource of the executable, with its size; nullptr when there is none.
const unsigned char* ExecutableResource(const char* name, size_t& size);
#endif
