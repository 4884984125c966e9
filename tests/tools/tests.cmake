# Tests of the tools room.
