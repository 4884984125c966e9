// Console colours on an ANSI terminal, drawn as the Windows console shows them.
#include <array>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace {

struct Rgb {
  int Red, Green, Blue;
};

// The classic Windows console palette, indexed by the attribute's 4-bit colour (blue=1,
// green=2, red=4, intensity=8). Terminals draw their own 16 colours differently: most show
// bright white and light grey almost alike, which hides the white pieces on light squares.
constexpr Rgb ConsolePalette[16] = {
    {0, 0, 0},     {0, 0, 128},     {0, 128, 0},     {0, 128, 128},   {128, 0, 0}, {128, 0, 128},
    {128, 128, 0}, {192, 192, 192}, {128, 128, 128}, {0, 0, 255},     {0, 255, 0}, {0, 255, 255},
    {255, 0, 0},   {255, 0, 255},   {255, 255, 0},   {255, 255, 255},
};

// The xterm 256-colour entries from 16 on: a 6x6x6 cube, then 24 greys. Entries 0..15 are
// left out because terminals theme them, which is the very thing to avoid.
constexpr int CubeLevel[6] = {0, 95, 135, 175, 215, 255};

constexpr Rgb XtermColour(int index) {
  if (index >= 232) {
    int grey = 8 + 10 * (index - 232);
    return {grey, grey, grey};
  }
  int cube = index - 16;
  return {CubeLevel[cube / 36], CubeLevel[cube / 6 % 6], CubeLevel[cube % 6]};
}

constexpr int NearestXtermColour(Rgb colour) {
  int best = 16;
  int bestDistance = 1 << 30;
  for (int index = 16; index < 256; ++index) {
    Rgb entry = XtermColour(index);
    int red = entry.Red - colour.Red, green = entry.Green - colour.Green, blue = entry.Blue - colour.Blue;
    int distance = red * red + green * green + blue * blue;
    if (distance < bestDistance) {
      best = index;
      bestDistance = distance;
    }
  }
  return best;
}

constexpr std::array<int, 16> ConsoleXtermColour = [] {
  std::array<int, 16> nearest{};
  for (int colour = 0; colour < 16; ++colour) nearest[colour] = NearestXtermColour(ConsolePalette[colour]);
  return nearest;
}();

// Console colour bits are blue=1, green=2, red=4; ANSI numbers them red=1, green=2, blue=4.
constexpr int AnsiColour(int colour) { return ((colour & 1) << 2) | (colour & 2) | ((colour & 4) >> 2); }

// One colour as SGR parameters; foreground is 30/38, background 40/48.
std::string ColourParameters(int colour, bool background, TerminalColours mode) {
  int base = background ? 40 : 30;
  switch (mode) {
    case TerminalColours::TRUE_COLOUR: {
      Rgb rgb = ConsolePalette[colour];
      return std::to_string(base + 8) + ";2;" + std::to_string(rgb.Red) + ";" + std::to_string(rgb.Green) + ";" +
             std::to_string(rgb.Blue);
    }
    case TerminalColours::PALETTE_256:
      return std::to_string(base + 8) + ";5;" + std::to_string(ConsoleXtermColour[colour]);
    default:
      return std::to_string((colour & 8 ? base + 60 : base) + AnsiColour(colour));
  }
}

}  // namespace

TerminalColours ChooseTerminalColours(bool isTerminal, const char* term, const char* colorTerm, const char* noColor) {
  std::string_view termName = term ? term : "";
  if (!isTerminal || termName == "dumb" || (noColor && *noColor)) return TerminalColours::NONE;
  std::string_view colorTermName = colorTerm ? colorTerm : "";
  if (colorTermName == "truecolor" || colorTermName == "24bit") return TerminalColours::TRUE_COLOUR;
  if (termName.ends_with("256color")) return TerminalColours::PALETTE_256;
  return TerminalColours::STANDARD_16;
}

std::string AttributeEscape(uint8_t attribute, TerminalColours mode) {
  if (mode == TerminalColours::NONE) return {};
  return "\x1b[0;" + ColourParameters(attribute & 0x0F, false, mode) + ";" +
         ColourParameters(attribute >> 4, true, mode) + "m";
}
