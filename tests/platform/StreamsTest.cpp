#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Exceptions.h"
#include "platform/SafeFileWriter.h"
#include "platform/Streams.h"

TEST(Streams, ShortReadsRaiseAndPartialReadsReport) {
    TMemoryStream stream(std::vector<uint8_t>{1, 2, 3});
    uint8_t buffer[4] = {};
    EXPECT_EQ(stream.Read(buffer, 4), 3);
    stream.SetPosition(1);
    EXPECT_EQ(stream.ReadWordLE(), 0x0302);
    EXPECT_THROW(stream.ReadByte(), EReadError);
    stream.SetPosition(0);
    EXPECT_EQ(stream.ReadWordBE(), 0x0102);
}

TEST(Streams, MemoryStreamGrowsOnWriteBeyondItsEnd) {
    TMemoryStream stream;
    stream.SetPosition(2);
    stream.WriteDWordLE(0x04030201);
    EXPECT_EQ(stream.Bytes(), (std::vector<uint8_t>{0, 0, 1, 2, 3, 4}));
}

TEST(Streams, FileErrorsNameTheFile) {
    try {
        TFileStream stream("/nonexistent/dir/x.bin", fmOpenRead);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent/dir/x.bin"), std::string::npos);
    }
    EXPECT_THROW(TFileStream("/nonexistent/dir/x.bin", fmCreate), EFCreateError);
}

TEST(Streams, SafeWriterLeavesTheOldFileWhenWritingFails) {
    const auto folder = std::filesystem::temp_directory_path() / "vorlix-safe-writer";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string target = (folder / "out.bin").string();
    WriteFileSafely(target, [](TStream& s) { s.WriteString("old"); });
    EXPECT_THROW(WriteFileSafely(target,
                                 [](TStream& s) {
                                     s.WriteString("partial");
                                     throw EInvalidGraphic("encoder failed");
                                 }),
                 EInvalidGraphic);
    TMemoryStream check;
    check.LoadFromFile(target);
    EXPECT_EQ(check.Bytes(), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1);
    std::filesystem::remove_all(folder);
}
