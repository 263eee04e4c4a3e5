#include "save/WriterGuard.h"

namespace {
// The program runs its saves on one thread, one at a time.
struct TLastFailure {
    std::string Message;
    std::exception_ptr Exception;
};
TLastFailure& Last() {
    static TLastFailure last;
    return last;
}
}  // namespace

bool GuardWriter(const std::function<void()>& write) {
    Last() = {};
    try {
        write();
        return true;
    } catch (const std::exception& e) {
        Last() = {e.what(), std::current_exception()};
    } catch (...) {
        Last() = {{}, std::current_exception()};
    }
    if (Last().Message.empty()) Last().Message = "unknown error";
    return false;
}

const std::string& LastWriterFailure() { return Last().Message; }

std::exception_ptr LastWriterException() { return Last().Exception; }

void SetLastWriterFailure(std::string message) { Last() = {std::move(message), nullptr}; }
