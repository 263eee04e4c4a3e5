// The Exif probe, the thumbnail, the segment rebuild and the JPEG save with
// Exif, on files written by exiftool (tests/data/make_jpegsave_fixtures.sh).

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "images/Effector/commonColor.h"
#include "platform/Exceptions.h"
#include "save/JPEGSaveTestSupport.h"
#include "save/mdJpegInfo.h"
#include "save/novExifMania.h"
#include "save/ZetJPEGImage.h"
#include "save/ZetJPEGSubsampling.h"
#include "support/TestFolders.h"

using namespace jpegsave_testing;
using testing_support::ReadFileBytes;
using testing_support::TempFolder;

namespace {

struct ProbeCase {
    const char* file;
    bool hasExif;
    bool hasThumbnail;
};

TEST(ProbeExif, AnswersForEachKindOfFile) {
    const ProbeCase cases[] = {
        {"exif_ii.jpg", true, true},        {"exif_mm.jpg", true, true},        {"exif_20000.jpg", true, true},
        {"exif_noifd1.jpg", true, false},   {"exif_float.jpg", true, false},    {"exif_loop.jpg", true, false},
        {"exif_xmp_first.jpg", false, false}, {"exif_cut.jpg", false, false},   {"exif_short.jpg", false, false},
        {"plain.jpg", false, false},        {"source.ppm", false, false},       {"missing.jpg", false, false},
    };
    for (const ProbeCase& c : cases) {
        const TExifProbe probe = ProbeExif(SaveFixture(c.file));
        EXPECT_EQ(probe.HasExif, c.hasExif) << c.file;
        EXPECT_EQ(probe.HasThumbnail, c.hasThumbnail) << c.file;
    }
    // A file cut before its first APP1 would make the marker walk run off
    // its end.
    TempFolder folder("vorlix_probe");
    const std::string cut = (folder.Path() / "cut.jpg").string();
    const std::vector<uint8_t> plain = SaveFixtureBytes("plain.jpg");
    testing_support::WriteFileText(cut, std::string(plain.begin(), plain.begin() + 30));
    EXPECT_FALSE(ProbeExif(cut).HasExif);
    EXPECT_FALSE(ProbeExif(folder.Path().string()).HasExif);  // a folder
}

struct JPEGHeader {
    int Width, Height, BitsPerPixel;
};

JPEGHeader LoadJPEG(const std::vector<uint8_t>& bytes) {
    TJPEGImage jpeg;
    TMemoryStream stream(bytes);
    jpeg.LoadFromStream(stream);
    return {jpeg.Width(), jpeg.Height(), jpeg.BitsPerPixel()};
}

TEST(MakeExifThumbnail, FitsTheBoxWithSidesOfAtLeastOnePixel) {
    struct Case {
        int width, height, thumbWidth, thumbHeight;
    };
    const Case cases[] = {
        {400, 300, 160, 120}, {300, 400, 120, 160}, {400, 400, 160, 160}, {100, 80, 100, 80},
        {161, 1, 160, 1},       {1000, 900, 160, 144},  {1000, 3, 160, 1},      {3, 1000, 1, 160},
    };
    for (const Case& c : cases) {
        const TBitmap picture(c.width, c.height, pf24bit);
        TMemoryStream stream;
        MakeExifThumbnail(picture, stream, 160, 160);
        EXPECT_EQ(stream.Position(), 0);
        const JPEGHeader thumbnail = LoadJPEG(stream.Bytes());
        EXPECT_EQ(thumbnail.Width, c.thumbWidth) << c.width << "x" << c.height;
        EXPECT_EQ(thumbnail.Height, c.thumbHeight) << c.width << "x" << c.height;
        EXPECT_EQ(thumbnail.BitsPerPixel, 24);
    }
}

// A stand-in thumbnail: the rebuild copies it without looking inside.
std::vector<uint8_t> Filler(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 13 + 1);
    return bytes;
}

uint32_t ValueAt(const std::vector<uint8_t>& segment, int64_t entry, bool bigEndian) {
    const size_t v = size_t(entry) + 8;
    return bigEndian ? uint32_t(segment[v]) << 24 | segment[v + 1] << 16 | segment[v + 2] << 8 | segment[v + 3]
                     : uint32_t(segment[v + 3]) << 24 | segment[v + 2] << 16 | segment[v + 1] << 8 | segment[v];
}

