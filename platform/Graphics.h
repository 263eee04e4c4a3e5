#pragma once
// The abstract picture class, the class descriptors that stand in for
// virtual constructors, the shared data holder and the picture holder with
// its process-wide registry of file formats.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TBitmap;
class TGraphic;
class TStream;

// 0x00BBGGRR, as the platform's colour values.
using TColor = uint32_t;
constexpr TColor RGBColor(uint8_t r, uint8_t g, uint8_t b) {
    return uint32_t{r} | (uint32_t{g} << 8) | (uint32_t{b} << 16);
}
constexpr uint8_t GetRValue(TColor c) { return static_cast<uint8_t>(c); }
constexpr uint8_t GetGValue(TColor c) { return static_cast<uint8_t>(c >> 8); }
constexpr uint8_t GetBValue(TColor c) { return static_cast<uint8_t>(c >> 16); }
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clBtnFace = RGBColor(240, 240, 240);

struct TPaletteEntry {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
    uint8_t Flags = 0;
    friend bool operator==(const TPaletteEntry&, const TPaletteEntry&) = default;
};
using TPalette = std::vector<TPaletteEntry>;

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};
inline TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }

// Identity of a graphic class: its name, its parent and how to make one.
struct TGraphicClass {
    const char* Name;
    const TGraphicClass* Parent;
    std::unique_ptr<TGraphic> (*Create)();
    bool InheritsFrom(const TGraphicClass& other) const;
};

// Declares the class-identity members inside a TGraphic subclass.
#define VORLIX_GRAPHIC_CLASS()                          \
public:                                                 \
    static const TGraphicClass& StaticClass();          \
    const TGraphicClass& ClassType() const override

// Defines them; Parent is the direct base class.
#define VORLIX_DEFINE_GRAPHIC_CLASS(Class, Parent)                                              \
    const TGraphicClass& Class::StaticClass() {                                                 \
        static const TGraphicClass info{#Class, &Parent::StaticClass(),                         \
                                        []() -> std::unique_ptr<TGraphic> {                     \
                                            return std::make_unique<Class>();                   \
                                        }};                                                     \
        return info;                                                                            \
    }                                                                                           \
    const TGraphicClass& Class::ClassType() const { return StaticClass(); }

enum class TProgressStage { psStarting, psRunning, psEnding };
using TProgressEvent = std::function<void(TGraphic& sender, TProgressStage stage, uint8_t percentDone)>;

class TGraphic {
public:
    TGraphic() = default;
    TGraphic(const TGraphic&) = default;
    TGraphic& operator=(const TGraphic&) = default;
    virtual ~TGraphic() = default;

    static const TGraphicClass& StaticClass();
    virtual const TGraphicClass& ClassType() const = 0;
    bool InheritsFrom(const TGraphicClass& cls) const { return ClassType().InheritsFrom(cls); }

    // Hands this picture to dest; the base raises EConvertError.
    virtual void AssignTo(TGraphic& dest) const;
    // Takes source's picture; the base asks source to AssignTo this.
    virtual void Assign(const TGraphic& source);
    // Draws the picture stretched into rect of canvas.
    virtual void Draw(TBitmap& canvas, const TRect& rect) const = 0;
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual TPalette Palette() const { return {}; }
    virtual void SetPalette(const TPalette&) {}
    virtual bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool value) { transparent_ = value; }
    virtual void SetWidth(int width) = 0;
    virtual void SetHeight(int height) = 0;
    virtual void SetSize(int width, int height);
    // Property-stream form: a 32-bit byte count, then the file bytes.
    virtual void ReadData(TStream& stream);
    virtual void WriteData(TStream& stream) const;
    // Opens the file for reading and decodes it with LoadFromStream.
    virtual void LoadFromFile(const std::string& fileName);
    // Encodes into a temporary file beside fileName and renames it into
    // place, so a failure leaves any existing file untouched.
    virtual void SaveToFile(const std::string& fileName) const;
    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) const = 0;
    // What the last load could not show although it succeeded (a file that
    // ends early, say), for the caller to pass on to the user; empty when
    // the whole picture was read.
    virtual std::string LoadWarning() const { return {}; }

    TProgressEvent OnProgress;

protected:
    void Progress(TProgressStage stage, uint8_t percentDone) {
        if (OnProgress) OnProgress(*this, stage, percentDone);
    }

private:
    bool transparent_ = false;
};

// Reference-counted data holder behind a format class; shared_ptr does the
// counting. Stream optionally keeps the raw file.
class TSharedImage {
public:
    virtual ~TSharedImage() = default;
    virtual void FreeHandle() {}
    std::unique_ptr<TStream> Stream;
};

struct TFileFormat {
    std::string Extension;  // lower case, without the dot
    std::string Description;
    int DescriptionResource = 0;
    const TGraphicClass* GraphicClass = nullptr;
};

class TPicture {
public:
    TPicture() = default;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    static void RegisterFileFormat(const std::string& extension, const std::string& description,
                                   const TGraphicClass& graphicClass);
    static void UnregisterGraphicClass(const TGraphicClass& graphicClass);
    // The class for an extension (with or without the dot, any case), the
    // latest registration first; nullptr when none.
    static const TGraphicClass* FindGraphicClass(const std::string& extension);
    // The registry in registration order.
    static std::vector<TFileFormat> FileFormats();

    // Picks the class by the file's extension and decodes the file. On
    // failure the previous graphic stays.
    void LoadFromFile(const std::string& fileName);
    TGraphic* Graphic() const { return graphic_.get(); }
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    int Width() const;
    int Height() const;

    std::function<void(TPicture&)> OnChange;
    TProgressEvent OnProgress;

private:
    std::unique_ptr<TGraphic> graphic_;
};
