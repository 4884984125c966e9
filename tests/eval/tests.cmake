# Tests of the eval room.
list(APPEND UNIT_TESTS eval/evaluate_test.cpp)
