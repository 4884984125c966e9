// Tokens and numbers as the interpreter, the settings file and the FEN reader read them.
#include <gtest/gtest.h>

#include "console/console.h"

namespace {

TEST(NextToken, SplitsAtBlanksAndCollapsesRuns) {
  std::string rest = "  go   de\tpth\t 5   ";
  EXPECT_EQ(NextToken(rest), "go");
  EXPECT_EQ(rest, "de\tpth\t 5");
  EXPECT_EQ(NextToken(rest), "de\tpth");  // a tab inside is part of the word; at its end it is trimmed
  EXPECT_EQ(NextToken(rest), "5");
  EXPECT_EQ(rest, "");
  EXPECT_EQ(NextToken(rest), "");
}

TEST(NextToken, OtherSeparatorsKeepBlanks) {
  std::string rest = " hash size = 64  x ";
  EXPECT_EQ(NextToken(rest, '='), "hash size");
  EXPECT_EQ(rest, "64  x");
  rest = "FOO";
  EXPECT_EQ(NextToken(rest, '='), "FOO");
  EXPECT_EQ(rest, "");
}

TEST(SplitWords, TakesTheWordsNextTokenWouldTake) {
  for (std::string text : {"", "   ", "go", "  go   de\tpth\t 5   ", "a \t b", "a\x01 \x01b\x01  c", "\t\t x \r"}) {
    std::vector<std::string> expected;
    for (std::string rest = Trim(text); !rest.empty();) expected.push_back(NextToken(rest));
    EXPECT_EQ(SplitWords(text), expected) << '"' << text << '"';
  }
}

TEST(ReadInteger, DecimalWithSignAndLeadingBlanks) {
  EXPECT_EQ(ReadInteger("42"), 42);
  EXPECT_EQ(ReadInteger("  -17"), -17);
  EXPECT_EQ(ReadInteger("+8"), 8);
  EXPECT_EQ(ReadInteger("2147483647"), 2147483647);
  EXPECT_EQ(ReadInteger("-2147483648"), INT32_MIN);
}

TEST(ReadInteger, HexadecimalPrefixes) {
  EXPECT_EQ(ReadInteger("$ff"), 255);
  EXPECT_EQ(ReadInteger("x10"), 16);
  EXPECT_EQ(ReadInteger("X1A"), 26);
  EXPECT_EQ(ReadInteger("0x7FFFFFFF"), INT32_MAX);
  EXPECT_EQ(ReadInteger("-0x10"), -16);
}

TEST(ReadInteger, InvalidTextTakesTheDefault) {
  for (const char* text : {"", " ", "-", "+", "$", "0x", "12a", "1 2", "3.5", "2147483648", "-2147483649",
                           "99999999999999999999", "$100000000", "0xg", "--1", "\t5"})
    EXPECT_EQ(ReadInteger(text, -99), -99) << '"' << text << '"';
}

}  // namespace
