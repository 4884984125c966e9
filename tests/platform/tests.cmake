list(APPEND UNIT_TESTS platform/platform_test.cpp)
if(NOT WIN32)
  list(APPEND UNIT_TESTS platform/colours_test.cpp)
endif()
