// The Exif readers, the marker walk, the thumbnail directory walk, the
// patches and the splice, on files written by exiftool
// (tests/data/make_jpegsave_fixtures.sh) and on hostile segments.

#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "platform/Exceptions.h"
#include "save/JPEGSaveTestSupport.h"
#include "save/mdFileStream.h"
#include "save/mdJpegInfo.h"
#include "save/mdMemoryStream.h"
#include "save/novExifMania.h"
#include "support/TestFolders.h"

using namespace jpegsave_testing;
using testing_support::TempFolder;

namespace {

std::string ExceptionMessage(const std::function<void()>& f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "";
}

TEST(ExifReaders, ReadInBothByteOrdersThroughTheWindow) {
    std::vector<uint8_t> bytes(5000);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
    TempFolder folder("vorlix_exif_readers");
    const std::string path = (folder.Path() / "bytes.bin").string();
    testing_support::WriteFileText(path, std::string(bytes.begin(), bytes.end()));

    TMemoryStream source(bytes);
    TmdMemoryStream memory(source);
    TmdFileStream file(path);
    for (TExifByteWindow* reader : std::initializer_list<TExifByteWindow*>{&memory, &file}) {
        EXPECT_FALSE(reader->AtEnd());
        reader->SetPosition(3000);  // beyond the first window
        EXPECT_EQ(reader->ReadWord(), bytes[3000] << 8 | bytes[3001]);
        reader->SetBigEndian(false);
        reader->SetPosition(10);  // back before it
        EXPECT_EQ(reader->ReadWord(), bytes[11] << 8 | bytes[10]);
        EXPECT_EQ(reader->ReadByteAt(1023), bytes[1023]);
        EXPECT_EQ(reader->ReadByte(), bytes[1024]);  // across the window's edge
        reader->SetPosition(4998);
        EXPECT_EQ(reader->ReadBytes(4).size(), 2u);
        EXPECT_EQ(ExceptionMessage([&] { reader->ReadByteAt(5000); }), "Out of bounds");
        EXPECT_EQ(ExceptionMessage([&] { reader->ReadByteAt(-1); }), "Out of bounds");
    }
    memory.SetBigEndian(true);
    memory.SetPosition(0);
    EXPECT_EQ(memory.ReadDWord(), uint32_t{bytes[0]} << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3]);
    memory.SetBigEndian(false);
    memory.SetPosition(0);
    EXPECT_EQ(memory.ReadDWord(), uint32_t{bytes[3]} << 24 | bytes[2] << 16 | bytes[1] << 8 | bytes[0]);

    TMemoryStream empty;
    EXPECT_TRUE(TmdMemoryStream(empty).AtEnd());
}

TEST(ExifReaders, ExifVariantsRefusePositionsBeyondTheSection) {
    TMemoryStream source(std::vector<uint8_t>(70000, 1));
    TmdExifMemStream reader(source);
    reader.SetPosition(69000);  // no base yet
    reader.SetTiffBase(10);
    EXPECT_NO_THROW(reader.SetPosition(10 + 65535));
    EXPECT_EQ(ExceptionMessage([&] { reader.SetPosition(10 + 65536); }), "Exif section out of bounds");
}

struct FindCase {
    const char* file;
    bool found;
    int64_t start;
};

TEST(FindExifSegment, FindsOnlyAWholeFirstExifAPP1) {
    const FindCase cases[] = {
        {"exif_ii.jpg", true, 20},      {"exif_mm.jpg", true, 20},        {"exif_noifd1.jpg", true, 20},
        {"exif_20000.jpg", true, 20},   {"exif_short.jpg", true, 20},     {"exif_xmp_first.jpg", false, 0},
        {"exif_cut.jpg", false, 0},     {"plain.jpg", false, 0},          {"source.ppm", false, 0},
    };
    for (const FindCase& c : cases) {
        int64_t start = -1, size = -1;
        EXPECT_EQ(FindExifSegment(SaveFixture(c.file), start, size), c.found) << c.file;
        EXPECT_EQ(start, c.start) << c.file;
        if (c.found) {
            EXPECT_EQ(size, int64_t(ExifSegmentOf(SaveFixtureBytes(c.file)).size())) << c.file;
        }
    }
    EXPECT_THROW(HasExif(SaveFixture("missing.jpg")), EFOpenError);
}

