#include "platform/SafeFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"

namespace {

std::atomic<bool> gUnnamedFiles{true};

[[noreturn]] void CreateFailed(const std::string& fileName, int error) {
    throw EFCreateError(Format(PlatformMessages::FileCreate, fileName.c_str(), std::strerror(error)));
}

mode_t NewFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

// Writing through a link replaces what it points to, not the link; a link
// to nothing yet names the file to create. A loop cannot be written.
std::string ResolveTarget(const std::string& fileName) {
    std::string path = fileName;
    for (int hops = 0;; ++hops) {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        if (hops >= 40) CreateFailed(fileName, ELOOP);
        std::vector<char> target(PATH_MAX + 1);
        const ssize_t length = readlink(path.c_str(), target.data(), PATH_MAX);
        if (length < 0) CreateFailed(fileName, errno);
        const std::string next(target.data(), static_cast<size_t>(length));
        path = next.starts_with('/') ? next : ExtractFilePath(path) + next;
    }
}

// Temporary names that exist on disk while a write is under way, so that
// SIGINT and SIGTERM can remove them before the program ends. Only plain
// arrays and atomics: the handler may run at any point.
constexpr size_t kPendingSlots = 8;
enum : int { kFree = 0, kClaimed = 1, kOnDisk = 2 };
struct PendingName {
    std::atomic<int> state{kFree};
    char path[PATH_MAX] = {};
};
std::array<PendingName, kPendingSlots> gPending;

extern "C" void RemovePendingAndRaise(int signal) {
    for (PendingName& slot : gPending)
        if (slot.state.load() == kOnDisk) unlink(slot.path);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void InstallCleanupHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (const int signal : {SIGINT, SIGTERM}) {
            struct sigaction current {};
            // A program that handles the signal itself keeps its handler.
            if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
            struct sigaction action {};
            action.sa_handler = RemovePendingAndRaise;
            sigemptyset(&action.sa_mask);
            sigaction(signal, &action, nullptr);
        }
    });
}

// Holds a temporary name in a pending slot for its lifetime.
class TPendingName {
public:
    explicit TPendingName(const std::string& path) {
        if (path.size() >= PATH_MAX) return;
        for (PendingName& slot : gPending) {
            int expected = kFree;
            if (!slot.state.compare_exchange_strong(expected, kClaimed)) continue;
            std::memcpy(slot.path, path.c_str(), path.size() + 1);
            slot.state.store(kOnDisk);
            slot_ = &slot;
            return;
        }
    }
    ~TPendingName() {
        if (slot_) slot_->state.store(kFree);
    }
    TPendingName(const TPendingName&) = delete;
    TPendingName& operator=(const TPendingName&) = delete;

private:
    PendingName* slot_ = nullptr;
};

// ".NAME.tmpXXXXXX" beside the target, not yet on disk.
std::string TemporaryName(const std::string& target) {
    static std::mt19937_64 random(std::random_device{}());
    static std::mutex mutex;
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string name = ExtractFilePath(target) + "." + ExtractFileName(target) + ".tmp";
    std::lock_guard lock(mutex);
    for (int i = 0; i < 6; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
    return name;
}

// The new file takes the mode of the file it replaces and, where the
// process may give it, the owner.
void TakeOverAttributes(int fd, const std::string& target) {
    struct stat existing {};
    if (stat(target.c_str(), &existing) != 0) {
        fchmod(fd, NewFileMode());
        return;
    }
    if (fchown(fd, existing.st_uid, existing.st_gid) != 0) {
        // Not permitted: keep at least the group when it is one of ours.
        [[maybe_unused]] const int ignored = fchown(fd, static_cast<uid_t>(-1), existing.st_gid);
    }
    fchmod(fd, existing.st_mode & 07777);
}

void WriteAll(int fd, const std::string& fileName, const std::string& target,
              const std::function<void(TStream&)>& write) {
    TFileStream stream(fd, fileName);
    write(stream);
    stream.Flush();
    TakeOverAttributes(fd, target);
    stream.Close();
}

// An unnamed file in the target's folder, given its name only once complete:
// whatever ends the process before that, nothing is left behind.
bool WriteUnnamed(const std::string& fileName, const std::string& target,
                  const std::function<void(TStream&)>& write) {
    const std::string folder = ExtractFilePath(target);
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) return false;  // the file system has no unnamed files
    TFileStream stream(fd, fileName);
    write(stream);
    stream.Flush();
    TakeOverAttributes(fd, target);
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    // A link cannot replace a file: give the file a temporary name, then
    // rename it over the target.
    for (int attempt = 0;; ++attempt) {
        const std::string temporary = TemporaryName(target);
        TPendingName pending(temporary);
        if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            if (errno == EEXIST && attempt < 100) continue;
            CreateFailed(fileName, errno);
        }
        if (std::rename(temporary.c_str(), target.c_str()) != 0) {
            const int error = errno;
            unlink(temporary.c_str());
            CreateFailed(fileName, error);
        }
        break;
    }
    stream.Close();
    return true;
}

// A named temporary file, removed on every failure and on SIGINT or SIGTERM.
void WriteNamed(const std::string& fileName, const std::string& target,
                const std::function<void(TStream&)>& write) {
    InstallCleanupHandlers();
    std::string pattern = ExtractFilePath(target) + "." + ExtractFileName(target) + ".tmpXXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) CreateFailed(fileName, errno);
    const std::string temporary(name.data());
    TPendingName pending(temporary);
    try {
        WriteAll(fd, fileName, target, write);
        if (std::rename(temporary.c_str(), target.c_str()) != 0) CreateFailed(fileName, errno);
    } catch (...) {
        unlink(temporary.c_str());
        throw;
    }
}

}  // namespace

void WriteFileSafely(const std::string& fileName, const std::function<void(TStream&)>& write) {
    const std::string target = ResolveTarget(fileName);
    struct stat existing {};
    const bool exists = stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) CreateFailed(fileName, EISDIR);
    if (exists && !S_ISREG(existing.st_mode)) {
        // A device or a pipe has no contents to protect, and renaming over
        // it would replace the node itself: write straight into it.
        TFileStream stream(target, fmCreate);
        write(stream);
        stream.Close();
        return;
    }
    if (gUnnamedFiles.load() && WriteUnnamed(fileName, target, write)) return;
    WriteNamed(fileName, target, write);
}

void SetUnnamedTemporaryFiles(bool enabled) { gUnnamedFiles.store(enabled); }
