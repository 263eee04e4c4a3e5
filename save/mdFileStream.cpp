#include "save/mdFileStream.h"

#include "platform/Streams.h"

TmdFileStream::TmdFileStream(const std::string& fileName)
    : fileName_(fileName), file_(std::make_unique<TFileStream>(fileName, fmOpenRead)) {
    size_ = file_->Size();
    Reset(size_ == 0);
}

TmdFileStream::~TmdFileStream() = default;

int64_t TmdFileStream::Fill(int64_t position, uint8_t* buffer, int64_t count) {
    if (position >= size_) return 0;
    file_->SetPosition(position);
    return file_->Read(buffer, count);
}
