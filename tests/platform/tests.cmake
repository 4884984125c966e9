list(APPEND UNIT_TESTS platform/platform_test.cpp)
