vorlix_add_test_program(vorlix_formats_tests
  formats/PNMImageTest.cpp
)
