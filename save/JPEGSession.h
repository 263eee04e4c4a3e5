#pragma once
// libjpeg objects with their lifetime and their errors in C++ terms: each
// call goes through the C boundary and a failure comes back as EJPEG
// "JPEG error #%d" with libjpeg's message code, or as whatever the progress
// handler raised. The object is destroyed on every path by the destructor.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "save/JPEGBoundary.h"

// The text of EJPEG: "JPEG error #code", then libjpeg's own text for the
// code (or the given one).
std::string JPEGErrorMessage(int code);
std::string JPEGErrorMessage(int code, const std::string& text);

// The progress callback handed to the C side.
extern "C" int VorlixJPEGProgress(void* context, j_common_ptr cinfo) noexcept;

class TJPEGSession {
public:
    // Called from libjpeg's progress monitor; an exception it raises stops
    // the operation and is raised again from the call in progress.
    using ProgressHandler = std::function<void(const jpeg_progress_mgr& progress)>;

    TJPEGSession(const TJPEGSession&) = delete;
    TJPEGSession& operator=(const TJPEGSession&) = delete;

    void SetProgressHandler(ProgressHandler handler) { progress_ = std::move(handler); }
    // The number of warnings libjpeg has counted so far.
    long Warnings() const { return guard_.errors.num_warnings; }
    // The data ran out before the picture was complete; what is missing is
    // as libjpeg fills it.
    bool EndedEarly() const { return guard_.ended_early != 0; }

protected:
    TJPEGSession() = default;
    ~TJPEGSession() = default;
    void Check(int status);

    vx_jpeg_guard guard_{};

private:
    friend int ::VorlixJPEGProgress(void* context, j_common_ptr cinfo) noexcept;
    ProgressHandler progress_;
    std::exception_ptr stopped_;
};

class TJPEGDecompressor : public TJPEGSession {
public:
    // Scans allowed in one file; more fail as an oversized picture.
    static constexpr int MaxScans = 500;

    // The decompressor's own memory is limited in step with the bitmap cap.
    TJPEGDecompressor();
    ~TJPEGDecompressor();

    jpeg_decompress_struct& Info() { return info_; }

    // bytes must stay alive while the decompressor reads them.
    void SetSource(const uint8_t* bytes, size_t size);
    // Reads the header up to the first scan and refuses a Huffman-coded
    // file too short for the picture its header announces: every block of
    // a first scan costs at least one bit.
    void ReadHeader();
    bool HasMultipleScans();
    void CalcOutputDimensions();
    void StartDecompress();
    bool InputComplete();
    void StartOutput(int scanNumber);
    unsigned ReadScanlines(uint8_t** rows, unsigned maxLines);
    void FinishOutput();
    void FinishDecompress();

private:
    jpeg_decompress_struct info_{};
    size_t sourceSize_ = 0;
};

class TJPEGCompressor : public TJPEGSession {
public:
    TJPEGCompressor();
    ~TJPEGCompressor();

    jpeg_compress_struct& Info() { return info_; }

    void SetDefaults();
    void SetQuality(int quality, bool forceBaseline);
    void SetColorspace(J_COLOR_SPACE colorspace);
    void SimpleProgression();
    // The output goes into a memory buffer that Output() hands over.
    void StartCompress(bool writeAllTables);
    unsigned WriteScanlines(uint8_t** rows, unsigned count);
    void FinishCompress();
    std::vector<uint8_t> Output() const;

private:
    jpeg_compress_struct info_{};
    vx_jpeg_memory_dest dest_{};
};

// Percentage of a libjpeg operation: (completed passes + pass counter /
// pass limit) x 100 / total passes, to the nearest integer (ties to even).
int JPEGProgressPercent(const jpeg_progress_mgr& progress);

// Lets a progress report through at most once per interval and only when
// its percentage changed since the last report let through (or since 0,
// where every operation starts).
class TProgressThrottle {
public:
    TProgressThrottle(uint32_t startTick, uint32_t intervalMs = 500) : last_(startTick), interval_(intervalMs) {}
    bool Due(uint32_t nowTick, int percent);

private:
    uint32_t last_;
    uint32_t interval_;
    int lastPercent_ = 0;
};
