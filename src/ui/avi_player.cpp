#include "ui/avi_player.h"

#include <QFile>
#include <QPixmap>

#include <algorithm>
#include <cmath>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace tw::ui {

namespace {

struct FormatCloser {
    void operator()(AVFormatContext* ctx) const { avformat_close_input(&ctx); }
};
struct CodecFreer {
    void operator()(AVCodecContext* ctx) const { avcodec_free_context(&ctx); }
};
struct FrameFreer {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct SwsFreer {
    void operator()(SwsContext* ctx) const { sws_freeContext(ctx); }
};

constexpr int kMinIntervalMs = 10;
constexpr int kMaxIntervalMs = 1000;
constexpr int kDefaultIntervalMs = 100;

int intervalOf(const AVStream* stream) {
    AVRational rate = stream->avg_frame_rate;
    if (rate.num <= 0 || rate.den <= 0)
        rate = stream->r_frame_rate;
    if (rate.num <= 0 || rate.den <= 0)
        return kDefaultIntervalMs;
    const double ms = 1000.0 / av_q2d(rate);
    return std::clamp(static_cast<int>(std::lround(ms)), kMinIntervalMs, kMaxIntervalMs);
}

class Decoder {
public:
    Decoder(AVCodecContext* codec, DecodedClip& clip, qsizetype maxBytes)
        : m_codec(codec), m_clip(clip), m_maxBytes(maxBytes), m_frame(av_frame_alloc()) {}

    // Sends one packet (nullptr flushes) and collects the frames it yields.
    // Returns false when decoding should stop (error or memory limit).
    bool feed(const AVPacket* packet) {
        if (!m_frame)
            return false;
        if (avcodec_send_packet(m_codec, packet) < 0)
            return packet != nullptr; // a bad packet is skipped; the clip may still have good ones
        for (;;) {
            const int rc = avcodec_receive_frame(m_codec, m_frame.get());
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF)
                return true;
            if (rc < 0)
                return false;
            const bool keep = convert();
            av_frame_unref(m_frame.get());
            if (!keep)
                return false;
        }
    }

private:
    bool convert() {
        const AVFrame* fr = m_frame.get();
        if (fr->width <= 0 || fr->height <= 0)
            return true;
        m_sws.reset(sws_getCachedContext(m_sws.release(), fr->width, fr->height, static_cast<AVPixelFormat>(fr->format),
                                         fr->width, fr->height, AV_PIX_FMT_RGB24, SWS_BILINEAR, nullptr, nullptr,
                                         nullptr));
        if (!m_sws)
            return false;
        QImage image(fr->width, fr->height, QImage::Format_RGB888);
        if (m_bytes + image.sizeInBytes() > m_maxBytes)
            return false;
        uint8_t* dst[4] = {image.bits(), nullptr, nullptr, nullptr};
        int stride[4] = {static_cast<int>(image.bytesPerLine()), 0, 0, 0};
        sws_scale(m_sws.get(), fr->data, fr->linesize, 0, fr->height, dst, stride);
        m_bytes += image.sizeInBytes();
        m_clip.frames.push_back(std::move(image));
        return true;
    }

    AVCodecContext* m_codec;
    DecodedClip& m_clip;
    qsizetype m_maxBytes;
    qsizetype m_bytes = 0;
    std::unique_ptr<AVFrame, FrameFreer> m_frame;
    std::unique_ptr<SwsContext, SwsFreer> m_sws;
};

} // namespace

DecodedClip decodeClip(const QString& path, qsizetype maxBytes) {
    DecodedClip clip;
    av_log_set_level(AV_LOG_ERROR);
    if (!QFile::exists(path)) {
        clip.error = QStringLiteral("no such file");
        return clip;
    }

    AVFormatContext* rawFormat = nullptr;
    if (avformat_open_input(&rawFormat, QFile::encodeName(path).constData(), nullptr, nullptr) < 0) {
        clip.error = QStringLiteral("not a readable media file");
        return clip;
    }
    std::unique_ptr<AVFormatContext, FormatCloser> format(rawFormat);
    if (avformat_find_stream_info(format.get(), nullptr) < 0) {
        clip.error = QStringLiteral("no stream information");
        return clip;
    }
    const AVCodec* codec = nullptr;
    const int streamIndex = av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (streamIndex < 0 || !codec) {
        clip.error = QStringLiteral("no decodable video stream");
        return clip;
    }
    const AVStream* stream = format->streams[streamIndex];
    std::unique_ptr<AVCodecContext, CodecFreer> codecCtx(avcodec_alloc_context3(codec));
    if (!codecCtx || avcodec_parameters_to_context(codecCtx.get(), stream->codecpar) < 0 ||
        avcodec_open2(codecCtx.get(), codec, nullptr) < 0) {
        clip.error = QStringLiteral("video decoder could not be opened");
        return clip;
    }
    clip.intervalMs = intervalOf(stream);

    Decoder decoder(codecCtx.get(), clip, maxBytes);
    std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
    bool going = static_cast<bool>(packet);
    while (going && av_read_frame(format.get(), packet.get()) >= 0) {
        if (packet->stream_index == streamIndex)
            going = decoder.feed(packet.get());
        av_packet_unref(packet.get());
    }
    if (going)
        decoder.feed(nullptr);
    if (clip.frames.empty())
        clip.error = QStringLiteral("no video frames decoded");
    return clip;
}

AviPlayer::AviPlayer(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignCenter);
    connect(&m_timer, &QTimer::timeout, this, &AviPlayer::advance);
}

bool AviPlayer::open(const QString& path) {
    close();
    m_clip = decodeClip(path);
    if (m_clip.frames.empty())
        return false;
    m_timer.setInterval(m_clip.intervalMs);
    showFrame(0);
    return true;
}

void AviPlayer::play() {
    if (isOpen())
        m_timer.start();
}

void AviPlayer::stop() {
    m_timer.stop();
}

void AviPlayer::close() {
    m_timer.stop();
    m_clip = DecodedClip{};
    m_current = 0;
    clear();
}

void AviPlayer::showFrame(int index) {
    m_current = index;
    setPixmap(QPixmap::fromImage(m_clip.frames[static_cast<std::size_t>(index)]));
}

void AviPlayer::advance() {
    if (!isOpen())
        return;
    showFrame((m_current + 1) % frameCount());
}

} // namespace tw::ui
