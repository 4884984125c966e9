# Tests of the tools room.
list(APPEND UNIT_TESTS tools/perft_test.cpp)
