vorlix_add_test_program(vorlix_formats_tests
  formats/GIFImageTest.cpp
  formats/PNGImageTest.cpp
  formats/PNMImageTest.cpp
)