TEST(RebuildExifSegment, ReplacesTheThumbnailAndPatchesBothLengths) {
    const std::vector<uint8_t> segment = ExifSegmentOf(SaveFixtureBytes("exif_20000.jpg"));
    ASSERT_EQ(segment.size(), 20000u);
    TMemoryStream segmentStream(segment);
    TThumbnailTagPositions positions;
    ASSERT_TRUE(LocateThumbnailTags(segmentStream, positions));
    const uint32_t offset = ValueAt(segment, positions.Offset, true);
    ASSERT_EQ(ValueAt(segment, positions.Length, true), 6058u);
    ASSERT_EQ(offset + 10 + 6058, 20000u);  // the thumbnail ends the segment

    const std::vector<uint8_t> encoded = SaveFixtureBytes("plain.jpg");
    const std::vector<uint8_t> thumbnail = Filler(4000);
    TMemoryStream encodedStream(encoded), thumbnailStream(thumbnail), output;
    RebuildExifSegment(segmentStream, encodedStream, output, thumbnailStream);
    const std::vector<uint8_t> rebuilt = ExifSegmentOf(output.Bytes());
    ASSERT_EQ(rebuilt.size(), 17942u);  // 20000 - 6058 + 4000
    EXPECT_EQ(rebuilt[2] << 8 | rebuilt[3], 17940);
    EXPECT_EQ(ValueAt(rebuilt, positions.Length, true), 4000u);
    EXPECT_EQ(ValueAt(rebuilt, positions.Offset, true), offset);
    std::vector<uint8_t> expected(segment.begin(), segment.begin() + 10 + offset);
    expected.insert(expected.end(), thumbnail.begin(), thumbnail.end());
    expected[2] = rebuilt[2], expected[3] = rebuilt[3];
    const size_t lengthValue = size_t(positions.Length) + 8;
    std::copy(rebuilt.begin() + long(lengthValue), rebuilt.begin() + long(lengthValue) + 4,
              expected.begin() + long(lengthValue));
    EXPECT_EQ(rebuilt, expected);
    EXPECT_EQ(output.Size(), int64_t(encoded.size() + rebuilt.size()));
    EXPECT_EQ(std::vector<uint8_t>(output.Bytes().begin() + 20, output.Bytes().begin() + 20 + long(rebuilt.size())),
              rebuilt);
}

TEST(RebuildExifSegment, KeepsWhatFollowsTheOldThumbnail) {
    // A little-endian segment whose thumbnail is followed by other bytes.
    std::vector<uint8_t> segment = ExifSegmentOf(SaveFixtureBytes("exif_ii.jpg"));
    const std::vector<uint8_t> tail = {'t', 'a', 'i', 'l'};
    segment.insert(segment.end(), tail.begin(), tail.end());
    segment[2] = uint8_t((segment.size() - 2) >> 8), segment[3] = uint8_t(segment.size() - 2);
    TMemoryStream segmentStream(segment), encoded(SaveFixtureBytes("plain.jpg")), thumbnail(Filler(100)), output;
    RebuildExifSegment(segmentStream, encoded, output, thumbnail);
    const std::vector<uint8_t> rebuilt = ExifSegmentOf(output.Bytes());
    ASSERT_EQ(rebuilt.size(), segment.size() - 800 + 100);
    EXPECT_EQ(std::vector<uint8_t>(rebuilt.end() - 4, rebuilt.end()), tail);
    EXPECT_EQ(ValueAt(rebuilt, 362, false), 100u);
    EXPECT_EQ(size_t(rebuilt[2] << 8 | rebuilt[3]), rebuilt.size() - 2);
}

