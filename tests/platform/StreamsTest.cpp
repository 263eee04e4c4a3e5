#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/Exceptions.h"
#include "platform/SafeFileWriter.h"
#include "platform/Streams.h"
#include "support/TestFolders.h"

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

namespace {

std::string TextOf(const std::filesystem::path& path) {
    TMemoryStream stream;
    stream.LoadFromFile(path.string());
    return std::string(stream.Bytes().begin(), stream.Bytes().end());
}

size_t EntriesIn(const std::filesystem::path& folder) {
    return size_t(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()));
}

}  // namespace

TEST(Streams, OnlyRegularFilesOpenAndPipesNeverBlock) {
    testing_support::TempFolder folder("vorlix-streams");
    const auto fifo = folder.Path() / "x.png";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::pair<std::filesystem::path, const char*> cases[] = {
        {folder.Path(), "Is a directory"},
        {fifo, "not a regular file"},
        {"/dev/null", "not a regular file"},
    };
    for (const auto& [path, reason] : cases) {
        try {
            TFileStream stream(path.string(), fmOpenRead);
            ADD_FAILURE() << path;
        } catch (const EFOpenError& e) {
            EXPECT_NE(std::string(e.what()).find(path.string()), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
        }
    }
}

TEST(Streams, WriteErrorsNameTheirReason) {
    if (!std::filesystem::is_character_file("/dev/full")) GTEST_SKIP() << "no /dev/full";
    // A device is written straight into, never replaced.
    try {
        WriteFileSafely("/dev/full", [](TStream& stream) {
            const std::vector<uint8_t> bytes(1 << 16, 1);
            stream.WriteBuffer(bytes.data(), int64_t(bytes.size()));
        });
        FAIL();
    } catch (const EWriteError& e) {
        EXPECT_STREQ(e.what(), "Stream write error: No space left on device");
    }
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}

TEST(Streams, SafeWriterFollowsLinksAndKeepsModeAndOwner) {
    testing_support::TempFolder folder("vorlix-safe-writer");
    namespace fs = std::filesystem;
    const fs::path real = folder.Path() / "real.bin";
    WriteFileSafely(real.string(), [](TStream& s) { s.WriteString("old"); });
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("real.bin", folder.Path() / "link.bin");
    WriteFileSafely((folder.Path() / "link.bin").string(), [](TStream& s) { s.WriteString("new"); });
    EXPECT_TRUE(fs::is_symlink(folder.Path() / "link.bin"));
    EXPECT_EQ(TextOf(real), "new");
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // A link to nothing yet names the file to write.
    fs::create_symlink("later.bin", folder.Path() / "dangling.bin");
    WriteFileSafely((folder.Path() / "dangling.bin").string(), [](TStream& s) { s.WriteString("made"); });
    EXPECT_TRUE(fs::is_symlink(folder.Path() / "dangling.bin"));
    EXPECT_EQ(TextOf(folder.Path() / "later.bin"), "made");

    // A loop and a folder cannot be written; nothing is left behind.
    fs::create_symlink("loop2", folder.Path() / "loop1");
    fs::create_symlink("loop1", folder.Path() / "loop2");
    EXPECT_THROW(WriteFileSafely((folder.Path() / "loop1").string(), [](TStream& s) { s.WriteString("x"); }),
                 EFCreateError);
    fs::create_directory(folder.Path() / "sub");
    EXPECT_THROW(WriteFileSafely((folder.Path() / "sub").string(), [](TStream& s) { s.WriteString("x"); }),
                 EFCreateError);
    EXPECT_EQ(EntriesIn(folder.Path()), 7u);
}

// A write killed halfway, with unnamed temporary files and without them
// (where only SIGINT and SIGTERM can be caught), leaves the folder as it was.
TEST(Streams, AnInterruptedSafeWriteLeavesNothing) {
    for (const auto& [unnamed, signal] : {std::pair{true, SIGKILL}, {false, SIGTERM}, {false, SIGINT}}) {
        SCOPED_TRACE(::testing::Message() << "unnamed " << unnamed << ", signal " << signal);
        testing_support::TempFolder folder("vorlix-killed-write");
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SetUnnamedTemporaryFiles(unnamed);
            WriteFileSafely((folder.Path() / "big.bin").string(), [&](TStream& s) {
                const std::vector<uint8_t> chunk(1 << 20, 7);
                s.WriteBuffer(chunk.data(), int64_t(chunk.size()));
                [[maybe_unused]] const ssize_t n = write(ready[1], "x", 1);
                for (;;) pause();
            });
            _exit(0);
        }
        char byte = 0;
        ASSERT_EQ(read(ready[0], &byte, 1), 1);
        kill(child, signal);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status));
        close(ready[0]);
        close(ready[1]);
        EXPECT_EQ(EntriesIn(folder.Path()), 0u);
    }
}
