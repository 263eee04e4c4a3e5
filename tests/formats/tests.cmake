vorlix_add_test_program(vorlix_formats_tests
  formats/FormatRegistryTest.cpp
  formats/GIFImageTest.cpp
  formats/PNGImageTest.cpp
  formats/PNMImageTest.cpp
  formats/FuzzFindingsTest.cpp
)
