#include "search/state.h"

StackEntry SearchStackEntries[STACK_HIGHEST_PLY - STACK_LOWEST_PLY + 1];
SearchStateRecord SearchState;
