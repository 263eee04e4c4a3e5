#include "save/MagDcrWriters.h"

#include "formats/DcrImageA.h"
#include "formats/Mag.h"
#include "images/Effector/commonColor.h"
#include "platform/SysUtils.h"

bool SaveAsMAG(TBitmap& picture, const std::string& fileName) {
    try {
        ReduceTo256Colours(picture);
        TMAGImage mag;
        mag.Assign(picture);
        mag.SaveToFile(fileName);
        return true;
    } catch (...) {
        return false;
    }
}

bool SaveAsDCR(TBitmap& picture, const std::string& fileName, const std::string& resourceName) {
    try {
        ReduceTo256Colours(picture);
        TDcrImageA dcr;
        dcr.Assign(picture);
        dcr.SetResourceName(UpperCase(resourceName));
        dcr.SaveToFile(fileName);
        return true;
    } catch (...) {
        return false;
    }
}