TEST(FindExifSegment, SegmentRightAfterStartOfImageAndTruncatedChains) {
    TempFolder folder("vorlix_find_exif");
    const std::vector<uint8_t> ii = SaveFixtureBytes("exif_ii.jpg");
    const std::vector<uint8_t> segment = ExifSegmentOf(ii);
    std::vector<uint8_t> first = {0xFF, 0xD8};
    first.insert(first.end(), segment.begin(), segment.end());
    first.insert(first.end(), ii.begin() + 20 + long(segment.size()), ii.end());
    const std::string path = (folder.Path() / "first.jpg").string();
    testing_support::WriteFileText(path, std::string(first.begin(), first.end()));
    int64_t start = 0, size = 0;
    ASSERT_TRUE(FindExifSegment(path, start, size));
    EXPECT_EQ(start, 2);
    TMemoryStream copied;
    ASSERT_TRUE(CopyExifSegment(path, copied));
    EXPECT_EQ(copied.Bytes(), segment);

    // Cut inside the quantisation table, before any APP1: the walk runs
    // off the end.
    const std::vector<uint8_t> plain = SaveFixtureBytes("plain.jpg");
    testing_support::WriteFileText(path, std::string(plain.begin(), plain.begin() + 30));
    EXPECT_EQ(ExceptionMessage([&] { HasExif(path); }), "Out of bounds");
    testing_support::WriteFileText(path, "");
    EXPECT_FALSE(HasExif(path));
}

TThumbnailTagPositions Locate(const std::vector<uint8_t>& segment, bool* ok = nullptr) {
    TMemoryStream stream(segment);
    TThumbnailTagPositions positions;
    const bool found = LocateThumbnailTags(stream, positions);
    if (ok) *ok = found;
    return positions;
}

TEST(LocateThumbnailTags, BothByteOrdersGiveTheSamePositionsAndValues) {
    for (const char* file : {"exif_ii.jpg", "exif_mm.jpg"}) {
        std::vector<uint8_t> segment = ExifSegmentOf(SaveFixtureBytes(file));
        bool ok = false;
        const TThumbnailTagPositions p = Locate(segment, &ok);
        ASSERT_TRUE(ok) << file;
        TMemoryStream stream(segment);
        const bool bigEndian = IsBigEndianExif(stream);
        EXPECT_EQ(bigEndian, std::string(file) == "exif_mm.jpg");
        uint32_t offset = 0, length = 0;
        ReadThumbnailValues(stream, p.Offset, p.Length, bigEndian, offset, length);
        // exiftool writes IFD1 with the same layout in both orders.
        EXPECT_EQ(p.Compression, 302) << file;
        EXPECT_EQ(p.Offset, 350) << file;
        EXPECT_EQ(p.Length, 362) << file;
        EXPECT_EQ(offset, 384u) << file;
        EXPECT_EQ(length, 800u) << file;
        EXPECT_EQ(segment[offset + 10], 0xFF);
        EXPECT_EQ(segment[offset + 11], 0xD8);
    }
}

TEST(LocateThumbnailTags, NoReplaceableThumbnail) {
    // No IFD1; an IFD1 entry of type float; an IFD1 that chains to itself.
    for (const char* file : {"exif_noifd1.jpg", "exif_float.jpg", "exif_loop.jpg"}) {
        bool ok = true;
        Locate(ExifSegmentOf(SaveFixtureBytes(file)), &ok);
        EXPECT_FALSE(ok) << file;
    }
    // IFD1 without tag 259: its entry renamed to an unknown tag.
    std::vector<uint8_t> segment = ExifSegmentOf(SaveFixtureBytes("exif_ii.jpg"));
    const int64_t compression = Locate(segment).Compression;
    segment[size_t(compression)] = 0x99;
    bool ok = true;
    Locate(segment, &ok);
    EXPECT_FALSE(ok);
    // Not an Exif header, and a TIFF header with a wrong mark or version.
    for (const auto& [at, value] : {std::pair{4, 'X'}, std::pair{10, 'X'}, std::pair{13, '\x2B'}}) {
        std::vector<uint8_t> bad = ExifSegmentOf(SaveFixtureBytes("exif_ii.jpg"));
        bad[size_t(at)] = static_cast<uint8_t>(value);
        ok = true;
        Locate(bad, &ok);
        EXPECT_FALSE(ok) << at;
    }
}

