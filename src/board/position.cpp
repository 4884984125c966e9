// The one position every room reads. Only the FEN set-up (fen.cpp) and the move operations
// (makemove.cpp) write it; its accessors are inline in board.h.
#include "board/board.h"

PositionRecord Position;
