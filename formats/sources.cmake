list(APPEND VORLIX_CORE_SOURCES
  formats/FormatImage.cpp
  formats/FormatRegistry.cpp
  formats/GIFImage.cpp
  formats/GLDPNGImage.cpp
  formats/PCXImage.cpp
  formats/PNMImage.cpp
  formats/SGIImage.cpp
  formats/TGAImage.cpp
)
