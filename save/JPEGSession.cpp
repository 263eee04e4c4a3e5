#include "save/JPEGSession.h"

#include <algorithm>
#include <cmath>
#include <jerror.h>

#include "platform/Bitmap.h"
#include "platform/Exceptions.h"
#include "platform/SysUtils.h"

std::string JPEGErrorMessage(int code, const std::string& text) {
    if (text.empty()) return Format("JPEG error #%d", code);
    return Format("JPEG error #%d: %s", code, text.c_str());
}

std::string JPEGErrorMessage(int code) {
    char text[JMSG_LENGTH_MAX] = "";
    vx_jpeg_message_text(code, text);
    return JPEGErrorMessage(code, text);
}

extern "C" int VorlixJPEGProgress(void* context, j_common_ptr cinfo) noexcept {
    auto* session = static_cast<TJPEGSession*>(context);
    try {
        if (session->progress_ && cinfo->progress) session->progress_(*cinfo->progress);
        return 0;
    } catch (...) {
        session->stopped_ = std::current_exception();
        return 1;
    }
}

void TJPEGSession::Check(int status) {
    if (status == VX_JPEG_OK) return;
    if (status == VX_JPEG_STOPPED && stopped_) {
        std::exception_ptr stopped = stopped_;
        stopped_ = nullptr;
        std::rethrow_exception(stopped);
    }
    throw EJPEG(guard_.message[0] ? JPEGErrorMessage(guard_.code, guard_.message) : JPEGErrorMessage(guard_.code));
}

// ---------------------------------------------------------------------------

TJPEGDecompressor::TJPEGDecompressor() {
    guard_.max_scans = MaxScans;
    guard_.context = this;
    guard_.on_progress = VorlixJPEGProgress;
    const int status = vx_jpeg_create_decompress(&guard_, &info_);
    if (status != VX_JPEG_OK) {
        vx_jpeg_destroy(reinterpret_cast<j_common_ptr>(&info_));
        Check(status);
    }
    // A progressive file keeps every coefficient (2 bytes a sample) until the
    // last scan: twice what the bitmap of the same picture may hold, plus
    // room for the row buffers.
    info_.mem->max_memory_to_use = static_cast<long>(2 * TBitmap::MaxPixelBytes() + (64u << 20));
}

TJPEGDecompressor::~TJPEGDecompressor() { vx_jpeg_destroy(reinterpret_cast<j_common_ptr>(&info_)); }

void TJPEGDecompressor::SetSource(const uint8_t* bytes, size_t size) {
    sourceSize_ = size;
    Check(vx_jpeg_mem_src(&info_, bytes, static_cast<unsigned long>(size)));
}

void TJPEGDecompressor::ReadHeader() {
    int result = 0;
    Check(vx_jpeg_read_header(&info_, 1, &result));
    if (info_.arith_code) return;  // arithmetic coding can spend less than a bit on a block
    uint64_t fewestBlocks = UINT64_MAX;
    for (int i = 0; i < info_.num_components; ++i) {
        const jpeg_component_info& component = info_.comp_info[i];
        fewestBlocks = std::min(fewestBlocks, uint64_t{component.width_in_blocks} * component.height_in_blocks);
    }
    if (fewestBlocks / 8 > sourceSize_) throw EJPEG(JPEGErrorMessage(JERR_INPUT_EOF));
}

bool TJPEGDecompressor::HasMultipleScans() {
    int result = 0;
    Check(vx_jpeg_has_multiple_scans(&info_, &result));
    return result != 0;
}

void TJPEGDecompressor::CalcOutputDimensions() { Check(vx_jpeg_calc_output_dimensions(&info_)); }
void TJPEGDecompressor::StartDecompress() { Check(vx_jpeg_start_decompress(&info_)); }

bool TJPEGDecompressor::InputComplete() {
    int result = 0;
    Check(vx_jpeg_input_complete(&info_, &result));
    return result != 0;
}

void TJPEGDecompressor::StartOutput(int scanNumber) { Check(vx_jpeg_start_output(&info_, scanNumber)); }

unsigned TJPEGDecompressor::ReadScanlines(uint8_t** rows, unsigned maxLines) {
    JDIMENSION lines = 0;
    Check(vx_jpeg_read_scanlines(&info_, rows, maxLines, &lines));
    return lines;
}

void TJPEGDecompressor::FinishOutput() { Check(vx_jpeg_finish_output(&info_)); }
void TJPEGDecompressor::FinishDecompress() { Check(vx_jpeg_finish_decompress(&info_)); }

// ---------------------------------------------------------------------------

TJPEGCompressor::TJPEGCompressor() {
    guard_.context = this;
    guard_.on_progress = VorlixJPEGProgress;
    const int status = vx_jpeg_create_compress(&guard_, &info_);
    if (status != VX_JPEG_OK) {
        vx_jpeg_destroy(reinterpret_cast<j_common_ptr>(&info_));
        Check(status);
    }
    vx_jpeg_set_memory_dest(&info_, &dest_);
}

TJPEGCompressor::~TJPEGCompressor() {
    vx_jpeg_destroy(reinterpret_cast<j_common_ptr>(&info_));
    vx_jpeg_memory_dest_free(&dest_);
}

void TJPEGCompressor::SetDefaults() { Check(vx_jpeg_set_defaults(&info_)); }
void TJPEGCompressor::SetQuality(int quality, bool forceBaseline) {
    Check(vx_jpeg_set_quality(&info_, quality, forceBaseline ? 1 : 0));
}
void TJPEGCompressor::SetColorspace(J_COLOR_SPACE colorspace) { Check(vx_jpeg_set_colorspace(&info_, colorspace)); }
void TJPEGCompressor::SimpleProgression() { Check(vx_jpeg_simple_progression(&info_)); }
void TJPEGCompressor::StartCompress(bool writeAllTables) {
    Check(vx_jpeg_start_compress(&info_, writeAllTables ? 1 : 0));
}

unsigned TJPEGCompressor::WriteScanlines(uint8_t** rows, unsigned count) {
    JDIMENSION lines = 0;
    Check(vx_jpeg_write_scanlines(&info_, rows, count, &lines));
    return lines;
}

void TJPEGCompressor::FinishCompress() { Check(vx_jpeg_finish_compress(&info_)); }

std::vector<uint8_t> TJPEGCompressor::Output() const {
    if (!dest_.buffer) return {};
    return std::vector<uint8_t>(dest_.buffer, dest_.buffer + dest_.size);
}

// ---------------------------------------------------------------------------

int JPEGProgressPercent(const jpeg_progress_mgr& progress) {
    if (progress.total_passes <= 0) return 0;
    double done = progress.completed_passes;
    if (progress.pass_limit > 0) done += static_cast<double>(progress.pass_counter) / static_cast<double>(progress.pass_limit);
    return static_cast<int>(std::nearbyint(done * 100.0 / progress.total_passes));
}

bool TProgressThrottle::Due(uint32_t nowTick, int percent) {
    if (nowTick - last_ < interval_ || percent == lastPercent_) return false;
    last_ = nowTick;
    lastPercent_ = percent;
    return true;
}
