vorlix_add_test_program(vorlix_cli_tests
  cli/CliTest.cpp
)
add_dependencies(vorlix_cli_tests vorlix-cli)
target_compile_definitions(vorlix_cli_tests PRIVATE VORLIX_CLI_PATH="$<TARGET_FILE:vorlix-cli>")