// An II segment around IFD1 entries of our own: IFD0 at 8 with no entries,
// IFD1 at 14 with the given entries and next-IFD offset.
struct Entry {
    uint16_t tag, type;
    uint32_t count, value;
};
std::vector<uint8_t> HandMadeSegment(const std::vector<Entry>& entries, uint32_t next, size_t padding = 64) {
    std::vector<uint8_t> s = {0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0,
                              0,    0,    14, 0, 0, 0};
    auto put16 = [&](uint16_t v) { s.push_back(uint8_t(v)), s.push_back(uint8_t(v >> 8)); };
    auto put32 = [&](uint32_t v) { put16(uint16_t(v)), put16(uint16_t(v >> 16)); };
    put16(uint16_t(entries.size()));
    for (const Entry& e : entries) put16(e.tag), put16(e.type), put32(e.count), put32(e.value);
    put32(next);
    s.resize(s.size() + padding);
    s[2] = uint8_t((s.size() - 2) >> 8);
    s[3] = uint8_t(s.size() - 2);
    return s;
}

TEST(WalkIFD, HostileDirectoriesFailQuickly) {
    const Entry thumbnail[] = {{259, 3, 1, 6}, {513, 4, 1, 60}, {514, 4, 1, 4}};
    auto with = [&](std::vector<Entry> extra, uint32_t next = 0) {
        std::vector<Entry> entries(std::begin(thumbnail), std::end(thumbnail));
        entries.insert(entries.end(), extra.begin(), extra.end());
        return HandMadeSegment(entries, next);
    };
    bool ok = false;
    Locate(with({}), &ok);
    ASSERT_TRUE(ok);

    struct Case {
        const char* what;
        std::vector<uint8_t> segment;
    };
    const Case cases[] = {
        {"values past the end", with({{270, 2, 200, 20}})},
        {"huge count", with({{270, 7, 0xFFFFFFFF, 20}})},
        {"huge rational count", with({{282, 5, 0x20000000, 20}})},
        {"value offset beyond the section", with({{270, 2, 10, 0xFFFFFF00}})},
        {"type 6", with({{270, 6, 1, 0}})},
        {"type 12", with({{270, 12, 1, 0}})},
        {"next beyond 65535", with({}, 70000)},
        {"next back to itself", with({}, 14)},
        {"next into its own entries", with({}, 16)},
        {"entry count past the end", HandMadeSegment({{259, 3, 1, 6}}, 0, 0)},
    };
    for (const Case& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        ok = true;
        Locate(c.segment, &ok);
        EXPECT_FALSE(ok) << c.what;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << c.what;
    }
    // The last entry with a tag wins; values in the value field need no room.
    bool found = false;
    const TThumbnailTagPositions p = Locate(with({{513, 4, 1, 0}, {270, 2, 4, 0}, {282, 5, 0, 0xFFFFFFF0}}), &found);
    EXPECT_TRUE(found);
    EXPECT_EQ(p.Offset, 24 + 2 + 3 * 12);
}

TEST(WalkIFD, LongChainThatComesBackEnds) {
    // Thousands of one-entry directories one after the other, the last
    // pointing back at the first, or ending the chain.
    auto walk = [](bool loop) {
        std::vector<uint8_t> s = HandMadeSegment({}, 0, 60000);
        constexpr size_t kDirectory = 18;
        const size_t count = (s.size() - 24) / kDirectory - 1;
        for (size_t i = 0; i < count; ++i) {
            const size_t o = 14 + i * kDirectory, at = 10 + o;
            const uint32_t next = i + 1 < count ? uint32_t(o + kDirectory) : loop ? 14 : 0;
            const uint8_t directory[kDirectory] = {1, 0, 0x0E, 0x01, 3, 0, 1, 0, 0, 0, 0, 0, 0, 0,
                                                   uint8_t(next), uint8_t(next >> 8), 0, 0};
            std::copy(std::begin(directory), std::end(directory), s.begin() + long(at));
        }
        TMemoryStream stream(s);
        TmdExifMemStream reader(stream);
        reader.SetTiffBase(10);
        reader.SetBigEndian(false);
        TThumbnailTagPositions positions;
        return WalkIFD(reader, 14, positions);
    };
    EXPECT_TRUE(walk(false));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(walk(true));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(LocateThumbnailTags, SegmentTooShortForItsHeadersRaises) {
    const std::vector<uint8_t> shortSegment = ExifSegmentOf(SaveFixtureBytes("exif_short.jpg"));
    EXPECT_EQ(ExceptionMessage([&] { Locate(shortSegment); }), "Out of bounds");
    std::vector<uint8_t> farIFD0 = HandMadeSegment({}, 0);
    farIFD0[14] = 0xFF, farIFD0[15] = 0xFF, farIFD0[16] = 0x01;
    EXPECT_EQ(ExceptionMessage([&] { Locate(farIFD0); }), "Exif section out of bounds");
}

TEST(ExifPatches, WriteInTheTIFFByteOrder) {
    TMemoryStream stream(std::vector<uint8_t>(32, 0));
    PatchEntryValue(stream, 4, 0x01020304, true);
    PatchEntryValue(stream, 16, 0x01020304, false);
    PatchSegmentLength(stream, 0xABCD);
    const std::vector<uint8_t>& b = stream.Bytes();
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 12, b.begin() + 16), (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 24, b.begin() + 28), (std::vector<uint8_t>{4, 3, 2, 1}));
    EXPECT_EQ(b[2], 0xAB);
    EXPECT_EQ(b[3], 0xCD);
}

