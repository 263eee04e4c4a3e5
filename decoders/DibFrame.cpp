#include "decoders/DibFrame.h"

#include <cstring>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace {

// A frame larger than this is refused rather than converted: the program
// could not take such a picture anyway.
constexpr uint64_t kMaxDibBytes = uint64_t{1} << 30;

struct FormatCloser {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecCloser {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFreer {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFreer {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct ScalerFreer {
    void operator()(SwsContext* s) const { sws_freeContext(s); }
};

void Put16(uint8_t* p, uint16_t v) { p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); }
void Put32(uint8_t* p, uint32_t v) { Put16(p, uint16_t(v)); Put16(p + 2, uint16_t(v >> 16)); }

// Decodes until frameIndex frames have come out (0: the first), feeding
// packets of the chosen stream and draining at the end of the file.
bool DecodeFrame(AVFormatContext* format, AVCodecContext* codec, int stream, int frameIndex, AVFrame* frame) {
    std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
    if (!packet) return false;
    int seen = 0;
    bool draining = false;
    for (;;) {
        if (!draining) {
            const int read = av_read_frame(format, packet.get());
            if (read < 0) {
                draining = true;
                avcodec_send_packet(codec, nullptr);
            } else {
                const bool ours = packet->stream_index == stream;
                if (ours && avcodec_send_packet(codec, packet.get()) < 0) {
                    av_packet_unref(packet.get());
                    return false;
                }
                av_packet_unref(packet.get());
                if (!ours) continue;
            }
        }
        for (;;) {
            const int got = avcodec_receive_frame(codec, frame);
            if (got == AVERROR(EAGAIN)) break;
            if (got < 0) return false;  // the end, or a decoding error
            if (seen++ == frameIndex) return true;
            av_frame_unref(frame);
        }
        if (draining) return false;
    }
}

}  // namespace

std::vector<uint8_t> DecodeFirstFrameAsDib(const char* fileName, int frameIndex) {
    if (!fileName || frameIndex < 0) return {};
    av_log_set_level(AV_LOG_QUIET);  // the program reports failures itself

    AVFormatContext* rawFormat = nullptr;
    if (avformat_open_input(&rawFormat, fileName, nullptr, nullptr) < 0) return {};
    std::unique_ptr<AVFormatContext, FormatCloser> format(rawFormat);
    if (avformat_find_stream_info(format.get(), nullptr) < 0) return {};
    const AVCodec* decoder = nullptr;
    const int stream = av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (stream < 0 || !decoder) return {};

    std::unique_ptr<AVCodecContext, CodecCloser> codec(avcodec_alloc_context3(decoder));
    if (!codec) return {};
    if (avcodec_parameters_to_context(codec.get(), format->streams[stream]->codecpar) < 0) return {};
    codec->thread_count = 1;
    if (avcodec_open2(codec.get(), decoder, nullptr) < 0) return {};

    std::unique_ptr<AVFrame, FrameFreer> frame(av_frame_alloc());
    if (!frame || !DecodeFrame(format.get(), codec.get(), stream, frameIndex, frame.get())) return {};

    const int width = frame->width;
    const int height = frame->height;
    if (width <= 0 || height <= 0) return {};
    const uint64_t rowBytes = (uint64_t(width) * 3 + 3) / 4 * 4;
    if (rowBytes * uint64_t(height) > kMaxDibBytes) return {};

    std::unique_ptr<SwsContext, ScalerFreer> scaler(
        sws_getContext(width, height, AVPixelFormat(frame->format), width, height, AV_PIX_FMT_BGR24,
                       SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr, nullptr, nullptr));
    if (!scaler) return {};

    std::vector<uint8_t> dib(40 + rowBytes * uint64_t(height), 0);
    uint8_t* header = dib.data();
    Put32(header, 40);
    Put32(header + 4, uint32_t(width));
    Put32(header + 8, uint32_t(height));  // positive: bottom row first
    Put16(header + 12, 1);
    Put16(header + 14, 24);
    Put32(header + 20, uint32_t(rowBytes * uint64_t(height)));
    // Writing the last row first with a negative step stores the picture
    // bottom-up as the header says.
    uint8_t* bottomRow = dib.data() + 40 + rowBytes * uint64_t(height - 1);
    uint8_t* planes[4] = {bottomRow, nullptr, nullptr, nullptr};
    int strides[4] = {-int(rowBytes), 0, 0, 0};
    if (sws_scale(scaler.get(), frame->data, frame->linesize, 0, height, planes, strides) != height) return {};
    return dib;
}
