#pragma once
// The console channel every room prints through, the input line reader, and the small
// text helpers (tokens, numbers, case) that several rooms share.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// ---- Output -------------------------------------------------------------------------

// Writes the bytes unchanged and at once, in program order with every other output.
void WriteBytes(std::string_view text);

// Text followed by LF: every UCI protocol line.
void PrintLine(std::string_view text);

// Text with no line end: the pieces of a table row or board line.
void PrintText(std::string_view text);

// Text followed by CR LF: the line output of tables, board, banner and usage text.
void WriteLine(std::string_view text = {});

// Colours by palette index: 0 logo green, 1-4 board squares, 5 normal, 8/9 piece details.
// Any index above 9 leaves the colour unchanged.
void SetTextColour(int index);

// The palette indices several rooms name; the board view names its own square colours.
inline constexpr int LOGO_COLOUR = 0;
inline constexpr int NORMAL_COLOUR = 5;  // the terminal's own colours

// ---- Input --------------------------------------------------------------------------

// True when standard input is an interactive terminal; fixed by InitConsole.
extern bool InputIsConsole;

// Takes the handles and detects the kind of input; on a terminal discards what was typed
// early and writes the version line (and, in console mode, the hint line).
void InitConsole(bool consoleMode);

// Length of the first complete line waiting (its terminator included), or 0. Never blocks.
int PendingInputLength();

// Takes count bytes of input and returns them trimmed, cut at the first NUL byte.
std::string ReadInputLine(int count);

// True when input has ended; TakeUnterminatedLine then returns what is left, trimmed.
bool InputHasEnded();
std::string TakeUnterminatedLine();

// Sleeps until input may be waiting, at most the given milliseconds.
void WaitForInputLine(int milliseconds);

// One line typed in answer to a prompt, waited for. Once input has ended: what was left of
// it, then empty lines, so that every prompt loop ends instead of waiting for ever.
std::string ReadAnswerLine();

// ---- Version ------------------------------------------------------------------------

inline constexpr std::string_view VERSION_TEXT = "Tavrin dev_20240807b";

// "Tavrin dev_20240807b compiled at YYYYMMDD HHMMSS", the build time one hour ahead of UTC.
std::string VersionLine();

// ---- Formats ------------------------------------------------------------------------

// Digits in groups of three ("1,234,567"), "-" for negatives, blanks in front up to width.
std::string FormatCount(int64_t n, int width);

// "0.000", "1.234", "1m01.234", "1h02m03.004".
std::string FormatDuration(uint32_t ms);

// Nodes per second with k/M suffixes ("1.23k", "12.3M"); two 0xA7 bytes for no elapsed time.
std::string FormatNps(uint32_t ms, uint64_t nodes);

// ---- Text helpers -------------------------------------------------------------------

// Removes every leading and trailing character of code 0..32.
std::string Trim(std::string_view text);

// ASCII letters only change case; every other byte is kept.
std::string ToLower(std::string_view text);
std::string ToUpper(std::string_view text);

// Takes the next token from rest, up to the first separator, and shortens rest.
// With a blank separator, runs of blanks count as one.
std::string NextToken(std::string& rest, char separator = ' ');

// All blank-separated words of text, as repeated NextToken calls with a blank would take
// them, in one pass: a line of many words costs its length, not its length squared.
std::vector<std::string> SplitWords(std::string_view text);

// Reads a signed 32-bit integer: optional blanks and sign, then decimal digits or
// hexadecimal digits after "$", "x", "X", "0x" or "0X". Returns fallback otherwise.
int32_t ReadInteger(std::string_view text, int32_t fallback = 0);

// Same rule; false when the text is not a valid integer.
bool TryReadInteger(std::string_view text, int32_t& value);

// ---- Text tables --------------------------------------------------------------------
// One shared box-drawn table: a caller gives the title, optionally a header row, then the
// data rows, and prints it before any other caller starts one.

enum class Align : uint8_t { RIGHT, LEFT };

// Code page 437 box-drawing bytes shared by the tables, the perft tables, the message box and
// the board frame.
inline constexpr char BOX_VERTICAL = '\xB3';      // │
inline constexpr char BOX_HORIZONTAL = '\xC4';    // ─
inline constexpr char BOX_TOP_LEFT = '\xDA';      // ┌
inline constexpr char BOX_TOP_RIGHT = '\xBF';     // ┐
inline constexpr char BOX_BOTTOM_LEFT = '\xC0';   // └
inline constexpr char BOX_BOTTOM_RIGHT = '\xD9';  // ┘
inline constexpr char BOX_TEE_RIGHT = '\xC3';     // ├
inline constexpr char BOX_TEE_LEFT = '\xB4';      // ┤
inline constexpr char BOX_TEE_DOWN = '\xC2';      // ┬
inline constexpr char BOX_TEE_UP = '\xC1';        // ┴
inline constexpr char BOX_CROSS = '\xC5';         // ┼

inline constexpr int TABLE_MAX_COLUMNS = 20;  // further columns are dropped

// Starts a table: the title and one alignment per column (the column count).
void TableTitle(std::string_view title, const std::vector<Align>& alignment);

// Adds the header row; it is drawn left-aligned under the title, with its own separator.
void TableHeader(const std::vector<std::string>& cells);

// Adds a data row; missing cells are empty, cells beyond the column count are dropped.
void TableRow(const std::vector<std::string>& cells);

// Prints the table (frame lines end in LF, row lines in CR LF) and empties it.
void PrintTable();

// Empties the table without printing it.
void ClearTable();

// A frame line: the left end, each width's run of BOX_HORIZONTAL with the joint between the
// runs, the right end. The tables and the perft tables draw their rules with it.
std::string BoxRule(char left, char joint, char right, std::span<const int> widths);

// Width >= 0: text then blanks up to width; width < 0: blanks up to -width, then text.
std::string PadText(std::string_view text, int width);

// The text in a one-line box of three LF lines, in the logo colour when coloured.
void ShowMessageBox(std::string_view text, bool coloured);
