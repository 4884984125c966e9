#pragma once
// The command interpreter and the console's idle loop.

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

// ---- Console commands ----------------------------------------------------------------------

// "z": asks for a middle-game and an endgame score and prints their packed 32-bit pair.
void PackScorePair();

// "setboard": sets up the FEN (reporting a rejected one) and shows the board when it was taken.
void SetBoardCommand(const std::string& fen);

// "kiwi": sets up the Kiwipete position, names it in a box and shows the board.
void SetKiwipete();

// "new": a new game; the board is shown to a person at a terminal.
void StartNewGame();

// "fen": the FEN of the current position in a one-column table.
void PrintFen();

// "move": thinks for the default move time (a non-empty argument replaces that default for
// good), plays the best move and shows the board.
void ThinkAndPlay(const std::string& seconds);

// "help": the GO COMMAND table when the topic is "go", else the banner and the COMMANDS table.
void ShowHelp(const std::string& topic);

// The logo, the version line and where to report bugs.
void ShowBanner();

// "list": every legal move with its coordinate text, SAN and one-ply score, best first.
void ListLegalMoves();
