list(APPEND VORLIX_CORE_SOURCES
  formats/FormatImage.cpp
  formats/FormatRegistry.cpp
  formats/PNMImage.cpp
)