TEST(RebuildExifSegment, RefusesWhatCannotBeWrittenSoundly) {
    const std::vector<uint8_t> big = ExifSegmentOf(SaveFixtureBytes("exif_20000.jpg"));
    const std::vector<uint8_t> noThumbnail = ExifSegmentOf(SaveFixtureBytes("exif_noifd1.jpg"));
    // The thumbnail offset pointing in front of its own length entry.
    std::vector<uint8_t> overlapping = ExifSegmentOf(SaveFixtureBytes("exif_ii.jpg"));
    overlapping[350 + 8] = 100, overlapping[350 + 9] = 0;
    // The old thumbnail's length reaching past the segment's end: the new
    // length counts the bytes really there.
    struct Case {
        const std::vector<uint8_t>& segment;
        size_t thumbnail;
    };
    const Case cases[] = {{big, 52000}, {noThumbnail, 100}, {overlapping, 100}};
    for (const Case& c : cases) {
        TMemoryStream segment(c.segment), encoded(SaveFixtureBytes("plain.jpg")), thumbnail(Filler(c.thumbnail)),
            output;
        EXPECT_THROW(RebuildExifSegment(segment, encoded, output, thumbnail), Exception);
        EXPECT_EQ(output.Size(), 0);
    }
    // Just fitting: 65535 bytes after the marker.
    TMemoryStream segment(big), encoded(SaveFixtureBytes("plain.jpg")), thumbnail(Filler(65537 - 20000 + 6058)), output;
    RebuildExifSegment(segment, encoded, output, thumbnail);
    const std::vector<uint8_t> rebuilt = ExifSegmentOf(output.Bytes());
    EXPECT_EQ(rebuilt[2] << 8 | rebuilt[3], 65535);
}

class SaveJPEGWithExifTest : public testing::Test {
protected:
    TempFolder folder_{"vorlix_save_exif"};
    std::string Path(const std::string& name) const { return (folder_.Path() / name).string(); }
    std::string Copy(const std::string& fixture) const {
        const std::string path = Path(fixture);
        std::filesystem::copy_file(SaveFixture(fixture), path, std::filesystem::copy_options::overwrite_existing);
        return path;
    }
    // Only the named files are in the folder: no temporary file was left.
    void ExpectFolderHolds(std::set<std::string> names) const {
        std::set<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(folder_.Path()))
            found.insert(entry.path().filename().string());
        EXPECT_EQ(found, names);
    }
};

std::vector<uint8_t> Encoder420(const TBitmap& picture, bool progressive, bool grayscale, int quality) {
    TMemoryStream stream;
    EXPECT_TRUE(SaveJPEG420ToStream(picture, stream, progressive, grayscale, quality));
    return stream.TakeBytes();
}

std::vector<uint8_t> Encoder444(const TBitmap& picture, bool progressive, bool grayscale, int quality) {
    TMemoryStream stream;
    EncodeJPEG444(picture, stream, progressive, grayscale, quality);
    return stream.TakeBytes();
}

TEST_F(SaveJPEGWithExifTest, CopyWithoutUpdateInsertsTheSourceSegmentAtByte20) {
    const TBitmap picture = SourcePicture();
    const std::vector<uint8_t> segment = ExifSegmentOf(SaveFixtureBytes("exif_mm.jpg"));
    struct Case {
        TJPEGSubsampling subsampling;
        bool progressive, grayscale;
        std::vector<uint8_t> encoded;
    };
    const Case cases[] = {
        {jss420, false, false, Encoder420(picture, false, false, 80)},
        {jss420, true, true, Encoder420(picture, true, true, 80)},
        {jss444, false, false, Encoder444(picture, false, false, 80)},
        {jss444, true, false, Encoder444(picture, true, false, 80)},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(SaveJPEGWithExif(picture, SaveFixture("exif_mm.jpg"), Path("out.jpg"), c.progressive, c.grayscale,
                                     true, false, c.subsampling, 80));
        std::vector<uint8_t> expected = c.encoded;
        expected.insert(expected.begin() + 20, segment.begin(), segment.end());
        EXPECT_EQ(ReadFileBytes(Path("out.jpg")), expected);
        // Without the copy: the encoder's bytes alone.
        ASSERT_TRUE(SaveJPEGWithExif(picture, SaveFixture("exif_mm.jpg"), Path("out.jpg"), c.progressive,
                                     c.grayscale, false, true, c.subsampling, 80));
        EXPECT_EQ(ReadFileBytes(Path("out.jpg")), c.encoded);
    }
    ExpectFolderHolds({"out.jpg"});
}

