list(APPEND E2E_TESTS e2e/uci_test.cpp e2e/cli_test.cpp)
list(APPEND E2E_TESTS e2e/settings_test.cpp)
