#pragma once
// The shell room's front door: the engine's start-up, the command interpreter and the
// console's idle loop, the settings file and the board view.

#include <string>

// The start-up tables in dependency order (attacks, piece-square table, history tables, hash
// keys, search tables), then the start position; installs the board view for the EPD suites.
void InitEngine();

// Interprets one trimmed input line: UCI and console commands, else a move.
void ExecuteCommand(const std::string& line);

// The idle loop of console mode: starts a new game, then executes one complete input
// line at a time until "quit" or "q", or until input ends.
void CommandLoop();

// Reads "Tavrin.ini" from the working directory, if there is one, into Settings.
void LoadSettings();

// The board diagram of Position with its statistics (ply, static evaluation, hash).
void ShowBoard();