TEST_F(SaveJPEGWithExifTest, UpdateRebuildsTheThumbnailFromThePicture) {
    const TBitmap picture = testing_support::RandomBitmap(400, 100, 3);
    for (const char* source : {"exif_ii.jpg", "exif_mm.jpg", "exif_20000.jpg"}) {
        const std::vector<uint8_t> old = ExifSegmentOf(SaveFixtureBytes(source));
        ASSERT_TRUE(SaveJPEGWithExif(picture, SaveFixture(source), Path("out.jpg"), false, true, true, true, jss444, 90));
        const std::vector<uint8_t> saved = ReadFileBytes(Path("out.jpg"));
        const std::vector<uint8_t> segment = ExifSegmentOf(saved);
        ASSERT_FALSE(segment.empty());
        EXPECT_EQ(std::search(saved.begin(), saved.end(), segment.begin(), segment.end()) - saved.begin(), 20);
        TMemoryStream segmentStream(segment);
        TThumbnailTagPositions positions;
        ASSERT_TRUE(LocateThumbnailTags(segmentStream, positions)) << source;
        const bool bigEndian = IsBigEndianExif(segmentStream);
        uint32_t offset = 0, length = 0;
        ReadThumbnailValues(segmentStream, positions.Offset, positions.Length, bigEndian, offset, length);
        EXPECT_EQ(size_t(segment[2] << 8 | segment[3]) + 2, segment.size());
        ASSERT_LE(offset + 10 + length, segment.size());
        // Everything in front of the thumbnail but the two lengths is the
        // source's.
        std::vector<uint8_t> front(segment.begin(), segment.begin() + 10 + offset);
        std::vector<uint8_t> oldFront(old.begin(), old.begin() + 10 + offset);
        for (size_t i = 0; i < 4; ++i) front[size_t(positions.Length) + 8 + i] = oldFront[size_t(positions.Length) + 8 + i];
        front[2] = oldFront[2], front[3] = oldFront[3];
        EXPECT_EQ(front, oldFront) << source;

        const JPEGHeader thumbnail = LoadJPEG(
            std::vector<uint8_t>(segment.begin() + 10 + offset, segment.begin() + 10 + offset + length));
        int w = 400, h = 100;
        FitWithin(w, h, 160, 160);
        EXPECT_EQ(thumbnail.Width, w);
        EXPECT_EQ(thumbnail.Height, h);
        EXPECT_EQ(thumbnail.BitsPerPixel, 24);  // colour, though the picture was saved grey
        EXPECT_EQ(LoadJPEG(saved).BitsPerPixel, 8);
    }
}

TEST_F(SaveJPEGWithExifTest, SavingOverTheSourceKeepsItsExif) {
    const std::string path = Copy("exif_ii.jpg");
    const std::vector<uint8_t> segment = ExifSegmentOf(ReadFileBytes(path));
    ASSERT_TRUE(SaveJPEGWithExif(SourcePicture(), path, path, false, false, true, false, jss420, 70));
    EXPECT_EQ(ExifSegmentOf(ReadFileBytes(path)), segment);
    ASSERT_TRUE(SaveJPEGWithExif(SourcePicture(), path, path, true, false, true, true, jss444, 70));
    const TExifProbe probe = ProbeExif(path);
    EXPECT_TRUE(probe.HasExif);
    EXPECT_TRUE(probe.HasThumbnail);
    ExpectFolderHolds({"exif_ii.jpg"});
}

