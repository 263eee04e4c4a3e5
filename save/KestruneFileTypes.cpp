#include "save/KestruneFileTypes.h"

const std::array<TKestruneFileTypeInfo, 11> SaveFileTypeTable = {{
    {"JPEG", "", "*.jpg", true, sftJPG},
    {"PNG", "", "*.png", true, sftPNG},
    {"Bitmap", "", "*.bmp", false, sftBMP},
    {"GIF", "", "*.gif", true, sftGIF},
    {"Targa", "", "*.tga", true, sftTGA},
    {"SGI", "", "*.sgi", false, sftSGI},
    {"ZSoft Paintbrush", "", "*.pcx", false, sftPCX},
    {"Portable pixelmap", "", "*.ppm", false, sftPPM},
    {"Portable graymap", "", "*.pgm", false, sftPGM},
    {"Portable bitmap", "", "*.pbm", false, sftPBM},
    {"MAG", "", "*.mag", false, sftMAG},
}};
