// The JPEG picture object: its two forms, loading, settings, registration
// and hostile files.

#include <gtest/gtest.h>

#include <jerror.h>

#include <cstring>
#include <random>
#include <string>

#include "formats/FormatRegistry.h"
#include "platform/Exceptions.h"
#include "platform/Palettes.h"
#include "platform/SysUtils.h"
#include "platform/SystemInfo.h"
#include "save/JPEGTestSupport.h"

using namespace jpeg_testing;
using testing_support::Colours;
using testing_support::PpmColours;
using testing_support::ReadFileBytes;

namespace {

void Load(TJPEGImage& jpeg, std::vector<uint8_t> bytes) {
    TMemoryStream stream(std::move(bytes));
    jpeg.LoadFromStream(stream);
}

std::vector<uint8_t> Saved(const TJPEGImage& jpeg) {
    TMemoryStream stream;
    jpeg.SaveToStream(stream);
    return stream.TakeBytes();
}

// The message code first, then libjpeg's own words for it.
std::string JPEGError(int code, const char* text) { return Format("JPEG error #%d: %s", code, text); }

// Offset of the first frame header (SOFn marker) in a JPEG file.
size_t FrameOffset(const std::vector<uint8_t>& file) {
    size_t at = 2;
    while (at + 4 <= file.size()) {
        const uint8_t code = file[at + 1];
        if (code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC) return at;
        at += 2 + (size_t(file[at + 2]) << 8 | file[at + 3]);
    }
    return 0;
}

std::vector<uint8_t> WithSize(std::vector<uint8_t> file, uint16_t width, uint16_t height) {
    const size_t frame = FrameOffset(file);
    file[frame + 5] = uint8_t(height >> 8);
    file[frame + 6] = uint8_t(height);
    file[frame + 7] = uint8_t(width >> 8);
    file[frame + 8] = uint8_t(width);
    return file;
}


// Offset of the last scan header (SOS marker) in a JPEG file.
size_t LastScan(const std::vector<uint8_t>& file) {
    for (size_t at = file.size() - 2; at > 0; --at)
        if (file[at] == 0xFF && file[at + 1] == 0xDA) return at;
    return 0;
}

}  // namespace

// Loading ------------------------------------------------------------------

TEST(JPEGLoad, SkipsAPreambleOfExactly128Bytes) {
    const std::vector<uint8_t> file = ReadFileBytes(Fixture("c420.jpg"));
    for (size_t preamble : {127u, 128u, 129u}) {
        std::vector<uint8_t> bytes(preamble, 0x20);
        bytes.insert(bytes.end(), file.begin(), file.end());
        TJPEGImage jpeg;
        if (preamble == 128) {
            Load(jpeg, bytes);
            EXPECT_EQ(jpeg.Width(), 97);
            EXPECT_EQ(Saved(jpeg), file);  // the preamble is not part of the JPEG
            EXPECT_EQ(Colours(Decoded(jpeg)), PpmColours(Fixture("c420.ppm")));
            continue;
        }
        try {
            Load(jpeg, bytes);
            FAIL() << preamble;
        } catch (const EInvalidGraphic& e) {
            EXPECT_STREQ(e.what(), "TJPEGImage Sig Error");
        }
        EXPECT_TRUE(jpeg.Empty());
        EXPECT_TRUE(Saved(jpeg).empty());
    }
}

TEST(JPEGLoad, CountsFromTheStreamPosition) {
    // A JPEG inside a larger stream, as the container formats hand it over.
    const std::vector<uint8_t> file = ReadFileBytes(Fixture("c420.jpg"));
    for (size_t preamble : {0u, 128u}) {
        std::vector<uint8_t> bytes(300, 0x55);
        bytes.insert(bytes.end(), preamble, 0);
        bytes.insert(bytes.end(), file.begin(), file.end());
        TMemoryStream stream(bytes);
        stream.SetPosition(300);
        TJPEGImage jpeg;
        jpeg.LoadFromStream(stream);
        EXPECT_EQ(Saved(jpeg), file) << preamble;
    }
}

