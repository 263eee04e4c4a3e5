vorlix_add_test_program(vorlix_formats_tests
  formats/FormatRegistryTest.cpp
  formats/GIFImageTest.cpp
  formats/PNGImageTest.cpp
  formats/PCXImageTest.cpp
  formats/PNMImageTest.cpp
  formats/RawPCDImageTest.cpp
  formats/ILBMImageTest.cpp
  formats/YPICImageTest.cpp
  formats/VideoImageTest.cpp
  formats/PSDImageTest.cpp
  formats/PSPImageTest.cpp
  formats/TIFFImageTest.cpp
  formats/MagImageTest.cpp
  formats/IconImageTest.cpp
  formats/DcrImageTest.cpp
  formats/SGIImageTest.cpp
  formats/TGAImageTest.cpp
  formats/FuzzFindingsTest.cpp
)
if(TARGET AVIDec)
  target_compile_definitions(vorlix_formats_tests PRIVATE VORLIX_VIDEO_DECODER_DIR="${CMAKE_BINARY_DIR}/")
  add_dependencies(vorlix_formats_tests AVIDec MpegDec)
endif()
