list(APPEND VORLIX_CORE_SOURCES
  save/JPEGSession.cpp
  save/KestruneFileTypes.cpp
  save/SaveDialogPassport.cpp
  save/ZetJPEGImage.cpp
  save/ZetJPEGCompress.cpp
  save/ZetJPEGSubsampling.cpp
  save/mdFileStream.cpp
  save/mdMemoryStream.cpp
  save/mdJpegInfo.cpp
  save/novExifMania.cpp
  save/AlphaPlane.cpp
  save/PNGGIFWriters.cpp
  save/PNMWriters.cpp
  save/SaveDispatch.cpp
  save/WriterGuard.cpp
)
# The libjpeg call boundary is C, so that only C frames lie between its jump
# points and libjpeg's error exit. It is built on its own because the
# project's warning set carries C++-only options.
add_library(vorlix_jpeg_boundary OBJECT save/JPEGBoundary.c)
set_target_properties(vorlix_jpeg_boundary PROPERTIES C_STANDARD 11 C_STANDARD_REQUIRED ON C_EXTENSIONS OFF)
target_sources(vorlix_jpeg_boundary PRIVATE save/JPEGCoefficients.c)
target_include_directories(vorlix_jpeg_boundary PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_options(vorlix_jpeg_boundary PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wcast-align -Wformat=2)
target_link_libraries(vorlix_jpeg_boundary PRIVATE JPEG::JPEG)
list(APPEND VORLIX_CORE_SOURCES $<TARGET_OBJECTS:vorlix_jpeg_boundary>)
