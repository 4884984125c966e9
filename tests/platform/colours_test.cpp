// Colours on an ANSI terminal: which codes the environment allows, and how the console's
// sixteen colours are written in each.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"

namespace {

constexpr TerminalColours NONE = TerminalColours::NONE;
constexpr TerminalColours STANDARD = TerminalColours::STANDARD_16;
constexpr TerminalColours PALETTE = TerminalColours::PALETTE_256;
constexpr TerminalColours TRUE_COLOUR = TerminalColours::TRUE_COLOUR;

TEST(TerminalColours, ChosenFromTheEnvironment) {
  EXPECT_EQ(ChooseTerminalColours(false, "xterm-256color", "truecolor", nullptr), NONE);  // pipe or file
  EXPECT_EQ(ChooseTerminalColours(true, "dumb", "truecolor", nullptr), NONE);
  EXPECT_EQ(ChooseTerminalColours(true, "xterm", nullptr, "1"), NONE);
  EXPECT_EQ(ChooseTerminalColours(true, "xterm", nullptr, ""), STANDARD);  // an empty NO_COLOR does not count
  EXPECT_EQ(ChooseTerminalColours(true, nullptr, nullptr, nullptr), STANDARD);
  EXPECT_EQ(ChooseTerminalColours(true, "tmux-256color", "yes", nullptr), PALETTE);
  EXPECT_EQ(ChooseTerminalColours(true, "xterm-256color", "24bit", nullptr), TRUE_COLOUR);
  EXPECT_EQ(ChooseTerminalColours(true, "xterm", "truecolor", nullptr), TRUE_COLOUR);
}

TEST(TerminalColours, ConsoleColoursKeepTheirLook) {
  // White pieces on light squares: bright white on light grey stays apart in the richer modes.
  EXPECT_EQ(AttributeEscape(0x7F, STANDARD), "\x1b[0;97;47m");
  EXPECT_EQ(AttributeEscape(0x7F, PALETTE), "\x1b[0;38;5;231;48;5;250m");
  EXPECT_EQ(AttributeEscape(0x7F, TRUE_COLOUR), "\x1b[0;38;2;255;255;255;48;2;192;192;192m");
  EXPECT_EQ(AttributeEscape(0x6F, TRUE_COLOUR), "\x1b[0;38;2;255;255;255;48;2;128;128;0m");
  EXPECT_EQ(AttributeEscape(0xF5, STANDARD), "\x1b[0;35;107m");
  EXPECT_EQ(AttributeEscape(0x0B, STANDARD), "\x1b[0;96;40m");
  EXPECT_EQ(AttributeEscape(0x7F, NONE), "");
  // Nearest entries of the fixed cube and grey ramp, worked out by hand for all sixteen.
  constexpr int Nearest[16] = {16, 18, 28, 30, 88, 90, 100, 250, 244, 21, 46, 51, 196, 201, 226, 231};
  for (int colour = 0; colour < 16; ++colour)
    EXPECT_EQ(AttributeEscape(static_cast<uint8_t>(colour), PALETTE),
              "\x1b[0;38;5;" + std::to_string(Nearest[colour]) + ";48;5;16m")
        << colour;
}

}  // namespace
