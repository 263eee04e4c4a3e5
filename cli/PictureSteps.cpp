#include "cli/PictureSteps.h"

#include "cli/Commands.h"
#include "platform/Exceptions.h"

CliPicture ReadInput(const std::string& fileName) {
    try {
        return ReadPicture(fileName);
    } catch (const Exception& e) {
        throw FileError(fileName, e.Message());
    }
}

void WriteOutput(const CliPicture& picture, const std::string& fileName) {
    try {
        WritePicture(picture, fileName);
    } catch (const Exception& e) {
        throw FileError(fileName, e.Message());
    }
}
