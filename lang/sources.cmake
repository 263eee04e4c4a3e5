list(APPEND VORLIX_CORE_SOURCES
  lang/MemIniFile.cpp
  lang/IniLangEx.cpp
  lang/vorlixLangDefault.cpp
)
