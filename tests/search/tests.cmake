# Tests of the search room.
list(APPEND UNIT_TESTS search/tt_test.cpp search/time_test.cpp)
list(APPEND UNIT_TESTS search/picker_test.cpp)
list(APPEND UNIT_TESTS search/tables_test.cpp)
list(APPEND UNIT_TESTS search/mate_test.cpp)
