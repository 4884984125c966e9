# Tests of the board room.
list(APPEND UNIT_TESTS board/psq_test.cpp)
list(APPEND UNIT_TESTS board/attacks_test.cpp board/position_test.cpp board/fen_test.cpp board/keys_test.cpp)

# The attack tests once more against the multiply-and-shift lookup of builds without BMI2.
add_executable(tavrin_magic_tests board/attacks_test.cpp ${CMAKE_SOURCE_DIR}/src/board/attacks.cpp)
target_include_directories(tavrin_magic_tests PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_compile_options(tavrin_magic_tests PRIVATE ${TAVRIN_ARCH_FLAGS} -mno-bmi2)
target_link_libraries(tavrin_magic_tests PRIVATE GTest::gtest_main)
gtest_discover_tests(tavrin_magic_tests TEST_PREFIX magic. PROPERTIES LABELS unit DISCOVERY_TIMEOUT 60)

# R11.bin is reproducible from its generator.
add_executable(make_keys ${CMAKE_SOURCE_DIR}/resources/make_keys.cpp)
add_test(NAME R11.RegeneratesByteForByte
         COMMAND ${CMAKE_COMMAND} -DGENERATOR=$<TARGET_FILE:make_keys> -DOUT=${CMAKE_CURRENT_BINARY_DIR}/R11.regenerated.bin
                 -DEXPECTED=${CMAKE_SOURCE_DIR}/resources/R11.bin -P ${CMAKE_CURRENT_SOURCE_DIR}/board/regenerate_r11.cmake)
set_tests_properties(R11.RegeneratesByteForByte PROPERTIES LABELS unit)
list(APPEND UNIT_TESTS board/perft_test.cpp)
list(APPEND SLOW_TESTS board/perft_slow_test.cpp)
list(APPEND UNIT_TESTS board/notation_test.cpp board/moveinput_test.cpp)
list(APPEND UNIT_TESTS board/movegen_test.cpp)
list(APPEND UNIT_TESTS board/makemove_test.cpp)
list(APPEND UNIT_TESTS board/see_test.cpp)
list(APPEND UNIT_TESTS board/double_check_test.cpp)