TEST(JPEGLoad, EmptyAndTinyStreams) {
    TJPEGImage jpeg;
    Load(jpeg, {});
    EXPECT_TRUE(jpeg.Empty());
    EXPECT_EQ(jpeg.Width(), 0);
    EXPECT_EQ(Decoded(jpeg).Width(), 0);
    EXPECT_THROW(Load(jpeg, {0xFF}), EInvalidGraphic);
    EXPECT_THROW(Load(jpeg, {0xFF, 0xD9}), EInvalidGraphic);
}

TEST(JPEGLoad, ReadsTheHeaderWithoutDecoding) {
    struct Case {
        const char* file;
        uint8_t scaleShift;
        int width, height;
        bool grayscale, progressive;
    };
    const Case cases[] = {
        {"plain1000x750.jpg", 0, 1000, 750, false, false},
        {"plain1000x750.jpg", 1, 500, 375, false, false},
        {"plain1000x750.jpg", 2, 250, 188, false, false},
        {"plain1000x750.jpg", 3, 125, 94, false, false},
        {"cgrey.jpg", 0, 97, 61, true, false},
        {"cprog.jpg", 2, 25, 16, false, true},
        {"im_prog.jpg", 0, 97, 61, false, true},
    };
    for (const Case& c : cases) {
        TJPEGImage jpeg;
        jpeg.SetScaleShift(c.scaleShift);
        jpeg.LoadFromFile(Fixture(c.file));
        EXPECT_EQ(jpeg.Width(), c.width) << c.file << " " << int(c.scaleShift);
        EXPECT_EQ(jpeg.Height(), c.height) << c.file << " " << int(c.scaleShift);
        EXPECT_EQ(jpeg.Data().Grayscale, c.grayscale) << c.file;
        EXPECT_EQ(jpeg.BitsPerPixel(), c.grayscale ? 8 : 24) << c.file;
        EXPECT_EQ(jpeg.Progressive(), c.progressive) << c.file;
        EXPECT_FALSE(jpeg.HasDecodedPicture());
        EXPECT_FALSE(jpeg.Empty());
    }
}

TEST(JPEGLoad, ThroughTheRegistry) {
    RegisterFormatUnits();
    for (const char* extension : {"jpg", "JPEG", ".jpe"})
        EXPECT_EQ(TPicture::FindGraphicClass(extension), &TJPEGImage::StaticClass()) << extension;
    int entries = 0;
    for (const TFileFormat& format : TPicture::FileFormats())
        if (format.GraphicClass == &TJPEGImage::StaticClass()) {
            EXPECT_EQ(format.Description, "JPEG Image File");
            ++entries;
        }
    EXPECT_EQ(entries, 3);

    TPicture picture;
    picture.LoadFromFile(Fixture("c420.jpg"));
    ASSERT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr);
    TBitmap bitmap;
    bitmap.Assign(*picture.Graphic());
    EXPECT_EQ(Colours(bitmap), PpmColours(Fixture("c420.ppm")));
}

TEST(JPEGLoad, StartUpOnAPaletteDisplayDefaultsToPaletteOutput) {
    const TJPEGDefaults saved = JPEGDefaults;
    UnregisterFormatUnits();
    SetDisplayColourDepth(8);
    RegisterFormatUnits();
    EXPECT_TRUE(TJPEGImage().PaletteOutput());
    TJPEGImage jpeg;
    jpeg.LoadFromFile(Fixture("c420.jpg"));
    EXPECT_EQ(Decoded(jpeg).PixelFormat(), pf8bit);
    SetDisplayColourDepth(std::nullopt);
    JPEGDefaults = saved;
    EXPECT_FALSE(TJPEGImage().PaletteOutput());
}

// The two forms --------------------------------------------------------------

TEST(JPEGForms, AnUnchangedFileIsSavedAsLoaded) {
    const std::vector<uint8_t> file = ReadFileBytes(Fixture("im422.jpg"));
    TJPEGImage jpeg;
    Load(jpeg, file);
    Decoded(jpeg);
    jpeg.SetQuality(20);  // an encoding setting does not touch loaded bytes
    EXPECT_EQ(Saved(jpeg), file);
}