TEST_F(SaveJPEGWithExifTest, FailuresLeaveTheTargetAsItWas) {
    const std::string target = Path("target.jpg");
    testing_support::WriteFileText(target, "old contents");
    const TBitmap tooWide(65501, 1, pf24bit);
    const TBitmap picture = SourcePicture();
    // The encoders.
    EXPECT_FALSE(SaveJPEGWithExif(tooWide, SaveFixture("exif_ii.jpg"), target, false, false, true, true, jss420, 90));
    EXPECT_FALSE(SaveJPEGWithExif(TBitmap(), SaveFixture("exif_ii.jpg"), target, false, false, false, false, jss444, 90));
    EXPECT_FALSE(SaveJPEGWithExif(TBitmap(), SaveFixture("exif_ii.jpg"), target, false, false, true, false, jss420, 90));
    EXPECT_THROW(SaveJPEGWithExif(tooWide, SaveFixture("exif_ii.jpg"), target, true, true, false, false, jss444, 90),
                 EJPEG);
    EXPECT_THROW(SaveJPEGWithExif(tooWide, SaveFixture("exif_ii.jpg"), target, false, false, true, true, jss444, 90),
                 EJPEG);
    // The source: gone, or cut before its Exif segment.
    EXPECT_THROW(SaveJPEGWithExif(picture, Path("missing.jpg"), target, false, false, true, false, jss420, 90),
                 EFOpenError);
    const std::string cut = Path("cut.jpg");
    const std::vector<uint8_t> plain = SaveFixtureBytes("plain.jpg");
    testing_support::WriteFileText(cut, std::string(plain.begin(), plain.begin() + 30));
    EXPECT_THROW(SaveJPEGWithExif(picture, cut, target, false, false, true, true, jss420, 90), Exception);
    // A thumbnail that no longer fits the segment, and a target that cannot
    // be written.
    std::vector<uint8_t> crowded = SaveFixtureBytes("exif_20000.jpg");
    const std::vector<uint8_t> segment = ExifSegmentOf(crowded);
    std::vector<uint8_t> filler(45000, 'p');
    std::vector<uint8_t> bigger(segment.begin(), segment.begin() + long(segment.size()) - 6058);
    // Grow the segment by padding after the old thumbnail's place: the
    // offset entry still points at the same bytes.
    bigger.insert(bigger.end(), segment.end() - 6058, segment.end());
    bigger.insert(bigger.end(), filler.begin(), filler.end());
    bigger[2] = uint8_t((bigger.size() - 2) >> 8), bigger[3] = uint8_t(bigger.size() - 2);
    crowded.erase(crowded.begin() + 20, crowded.begin() + 20 + long(segment.size()));
    crowded.insert(crowded.begin() + 20, bigger.begin(), bigger.end());
    const std::string crowdedPath = Path("crowded.jpg");
    testing_support::WriteFileText(crowdedPath, std::string(crowded.begin(), crowded.end()));
    ASSERT_TRUE(ProbeExif(crowdedPath).HasThumbnail);
    const TBitmap noisy = testing_support::RandomBitmap(160, 160, 9);
    EXPECT_THROW(SaveJPEGWithExif(noisy, crowdedPath, target, false, false, true, true, jss444, 90), Exception);
    EXPECT_THROW(SaveJPEGWithExif(picture, SaveFixture("exif_ii.jpg"), Path("no/such/folder/x.jpg"), false, false,
                                  true, false, jss420, 90),
                 EFCreateError);
    EXPECT_EQ(testing_support::ReadFileText(target), "old contents");
    ExpectFolderHolds({"target.jpg", "cut.jpg", "crowded.jpg"});
}

// Damaged source files through the whole path the save flow takes: the
// probe, then the save with what the probe allows. Each save either writes
// a whole JPEG or fails and leaves the target as it was.
TEST_F(SaveJPEGWithExifTest, DamagedSourcesNeverCrashOrHalfWriteTheTarget) {
    const std::vector<uint8_t> original = SaveFixtureBytes("exif_ii.jpg");
    const TBitmap picture = SourcePicture();
    const std::string source = Path("source.jpg"), target = Path("target.jpg");
    std::mt19937 random(77);
    int saved = 0;
    for (int round = 0; round < 200; ++round) {
        std::vector<uint8_t> bytes = original;
        for (int i = 0, n = 1 + int(random() % 4); i < n; ++i)
            bytes[2 + random() % 400] = static_cast<uint8_t>(random());
        if (round % 7 == 0) bytes.resize(2 + random() % 1200);
        testing_support::WriteFileText(source, std::string(bytes.begin(), bytes.end()));
        testing_support::WriteFileText(target, "old contents");
        const TExifProbe probe = ProbeExif(source);
        try {
            ASSERT_TRUE(SaveJPEGWithExif(picture, source, target, false, false, probe.HasExif, probe.HasThumbnail,
                                         round % 2 ? jss444 : jss420, 80));
            ++saved;
            const JPEGHeader written = LoadJPEG(ReadFileBytes(target));
            EXPECT_EQ(written.Width, picture.Width());
        } catch (const Exception&) {
            EXPECT_EQ(testing_support::ReadFileText(target), "old contents");
        }
    }
    EXPECT_GT(saved, 60);
    ExpectFolderHolds({"source.jpg", "target.jpg"});
}

}  // namespace
