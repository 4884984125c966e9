list(APPEND UNIT_TESTS shell/settings_test.cpp)
list(APPEND UNIT_TESTS shell/view_test.cpp)
