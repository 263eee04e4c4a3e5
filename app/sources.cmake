list(APPEND VORLIX_CORE_SOURCES
  app/ComLineEX.cpp
  app/EvalThroughput.cpp
  app/Settings.cpp
  app/SizeCoupling.cpp
)
