list(APPEND E2E_TESTS e2e/uci_test.cpp e2e/cli_test.cpp)
list(APPEND E2E_TESTS e2e/settings_test.cpp)
list(APPEND E2E_TESTS e2e/perft_test.cpp)
list(APPEND E2E_SLOW_TESTS e2e/perft_slow_test.cpp)
