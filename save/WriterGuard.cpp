#include "save/WriterGuard.h"

#include <exception>

namespace {
// The program runs its saves on one thread, one at a time.
std::string& FailureText() {
    static std::string text;
    return text;
}
}  // namespace

bool GuardWriter(const std::function<void()>& write) {
    FailureText().clear();
    try {
        write();
        return true;
    } catch (const std::exception& e) {
        FailureText() = e.what();
    } catch (...) {
        FailureText() = "unknown error";
    }
    if (FailureText().empty()) FailureText() = "unknown error";
    return false;
}

const std::string& LastWriterFailure() { return FailureText(); }

void SetLastWriterFailure(std::string message) { FailureText() = std::move(message); }
