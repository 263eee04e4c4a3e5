list(APPEND VORLIX_CORE_SOURCES
  save/KestruneFileTypes.cpp
)
