list(APPEND VORLIX_CORE_SOURCES
  formats/FormatImage.cpp
  formats/FormatRegistry.cpp
  formats/GIFImage.cpp
  formats/GLDPNGImage.cpp
  formats/PNMImage.cpp
  formats/Mag.cpp
  formats/MagTypes.cpp
  formats/IconImageA.cpp
  formats/IconImageB.cpp
  formats/DcrImageA.cpp
)
