vorlix_add_test_program(vorlix_lang_tests
  lang/MemIniFileTest.cpp
  lang/IniLangExTest.cpp
  lang/FormatTypeTest.cpp
  lang/LanguageFilesTest.cpp
)
target_compile_definitions(vorlix_lang_tests PRIVATE
  VORLIX_LANGUAGE_SOURCE_DIR="${VORLIX_LANGUAGE_SOURCE_DIR}"
  VORLIX_LANGUAGE_DIR="${VORLIX_LANGUAGE_DIR}")
add_dependencies(vorlix_lang_tests vorlix_language_files)