TEST(SpliceSegment, GoesInAfterTheAPP0Segments) {
    std::vector<uint8_t> jpeg(5000, 0x11);
    const std::vector<uint8_t> header = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10};
    std::copy(header.begin(), header.end(), jpeg.begin());
    jpeg[20] = 0xFF, jpeg[21] = 0xDB;
    std::vector<uint8_t> segment(3000);
    for (size_t i = 0; i < segment.size(); ++i) segment[i] = static_cast<uint8_t>(i);
    TMemoryStream in(jpeg), seg(segment), out;
    SpliceSegment(in, seg, out);
    ASSERT_EQ(out.Size(), 8000);
    EXPECT_EQ(out.Position(), 0);
    const std::vector<uint8_t>& b = out.Bytes();
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 20, b.begin() + 3020), segment);
    EXPECT_EQ(std::vector<uint8_t>(b.begin(), b.begin() + 20), std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + 20));
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 3020, b.end()), std::vector<uint8_t>(jpeg.begin() + 20, jpeg.end()));

    struct Case {
        std::vector<uint8_t> bytes;
        int64_t point;
    };
    const Case cases[] = {
        {{0xFF, 0xD8, 0xFF, 0xDB, 0, 4, 0, 0}, 2},                                  // no APP0
        {{0xFF, 0xD8, 0xFF, 0xE0, 0, 2, 0xFF, 0xE0, 0, 3, 9, 0xFF, 0xC0, 0, 0}, 11},  // two
        {{0xFF, 0xD8, 0xFF, 0xE0, 0, 40}, 6},                                          // cut short
    };
    for (const Case& c : cases) {
        TMemoryStream stream(c.bytes);
        EXPECT_EQ(FindSegmentInsertPoint(stream), c.point);
    }
    TMemoryStream notJpeg(std::vector<uint8_t>{0x89, 'P', 'N', 'G'});
    EXPECT_THROW(FindSegmentInsertPoint(notJpeg), EInvalidGraphic);
}

// Random damage to a real segment: every answer is a clean result or one
// of the readers' exceptions, and a rebuild never writes outside what it
// was given (the sanitizer build watches the memory).
TEST(ExifHostile, DamagedSegmentsNeverCrashOrHang) {
    const std::vector<uint8_t> original = ExifSegmentOf(SaveFixtureBytes("exif_mm.jpg"));
    const std::vector<uint8_t> encoded = SaveFixtureBytes("plain.jpg");
    const std::vector<uint8_t> thumbnail(700, 0x5A);
    std::mt19937 random(20240506);
    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> segment = original;
        const int changes = 1 + int(random() % 6);
        for (int i = 0; i < changes; ++i) {
            // Mostly the headers and IFD1, where the walk looks.
            const size_t at = random() % 4 ? 10 + random() % 420 : random() % segment.size();
            segment[std::min(at, segment.size() - 1)] = static_cast<uint8_t>(random());
        }
        if (round % 10 == 0) segment.resize(random() % segment.size());
        try {
            TThumbnailTagPositions positions;
            TMemoryStream s(segment);
            LocateThumbnailTags(s, positions);
            TMemoryStream e(encoded), t(thumbnail), out;
            RebuildExifSegment(s, e, out, t);
            EXPECT_GT(out.Size(), int64_t(encoded.size()));
        } catch (const Exception&) {
        }
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
}

}  // namespace
