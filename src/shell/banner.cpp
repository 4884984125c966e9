// The banner shown before the help table: the logo, the version line and the bug address.
#include <iterator>
#include <string>
#include <string_view>

#include "console/console.h"
#include "shell/commands.h"

namespace {

constexpr std::string_view Logo[] = {
    "///////////////////////////////////////////////////////////////////////",
    "",
    "##########/   ######/   ##/     ##/ ########/   ##########/ ##/     ##/",
    "##########/   ######/   ##/     ##/ ########/   ##########/ ##/     ##/",
    "    ##/     ##/     ##/ ##/     ##/ ##/     ##/     ##/     ####/   ##/",
    "    ##/     ##/     ##/ ##/     ##/ ##/     ##/     ##/     ####/   ##/",
    "    ##/     ##/     ##/ ##/     ##/ ##/     ##/     ##/     ##/ ##/ ##/",
    "    ##/     ##/     ##/ ##/     ##/ ##/     ##/     ##/     ##/ ##/ ##/",
    "    ##/     ##########/ ##/     ##/ ########/       ##/     ##/   ####/",
    "    ##/     ##########/ ##/     ##/ ########/       ##/     ##/   ####/",
    "    ##/     ##/     ##/   ##/ ##/   ##/ ##/         ##/     ##/     ##/",
    "    ##/     ##/     ##/   ##/ ##/   ##/ ##/         ##/     ##/     ##/",
    "    ##/     ##/     ##/   ##/ ##/   ##/   ##/       ##/     ##/     ##/",
    "    ##/     ##/     ##/   ##/ ##/   ##/   ##/       ##/     ##/     ##/",
    "    ##/     ##/     ##/     ##/     ##/     ##/ ##########/ ##/     ##/",
    "    ##/     ##/     ##/     ##/     ##/     ##/ ##########/ ##/     ##/",
    "     //      //      //      //      //      //  //////////  //      //",
    "",
    "///////////////////////////////////////////////////////////////////////",
};
static_assert(std::size(Logo) == 19);

constexpr std::string_view BUG_ADDRESS = "tavrin-bugs@users.noreply.invalid";

}  // namespace

void ShowBanner() {
  SetTextColour(LOGO_COLOUR);
  WriteLine();
  for (std::string_view line : Logo) WriteLine(line);
  SetTextColour(NORMAL_COLOUR);
  WriteLine();
  WriteLine();
  WriteLine(VersionLine());
  WriteLine();
  WriteLine("Please report any bug to: " + std::string(BUG_ADDRESS));
  WriteLine();
}
