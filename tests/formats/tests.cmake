vorlix_add_test_program(vorlix_formats_tests
  formats/PNGImageTest.cpp
  formats/PNMImageTest.cpp
)
