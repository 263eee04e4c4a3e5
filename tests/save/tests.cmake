vorlix_add_test_program(vorlix_save_tests
  save/JPEGTestSupport.h
  save/ZetJPEGImageDecodeTest.cpp
  save/ZetJPEGImageEncodeTest.cpp
  save/ZetJPEGImageTest.cpp
  save/JPEGSessionTest.cpp
  save/KestruneFileTypesTest.cpp
)
