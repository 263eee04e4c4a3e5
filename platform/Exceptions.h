#pragma once
// The exception classes every unit raises. Messages are the short texts the
// user sees in the error box, so they are carried verbatim.

#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }

private:
    std::string message_;
};

#define VORLIX_DECLARE_EXCEPTION(Name, Base)         \
    class Name : public Base {                        \
    public:                                           \
        using Base::Base;                             \
    }

VORLIX_DECLARE_EXCEPTION(EInvalidGraphic, Exception);
VORLIX_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception);
VORLIX_DECLARE_EXCEPTION(EJPEG, EInvalidGraphic);
VORLIX_DECLARE_EXCEPTION(EMagError, Exception);
VORLIX_DECLARE_EXCEPTION(EConvertError, Exception);
VORLIX_DECLARE_EXCEPTION(EZeroDivide, Exception);
VORLIX_DECLARE_EXCEPTION(EOutOfMemory, Exception);
VORLIX_DECLARE_EXCEPTION(EStreamError, Exception);
VORLIX_DECLARE_EXCEPTION(EReadError, EStreamError);
VORLIX_DECLARE_EXCEPTION(EWriteError, EStreamError);
VORLIX_DECLARE_EXCEPTION(EFOpenError, EStreamError);
VORLIX_DECLARE_EXCEPTION(EFCreateError, EStreamError);
VORLIX_DECLARE_EXCEPTION(EIniFileException, Exception);
// The silent exception: a handler raises it to stop an operation quietly.
VORLIX_DECLARE_EXCEPTION(EAbort, Exception);

// Default texts of the platform's own errors.
namespace PlatformMessages {
inline constexpr const char* ZeroDivide = "Floating point division by zero";
inline constexpr const char* OutOfMemory = "Out of memory";
inline constexpr const char* ReadError = "Stream read error";
inline constexpr const char* WriteError = "Stream write error";
// The platform's localised texts, as the desktop program shows them, and
// their English forms for the command line (see SetEnglishPlatformTexts).
inline constexpr const char* InvalidInteger = "'%s' は整数ではありません";
inline constexpr const char* UnknownExtension = "拡張子 .%s の画像形式は処理できません";
inline constexpr const char* InvalidIntegerEnglish = "'%s' is not a valid integer value";
inline constexpr const char* UnknownExtensionEnglish = "Unknown picture file extension (.%s)";
inline constexpr const char* InvalidBitmap = "Bitmap image is not valid";
inline constexpr const char* CannotAssign = "Cannot assign a %s to a %s";
inline constexpr const char* FileOpen = "Cannot open file \"%s\". %s";
inline constexpr const char* FileCreate = "Cannot create file \"%s\". %s";
}  // namespace PlatformMessages

// Which form of the localised platform texts the process raises: the
// desktop program's own (the default) or English, which the command line
// asks for so that all its messages are in one language.
void SetEnglishPlatformTexts(bool english);
bool EnglishPlatformTexts();
