#include "platform/Exceptions.h"

// The classes are header-only; this unit anchors their type information in
// the core library.

#include <atomic>

namespace {
std::atomic<bool> gEnglishPlatformTexts{false};
}  // namespace

void SetEnglishPlatformTexts(bool english) { gEnglishPlatformTexts.store(english); }
bool EnglishPlatformTexts() { return gEnglishPlatformTexts.load(); }
