#pragma once
// The command interpreter and the console's idle loop.

#include <string>

// Interprets one trimmed input line: UCI and console commands, else a move.
void ExecuteCommand(const std::string& line);

// The idle loop of console mode: starts a new game, then executes one complete input
// line at a time until "quit" or "q", or until input ends.
void CommandLoop();

// Reads "Tavrin.ini" from the working directory, if there is one, into Settings.
void LoadSettings();

// The board diagram of Position with its statistics (ply, static evaluation, hash).
void ShowBoard();
