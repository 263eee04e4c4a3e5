list(APPEND VORLIX_CORE_SOURCES
  formats/FormatImage.cpp
  formats/FormatRegistry.cpp
  formats/GIFImage.cpp
  formats/GLDPNGImage.cpp
  formats/PNMImage.cpp
  formats/novTIFFImage.cpp
  formats/TiffTagNodes.cpp
  formats/TiffDecodeUtils.cpp
  formats/PSDImage.cpp
  formats/PSPImage.cpp
)
