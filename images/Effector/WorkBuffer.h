#pragma once
// Work memory of the filters: a failed allocation is the platform's
// out-of-memory error, like a picture that cannot be allocated.

#include <cstddef>
#include <new>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Exceptions.h"

template <typename T>
std::vector<T> MakeWorkBuffer(size_t count) {
    if (count > TBitmap::MaxPixelBytes() / sizeof(T)) throw EOutOfMemory(PlatformMessages::OutOfMemory);
    try {
        return std::vector<T>(count);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory(PlatformMessages::OutOfMemory);
    }
}
