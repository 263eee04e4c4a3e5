set(VORLIX_CLI_SOURCES
  cli/main.cpp
)
