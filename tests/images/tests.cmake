vorlix_add_test_program(vorlix_images_tests
  images/ColorSpaceTest.cpp
  images/commonColorTest.cpp
)
