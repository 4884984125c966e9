list(APPEND UNIT_TESTS console/text_test.cpp)
