#include "platform/CodePages.h"

#include <iconv.h>

#include <cerrno>

#include "platform/Exceptions.h"
#include "platform/SystemInfo.h"

namespace {

// One conversion descriptor, closed on every path.
class Converter {
public:
    Converter(const char* from, const char* to) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw EConvertError(std::string("Unknown code page ") + from + " -> " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts piece; false (and the state reset) when it holds a sequence
    // the other side cannot take.
    bool Append(std::string_view piece, std::string& out) {
        char* in = const_cast<char*>(piece.data());
        size_t inLeft = piece.size();
        char buffer[256];
        while (inLeft > 0) {
            char* outPtr = buffer;
            size_t outLeft = sizeof buffer;
            const size_t done = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer, sizeof buffer - outLeft);
            if (done == static_cast<size_t>(-1) && errno != E2BIG) {
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
                return false;
            }
        }
        return true;
    }

private:
    iconv_t cd_;
};

// Splits text into the units conversion can fail on: single bytes of an
// 8-bit code page (double-byte leads of CP932 keep their trail byte), or
// whole UTF-8 sequences.
size_t UnitLength(std::string_view text, size_t at, bool utf8, bool doubleByte) {
    const auto lead = static_cast<unsigned char>(text[at]);
    size_t length = 1;
    if (utf8) {
        while (at + length < text.size() && (static_cast<unsigned char>(text[at + length]) & 0xC0) == 0x80) ++length;
    } else if (doubleByte && ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) &&
               at + 1 < text.size()) {
        length = 2;
    }
    return length;
}

std::string Convert(std::string_view text, const char* from, const char* to, std::string_view replacement) {
    Converter converter(from, to);
    std::string out;
    out.reserve(text.size() * 2);
    const bool utf8 = std::string_view(from) == "UTF-8";
    const bool doubleByte = std::string_view(from) == "CP932";
    // Whole text first; only a failure walks it unit by unit.
    if (converter.Append(text, out)) return out;
    out.clear();
    for (size_t at = 0; at < text.size();) {
        const size_t length = UnitLength(text, at, utf8, doubleByte);
        if (!converter.Append(text.substr(at, length), out)) out.append(replacement);
        at += length;
    }
    return out;
}

}  // namespace

const char* SystemAnsiCodePage() { return GetDefaultLocaleId() == 1041 ? "CP932" : "CP1252"; }

std::string CodePageToUtf8(std::string_view text, const char* codePage) {
    return Convert(text, codePage, "UTF-8", "\xEF\xBF\xBD");
}

std::string Utf8ToCodePage(std::string_view text, const char* codePage) { return Convert(text, "UTF-8", codePage, "?"); }
