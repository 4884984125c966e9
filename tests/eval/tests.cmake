# Tests of the eval room.
list(APPEND UNIT_TESTS eval/score_test.cpp eval/evaluate_test.cpp)
list(APPEND UNIT_TESTS eval/pawns_test.cpp eval/material_test.cpp)
list(APPEND UNIT_TESTS eval/pieces_test.cpp)
list(APPEND UNIT_TESTS eval/king_test.cpp)
list(APPEND UNIT_TESTS eval/symmetry_test.cpp)
