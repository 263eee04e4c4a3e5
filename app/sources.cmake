list(APPEND VORLIX_CORE_SOURCES
  app/ComLineEX.cpp
  app/EvalThroughput.cpp
  app/FormatType.cpp
  app/Settings.cpp
  app/SizeCoupling.cpp
  app/TestCard.cpp
)
