# Tests of the search room.