TEST(JPEGForms, AssignedBitmapStaysUntilBytesAreNeeded) {
    const TBitmap picture = LoadPpm("source.ppm");
    TJPEGImage jpeg;
    EXPECT_TRUE(jpeg.Empty());
    jpeg.Assign(picture);
    EXPECT_FALSE(jpeg.Empty());
    EXPECT_EQ(jpeg.Data().Compressed, nullptr);
    EXPECT_EQ(jpeg.Width(), 97);
    EXPECT_EQ(Colours(Decoded(jpeg)), Colours(picture));  // the bitmap itself, not a round trip
    jpeg.Compress();
    ASSERT_NE(jpeg.Data().Compressed, nullptr);
    EXPECT_EQ(Colours(Decoded(jpeg)), Colours(picture));

    TJPEGImage empty;
    empty.Assign(TBitmap());
    EXPECT_TRUE(empty.Empty());
    EXPECT_THROW(empty.Compress(), EJPEG);  // nothing to encode
}

TEST(JPEGForms, CopiesShareTheCompressedForm) {
    TJPEGImage first;
    first.LoadFromFile(Fixture("c420.jpg"));
    Decoded(first);
    TJPEGImage second;
    second.Assign(first);
    EXPECT_TRUE(second.Equals(first));
    EXPECT_TRUE(second.HasDecodedPicture());
    EXPECT_EQ(Saved(second), Saved(first));
    second.Assign(LoadPpm("source.ppm"));
    EXPECT_FALSE(second.Equals(first));
    EXPECT_FALSE(second.Equals(TBitmap()));
}

TEST(JPEGForms, PropertyStreamCarriesTheCompressedBytes) {
    TJPEGImage jpeg;
    jpeg.Assign(LoadPpm("source.ppm"));
    TMemoryStream property;
    jpeg.WriteData(property);
    property.SetPosition(0);
    TJPEGImage copy;
    copy.ReadData(property);
    EXPECT_EQ(Saved(copy), ReadFileBytes(Fixture("enc_q90.jpg")));

    TMemoryStream nothing;
    TJPEGImage().WriteData(nothing);
    EXPECT_EQ(nothing.Bytes(), std::vector<uint8_t>(4, 0));
}

TEST(JPEGForms, HandsThePictureOnlyToBitmaps) {
    TJPEGImage jpeg;
    jpeg.LoadFromFile(Fixture("c420.jpg"));
    TJPEGImage other;
    EXPECT_THROW(jpeg.AssignTo(other), EConvertError);
    TBitmap canvas(97, 61);
    jpeg.Draw(canvas, Rect(0, 0, 97, 61));
    EXPECT_EQ(Colours(canvas), PpmColours(Fixture("c420.ppm")));
}

TEST(JPEGForms, RefusesToChangeSize) {
    TJPEGImage jpeg;
    jpeg.LoadFromFile(Fixture("c420.jpg"));
    for (auto change : {+[](TJPEGImage& j) { j.SetWidth(10); }, +[](TJPEGImage& j) { j.SetHeight(10); },
                        +[](TJPEGImage& j) { j.SetSize(10, 10); }}) {
        try {
            change(jpeg);
            FAIL();
        } catch (const EInvalidGraphicOperation& e) {
            EXPECT_STREQ(e.what(), "Cannot change the size of a JPEG image");
        }
    }
    EXPECT_EQ(jpeg.Width(), 97);
}

// Settings -------------------------------------------------------------------

TEST(JPEGSettings, DefaultsOfANewObject) {
    TJPEGImage jpeg;
    EXPECT_EQ(jpeg.Quality(), 90);
    EXPECT_FALSE(jpeg.Grayscale());
    EXPECT_FALSE(jpeg.FastDecode());
    EXPECT_FALSE(jpeg.PaletteOutput());
    EXPECT_FALSE(jpeg.IncrementalDisplay());
    EXPECT_FALSE(jpeg.Progressive());
    EXPECT_EQ(jpeg.ScaleShift(), 0);
    EXPECT_TRUE(jpeg.BlockSmoothing());
    jpeg.SetScaleShift(7);
    EXPECT_EQ(jpeg.ScaleShift(), 3);
}

