# Tests of the board room.
