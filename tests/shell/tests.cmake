list(APPEND UNIT_TESTS shell/settings_test.cpp)
