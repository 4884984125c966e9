# Tests of the tuning tools (tune/); the unit binary links their libraries. The fit is built
# for this system only.
list(APPEND UNIT_TESTS tune/book_test.cpp tune/selfplay_test.cpp)
if(NOT WIN32)
  list(APPEND UNIT_TESTS tune/fit_test.cpp)
endif()
