#pragma once
// The search room's front door.

#include "search/settings.h"

// The game reset: start position, empty table and histories, empty game history.
void NewGame();
