// What the EPD suites share: the prompts for the file, a number and the next position, which
// read their answers from standard input, and the board view they show each position with.
#include "tools/epd.h"

#include "console/console.h"
#include "platform/platform.h"
#include "tools/tools.h"

void (*BoardViewHook)() = nullptr;

namespace {

bool EndsWithIgnoringCase(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && ToLower(text.substr(text.size() - end.size())) == ToLower(end);
}

// Asks until the answer names an existing file (the extension may be left out); empty when
// the user gives up. Names are kept as typed: the file system tells letter cases apart.
std::string AskEpdFile(std::string_view prompt, std::string_view ext) {
  std::string dotExt = "." + std::string(ext);
  for (;;) {
    PrintText("\r\n" + std::string(prompt) + " (" + dotExt + " is optional) or <ENTER> to abort: ");
    std::string name = Trim(ReadAnswerLine());
    if (name.empty()) return {};
    if (!EndsWithIgnoringCase(name, dotExt)) name += dotExt;
    if (FileExists(name)) return name;
    PrintLine("\r\nError: file \"" + name + "\" not found.");
  }
}

}  // namespace

bool AskEpdLines(std::string_view prompt, std::vector<std::string>& lines) {
  std::string name = AskEpdFile(prompt, "epd");
  return !name.empty() && ReadTextLines(name, lines);
}

int32_t AskNumber(std::string_view prompt, int32_t highest) {
  for (;;) {
    PrintText(prompt);
    std::string answer = ReadAnswerLine();
    if (answer.empty()) return 0;
    int32_t value = 0;
    if (TryReadInteger(answer, value) && 1 <= value && value <= highest) return value;
  }
}

bool AskToFinish() {
  ShowMessageBox("Press <Enter> (Q to finish)", false);
  return ToLower(ReadAnswerLine()) == "q";
}

void ShowSuitePosition() {
  if (BoardViewHook) BoardViewHook();
}
