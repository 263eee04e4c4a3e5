vorlix_add_test_program(vorlix_platform_tests
  platform/BitmapTest.cpp
  platform/BmpCodecTest.cpp
  platform/StreamsTest.cpp
  platform/GraphicsTest.cpp
  platform/SysUtilsTest.cpp
  platform/IniServiceTest.cpp
)
