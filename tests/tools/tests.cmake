# Tests of the tools room.
list(APPEND UNIT_TESTS tools/perft_test.cpp)
list(APPEND UNIT_TESTS tools/bench_test.cpp tools/testsuite_test.cpp)
list(APPEND UNIT_TESTS tools/epd_lines_test.cpp)
