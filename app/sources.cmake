list(APPEND VORLIX_CORE_SOURCES
  app/EvalThroughput.cpp
  app/SizeCoupling.cpp
  app/TestCard.cpp
  app/FormatType.cpp
  app/StartUp.cpp
)
