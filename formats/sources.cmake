list(APPEND VORLIX_CORE_SOURCES
  formats/FormatImage.cpp
  formats/FormatRegistry.cpp
  formats/GIFImage.cpp
  formats/GLDPNGImage.cpp
  formats/PNMImage.cpp
  formats/PCDImage.cpp
  formats/ILBMImage.cpp
  formats/YPICImage.cpp
  formats/RawImage.cpp
  formats/VideoDecoder.cpp
  formats/MPEGImage.cpp
  formats/AVIImage.cpp
)
