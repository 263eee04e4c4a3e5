vorlix_add_test_program(vorlix_lang_tests
  lang/MemIniFileTest.cpp
  lang/IniLangExTest.cpp
  lang/FormatTypeTest.cpp
)
