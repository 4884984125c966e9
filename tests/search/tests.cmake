# Tests of the search room.
list(APPEND UNIT_TESTS search/tt_test.cpp search/time_test.cpp)
