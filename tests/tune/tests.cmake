# Tests of the self-play data generator (tune/); the unit binary links its library.
list(APPEND UNIT_TESTS tune/book_test.cpp tune/selfplay_test.cpp)
