#pragma once
// The console commands for a person, each called from its row of the command table (internal to
// the shell).

#include <string>

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