TEST(JPEGSettings, DecodingSettersDropTheDecodedPicture) {
    TJPEGImage jpeg;
    int changes = 0;
    jpeg.OnChange = [&](TJPEGImage&) { ++changes; };
    jpeg.LoadFromFile(Fixture("c420.jpg"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(Decoded(jpeg).PixelFormat(), pf24bit);
    changes = 0;
    jpeg.SetGrayscale(true);
    EXPECT_FALSE(jpeg.HasDecodedPicture());
    EXPECT_EQ(changes, 1);
    jpeg.SetGrayscale(true);  // no change, no signal
    EXPECT_EQ(changes, 1);
    ExpectSameIndexedPicture(Decoded(jpeg), LoadBmp("c420_grey.bmp"));
    jpeg.SetGrayscale(false);
    jpeg.SetPaletteOutput(true);
    ExpectSameIndexedPicture(Decoded(jpeg), LoadBmp("c420_pal.bmp"));
    jpeg.SetPaletteOutput(false);
    Decoded(jpeg);
    jpeg.SetScaleShift(1);
    EXPECT_FALSE(jpeg.HasDecodedPicture());
    EXPECT_EQ(Colours(Decoded(jpeg)), PpmColours(Fixture("c420_s2.ppm")));
    jpeg.SetScaleShift(0);
    jpeg.SetFastDecode(true);
    EXPECT_EQ(Colours(Decoded(jpeg)), PpmColours(Fixture("c420_fast.ppm")));
}

TEST(JPEGSettings, AnAssignedPictureSurvivesSettingChanges) {
    // Without compressed bytes the held bitmap is the only copy of the
    // picture; the setting then applies to the encoding.
    TJPEGImage jpeg;
    jpeg.Assign(LoadPpm("source.ppm"));
    jpeg.SetQuality(50);
    jpeg.SetGrayscale(true);
    jpeg.SetPaletteOutput(true);
    jpeg.SetScaleShift(2);
    EXPECT_TRUE(jpeg.HasDecodedPicture());
    EXPECT_EQ(jpeg.Width(), 97);
    EXPECT_EQ(Saved(jpeg), ReadFileBytes(Fixture("enc_q50_grey.jpg")));
}

TEST(JPEGSettings, PaletteOfTheObject) {
    TJPEGImage jpeg;
    jpeg.LoadFromFile(Fixture("c420.jpg"));
    EXPECT_TRUE(jpeg.Palette().empty());
    SetDisplayColourDepth(8);
    EXPECT_EQ(jpeg.Palette(), HalftonePalette256());
    SetDisplayColourDepth(std::nullopt);
    EXPECT_EQ(jpeg.Palette(), HalftonePalette256());  // kept as the own palette

    TJPEGImage quantised;
    quantised.LoadFromFile(Fixture("c420.jpg"));
    quantised.SetPaletteOutput(true);
    EXPECT_TRUE(quantised.Palette().empty());
    const TBitmap decoded = Decoded(quantised);
    EXPECT_EQ(quantised.Palette(), decoded.PaletteEntries());
    EXPECT_EQ(decoded.PaletteEntries().size(), 236u);
    // A new palette drops the picture decoded with another one.
    quantised.SetPalette({{0, 0, 0, 0}, {255, 255, 255, 0}});
    EXPECT_FALSE(quantised.HasDecodedPicture());
    EXPECT_EQ(Decoded(quantised).PaletteEntries().size(), 2u);
}

// Progress -------------------------------------------------------------------

namespace {

struct ShortProgressInterval {
    ShortProgressInterval() { TJPEGImage::ProgressIntervalMs = 0; }
    ~ShortProgressInterval() { TJPEGImage::ProgressIntervalMs = 500; }
};

}  // namespace

TEST(JPEGProgress, ReportsStartRisingPercentagesAndEnd) {
    ShortProgressInterval shortInterval;
    for (bool decode : {true, false}) {
        TJPEGImage jpeg;
        std::vector<std::pair<TProgressStage, int>> reports;
        jpeg.OnProgress = [&](TGraphic&, TProgressStage stage, uint8_t percent) { reports.emplace_back(stage, percent); };
        if (decode) {
            jpeg.LoadFromFile(Fixture("cprog.jpg"));
            Decoded(jpeg);
        } else {
            jpeg.SetProgressive(true);  // a baseline file is written in one call, without reports
            jpeg.Assign(LoadPpm("source.ppm"));
            jpeg.Compress();
        }
        ASSERT_GE(reports.size(), 3u) << decode;
        EXPECT_EQ(reports.front(), std::make_pair(TProgressStage::psStarting, 0));
        EXPECT_EQ(reports.back(), std::make_pair(TProgressStage::psEnding, 100));
        for (size_t i = 1; i + 1 < reports.size(); ++i) {
            EXPECT_EQ(reports[i].first, TProgressStage::psRunning);
            EXPECT_GT(reports[i].second, reports[i - 1].second);  // only changes are reported
            EXPECT_LE(reports[i].second, 100);
        }
    }
}

TEST(JPEGProgress, AHandlerCanShowOrReplaceThePictureMidway) {
    ShortProgressInterval shortInterval;
    TJPEGImage jpeg;
    jpeg.SetIncrementalDisplay(true);
    jpeg.LoadFromFile(Fixture("cprog.jpg"));
    int shown = 0;
    jpeg.OnProgress = [&](TGraphic& sender, TProgressStage stage, uint8_t) {
        if (stage != TProgressStage::psRunning) return;
        TBitmap canvas(97, 61);
        sender.Draw(canvas, Rect(0, 0, 97, 61));  // the rows decoded so far
        TBitmap copy;
        copy.Assign(sender);
        EXPECT_EQ(copy.Width(), 97);
        ++shown;
    };
    EXPECT_EQ(Colours(Decoded(jpeg)), PpmColours(Fixture("cprog.ppm")));
    EXPECT_GT(shown, 0);

    bool replaced = false;
    jpeg.SetGrayscale(true);
    jpeg.OnProgress = [&](TGraphic& sender, TProgressStage stage, uint8_t) {
        if (stage != TProgressStage::psRunning || replaced) return;
        replaced = true;
        sender.LoadFromFile(Fixture("c420.jpg"));
    };
    Decoded(jpeg);  // decodes bytes that are no longer the picture's
    EXPECT_TRUE(replaced);
    ExpectSameIndexedPicture(Decoded(jpeg), LoadBmp("c420_grey.bmp"));
}

TEST(JPEGProgress, AbortKeepsThePartlyDecodedPicture) {
    ShortProgressInterval shortInterval;
    TJPEGImage jpeg;
    jpeg.LoadFromFile(Fixture("c420.jpg"));
    jpeg.OnProgress = [](TGraphic&, TProgressStage stage, uint8_t percent) {
        if (stage == TProgressStage::psRunning && percent >= 50) throw EAbort("stop");
    };
    const TBitmap partial = Decoded(jpeg);
    ASSERT_EQ(partial.Width(), 97);
    ASSERT_EQ(partial.Height(), 61);
    const TBitmap complete = [] {
        TJPEGImage full;
        full.LoadFromFile(Fixture("c420.jpg"));
        return Decoded(full);
    }();
    EXPECT_EQ(std::vector<uint8_t>(partial.ScanLine(0), partial.ScanLine(0) + 3 * 97),
              std::vector<uint8_t>(complete.ScanLine(0), complete.ScanLine(0) + 3 * 97));
    EXPECT_EQ(std::vector<uint8_t>(partial.ScanLine(60), partial.ScanLine(60) + 3 * 97), std::vector<uint8_t>(3 * 97, 0));
}

TEST(JPEGProgress, AbortDiscardsAPartlyCompressedFile) {
    ShortProgressInterval shortInterval;
    TJPEGImage jpeg;
    jpeg.SetProgressive(true);
    jpeg.Assign(LoadPpm("source.ppm"));
    jpeg.OnProgress = [](TGraphic&, TProgressStage stage, uint8_t) {
        if (stage == TProgressStage::psRunning) throw EAbort("stop");
    };
    jpeg.Compress();
    EXPECT_EQ(jpeg.Data().Compressed, nullptr);
    EXPECT_TRUE(jpeg.HasDecodedPicture());
    // Any other exception from the handler stops the work and reaches the caller.
    jpeg.OnProgress = [](TGraphic&, TProgressStage stage, uint8_t) {
        if (stage == TProgressStage::psRunning) throw EConvertError("handler failed");
    };
    EXPECT_THROW(jpeg.Compress(), EConvertError);
}

// Hostile files ----------------------------------------------------------------

namespace {

// Loads and decodes; true when a picture of the file's size came out, false
// when the file was refused with the JPEG class's own errors.
bool LoadsAndDecodes(const std::vector<uint8_t>& bytes, int width, int height) {
    try {
        TJPEGImage jpeg;
        Load(jpeg, bytes);
        const TBitmap picture = Decoded(jpeg);
        EXPECT_FALSE(picture.Empty());
        return picture.Width() == width && picture.Height() == height;
    } catch (const EJPEG&) {
        return false;
    } catch (const EInvalidGraphic&) {
        return false;
    }
}

}  // namespace

// Decodes a file and returns the picture and the load warning.
std::pair<TBitmap, std::string> DecodedWithWarning(const std::vector<uint8_t>& bytes) {
    TJPEGImage jpeg;
    Load(jpeg, bytes);
    TBitmap picture = Decoded(jpeg);
    return {std::move(picture), jpeg.LoadWarning()};
}

TEST(JPEGHostile, FilesThatEndEarlyDecodeWithAWarning) {
    // What the file holds is shown, the rest as libjpeg fills it, and the
    // load says so; a file that lacks only its end marker is whole.
    for (const char* name : {"c420.jpg", "carith.jpg", "cgrey.jpg", "cprog.jpg", "im_prog.jpg"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> file = ReadFileBytes(Fixture(name));
        const auto [whole, noWarning] = DecodedWithWarning(file);
        EXPECT_EQ(noWarning, "");
        const auto [unmarked, unmarkedWarning] = DecodedWithWarning(std::vector<uint8_t>(file.begin(), file.end() - 2));
        EXPECT_EQ(unmarkedWarning, "");
        EXPECT_EQ(Colours(unmarked), Colours(whole));

        const std::vector<uint8_t> half(file.begin(), file.begin() + ptrdiff_t(file.size() / 2));
        const auto [picture, warning] = DecodedWithWarning(half);
        EXPECT_EQ(picture.Width(), 97);
        EXPECT_EQ(picture.Height(), 61);
        EXPECT_EQ(warning, TJPEGImage::EndsEarlyWarning);
        if (std::string(name).find("prog") == std::string::npos) {
            // Sequential files: the rows before the cut are the whole file's.
            for (int y = 0; y < 8; ++y)
                EXPECT_EQ(0, std::memcmp(picture.ScanLine(y), whole.ScanLine(y), size_t(picture.RowStride()))) << y;
        }
    }
    // A progressive file cut just before its last scan.
    const std::vector<uint8_t> progressive = ReadFileBytes(Fixture("cprog.jpg"));
    const std::vector<uint8_t> beforeLast(progressive.begin(), progressive.begin() + ptrdiff_t(LastScan(progressive)));
    EXPECT_EQ(DecodedWithWarning(beforeLast).second, TJPEGImage::EndsEarlyWarning);
}

TEST(JPEGHostile, FilesCutInsideTheirHeaderAreRefused) {
    const std::vector<uint8_t> file = ReadFileBytes(Fixture("c420.jpg"));
    for (size_t length = 1; length < FrameOffset(file) + 10; ++length) {
        TJPEGImage jpeg;
        EXPECT_THROW(Load(jpeg, std::vector<uint8_t>(file.begin(), file.begin() + ptrdiff_t(length))), EInvalidGraphic)
            << length;
    }
}

TEST(JPEGHostile, CorruptedFilesRaiseEJPEGOrDecode) {
    std::mt19937 random(20240611);
    for (const char* name : {"c420.jpg", "cprog.jpg", "carith.jpg", "im422.jpg"}) {
        const std::vector<uint8_t> file = ReadFileBytes(Fixture(name));
        for (int variant = 0; variant < 300; ++variant) {
            std::vector<uint8_t> bytes = file;
            const int changes = 1 + int(random() % 8);
            for (int i = 0; i < changes; ++i) bytes[2 + random() % (bytes.size() - 2)] = uint8_t(random());
            try {
                TJPEGImage jpeg;
                Load(jpeg, bytes);
                Decoded(jpeg);
            } catch (const EJPEG&) {
            } catch (const EOutOfMemory&) {  // a size changed beyond the bitmap cap
            }
        }
    }
}

TEST(JPEGHostile, CorruptHeadersGiveTheLibraryMessageCode) {
    const std::vector<uint8_t> file = ReadFileBytes(Fixture("c420.jpg"));
    std::vector<uint8_t> precision = file;
    precision[FrameOffset(file) + 4] = 12;
    const std::pair<std::vector<uint8_t>, std::string> cases[] = {
        {WithSize(file, 0, 61), JPEGError(JERR_EMPTY_IMAGE, "Empty JPEG image (DNL not supported)")},
        {precision, JPEGError(JERR_BAD_PRECISION, "Unsupported JPEG data precision 12")},
    };
    for (const auto& [bytes, expected] : cases) {
        TJPEGImage jpeg;
        try {
            Load(jpeg, bytes);
            FAIL() << expected;
        } catch (const EJPEG& e) {
            EXPECT_EQ(e.what(), expected);
        }
        EXPECT_TRUE(jpeg.Empty());
    }
}

TEST(JPEGHostile, ASizeTheFileCannotHoldIsRefusedBeforeDecoding) {
    // Huffman coding spends at least a bit on every block of a scan.
    try {
        TJPEGImage jpeg;
        Load(jpeg, WithSize(ReadFileBytes(Fixture("c420.jpg")), 30000, 30000));
        FAIL();
    } catch (const EJPEG& e) {
        EXPECT_STREQ(e.what(), JPEGError(JERR_INPUT_EOF, "Premature end of input file").c_str());
    }
    // Arithmetic coding can spend less; a size beyond the bitmap cap is the
    // file's fault, refused before allocating.
    TPixelBytesCap cap(1 << 20);
    TJPEGImage jpeg;
    Load(jpeg, WithSize(ReadFileBytes(Fixture("carith.jpg")), 4000, 4000));
    EXPECT_EQ(jpeg.Width(), 4000);
    try {
        Decoded(jpeg);
        FAIL();
    } catch (const EJPEG& e) {
        EXPECT_STREQ(e.what(), JPEGError(JERR_IMAGE_TOO_BIG, "The picture is larger than the program accepts").c_str());
    }
}

TEST(JPEGHostile, TooManyScansAreRefused) {
    // The last scan of a progressive file repeated: each repeat is only a
    // warning to libjpeg, yet a full pass over the picture.
    const std::vector<uint8_t> file = ReadFileBytes(Fixture("cprog.jpg"));
    const size_t last = LastScan(file);
    const std::vector<uint8_t> scan(file.begin() + ptrdiff_t(last), file.end() - 2);
    auto withRepeats = [&](int repeats) {
        std::vector<uint8_t> bytes(file.begin(), file.end() - 2);
        for (int i = 0; i < repeats; ++i) bytes.insert(bytes.end(), scan.begin(), scan.end());
        bytes.push_back(0xFF);
        bytes.push_back(0xD9);
        return bytes;
    };
    EXPECT_TRUE(LoadsAndDecodes(withRepeats(100), 97, 61));
    TJPEGImage jpeg;
    Load(jpeg, withRepeats(600));
    try {
        Decoded(jpeg);
        FAIL();
    } catch (const EJPEG& e) {
        EXPECT_STREQ(e.what(), JPEGError(JERR_IMAGE_TOO_BIG, "The file has too many scans").c_str());
    }
    EXPECT_FALSE(jpeg.HasDecodedPicture());
}
