# Tests of the shell room.
