list(APPEND VORLIX_CORE_SOURCES
  platform/Exceptions.cpp
  platform/SysUtils.cpp
  platform/Streams.cpp
  platform/Palettes.cpp
  platform/Bitmap.cpp
  platform/BitmapConvert.cpp
  platform/BitmapDraw.cpp
  platform/BmpCodec.cpp
  platform/Graphics.cpp
  platform/PlatformGraphics.cpp
  platform/SystemInfo.cpp
  platform/ShellIcons.cpp
  platform/ProgramPlaces.cpp
  platform/SafeFileWriter.cpp
  platform/CodePages.cpp
)
list(APPEND VORLIX_CORE_SOURCES
  platform/IniService.cpp
)
