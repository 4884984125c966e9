# Tests of the board room.
list(APPEND UNIT_TESTS board/score_test.cpp board/psq_test.cpp)
