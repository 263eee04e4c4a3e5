#include "save/mdMemoryStream.h"

#include <algorithm>
#include <cstring>

#include "platform/Streams.h"

TmdMemoryStream::TmdMemoryStream(TStream& source) {
    source.SetPosition(0);
    bytes_.resize(static_cast<size_t>(std::max<int64_t>(source.Size(), 0)));
    source.ReadBuffer(bytes_.data(), static_cast<int64_t>(bytes_.size()));
    Reset(bytes_.empty());
}

int64_t TmdMemoryStream::Fill(int64_t position, uint8_t* buffer, int64_t count) {
    if (position >= Size()) return 0;
    const int64_t n = std::min(count, Size() - position);
    std::memcpy(buffer, bytes_.data() + position, static_cast<size_t>(n));
    return n;
}
