list(APPEND UNIT_TESTS console/text_test.cpp)
list(APPEND UNIT_TESTS console/format_test.cpp)
list(APPEND UNIT_TESTS console/table_test.cpp)
