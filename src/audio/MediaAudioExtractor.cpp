#include "audio/MediaAudioExtractor.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/AudioResampler.h"
#include "platform/DebugLog.h"
#include "audio/LibavHandles.h"
#include "audio/OggOpus.h"

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

namespace MediaAudioExtractor {
namespace {

constexpr int kRate = 16000;
constexpr int kBitrate = 24000;
// The reader's status numbers as the log has always written them.
constexpr int kStatusFailed = 3;

const QString kTag = QStringLiteral("[FileTranscribe] extract");

struct FormatCloser {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};

QString avError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromUtf8(text);
}

// The first audio stream in the file's own order (not the one libav would
// rank best), or -1.
int firstAudioStream(const AVFormatContext* format) {
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        if (format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) return int(i);
    }
    return -1;
}

// Progress reporting and its log line every ten per cent.
class Progress {
public:
    Progress(const AVFormatContext* format, const AVStream* stream, QString fileName,
             const std::function<void(double)>& onProgress)
        : m_fileName(std::move(fileName)), m_onProgress(onProgress) {
        if (format->duration != AV_NOPTS_VALUE && format->duration > 0)
            m_duration = double(format->duration) / AV_TIME_BASE;
        if (format->start_time != AV_NOPTS_VALUE)
            m_start = double(format->start_time) / AV_TIME_BASE;
        m_timeBase = av_q2d(stream->time_base);
    }

    // One decoded frame; samples counts those decoded before it.
    void frame(const AVFrame* f, qint64 samplesBefore, int sampleRate) {
        if (m_duration <= 0) return;
        double seconds;
        if (f->best_effort_timestamp != AV_NOPTS_VALUE)
            seconds = double(f->best_effort_timestamp) * m_timeBase - m_start;
        else
            seconds = sampleRate > 0 ? double(samplesBefore) / sampleRate : 0;
        double percent = seconds / m_duration * 100.0;
        if (std::isnan(percent) || percent > 100) percent = 100;
        percent = std::max({percent, 0.0, m_last});
        m_last = percent;
        if (m_onProgress) m_onProgress(percent);
        const int p = int(percent);
        if (p - m_lastLogged >= 10) {
            debugLog(QStringLiteral("[FileTranscribe] extract progress: ") + QString::number(p) +
                     QStringLiteral("% (") + m_fileName + QStringLiteral(")"));
            m_lastLogged = p;
        }
    }

private:
    QString m_fileName;
    const std::function<void(double)>& m_onProgress;
    double m_duration = 0;
    double m_start = 0;
    double m_timeBase = 0;
    double m_last = 0;
    int m_lastLogged = -10;
};


// Encoding costs several times what decoding does, so the encoder runs on its
// own thread while the next packets are decoded. The queue between them is
// bounded (about 6 s of sound), which keeps memory flat for any file length.
class EncoderFeed {
public:
    explicit EncoderFeed(OggOpusStream& stream) : m_stream(stream), m_thread([this] { run(); }) {}
    ~EncoderFeed() { close(); }
    EncoderFeed(const EncoderFeed&) = delete;
    EncoderFeed& operator=(const EncoderFeed&) = delete;

    void push(std::vector<uint8_t>& pcm) {
        if (pcm.empty()) return;
        QByteArray chunk(reinterpret_cast<const char*>(pcm.data()), qsizetype(pcm.size()));
        pcm.clear();
        std::unique_lock lock(m_lock);
        m_space.wait(lock, [this] { return m_queue.size() < kMaxChunks; });
        m_queue.push_back(std::move(chunk));
        m_ready.notify_one();
    }

    // Waits until everything pushed has reached the stream.
    void close() {
        {
            std::lock_guard lock(m_lock);
            m_closed = true;
        }
        m_ready.notify_one();
        if (m_thread.joinable()) m_thread.join();
    }

private:
    static constexpr size_t kMaxChunks = 256;

    void run() {
        for (;;) {
            QByteArray chunk;
            {
                std::unique_lock lock(m_lock);
                m_ready.wait(lock, [this] { return !m_queue.empty() || m_closed; });
                if (m_queue.empty()) return;
                chunk = std::move(m_queue.front());
                m_queue.pop_front();
            }
            m_space.notify_one();
            m_stream.append(chunk);
        }
    }

    OggOpusStream& m_stream;
    std::mutex m_lock;
    std::condition_variable m_ready, m_space;
    std::deque<QByteArray> m_queue;
    bool m_closed = false;
    std::thread m_thread;  // last: it starts once the rest exists
};

}  // namespace

std::optional<QByteArray> extractOpusAudio(const QString& filePath,
                                           const std::function<void(double)>& onProgress) {
    const QString fileName = QFileInfo(filePath).fileName();
    // Decoder chatter about damaged or unusual files is not the user's concern.
    av_log_set_level(AV_LOG_ERROR);
    // "file:" keeps a name with a colon from being taken for a protocol.
    const QByteArray url = "file:" + QFile::encodeName(filePath);
    AVFormatContext* rawFormat = nullptr;
    std::unique_ptr<AVFormatContext, FormatCloser> format;
    int streamIndex = -1;
    if (avformat_open_input(&rawFormat, url.constData(), nullptr, nullptr) >= 0) {
        format.reset(rawFormat);
        if (avformat_find_stream_info(format.get(), nullptr) >= 0)
            streamIndex = firstAudioStream(format.get());
    }
    if (streamIndex < 0) {
        debugLog(kTag + QStringLiteral(": нет звуковой дорожки в ") + fileName);
        return std::nullopt;
    }
    // Only the chosen stream's packets are worth demuxing.
    for (unsigned i = 0; i < format->nb_streams; ++i)
        format->streams[i]->discard = int(i) == streamIndex ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    AVStream* stream = format->streams[streamIndex];

    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    libav::Codec decoder(codec ? avcodec_alloc_context3(codec) : nullptr);
    if (!decoder || avcodec_parameters_to_context(decoder.get(), stream->codecpar) < 0) {
        debugLog(kTag + QStringLiteral(": AVAssetReader init failed"));
        return std::nullopt;
    }
    const int opened = avcodec_open2(decoder.get(), codec, nullptr);
    if (opened < 0) {
        debugLog(kTag + QStringLiteral(": startReading failed: ") + avError(opened));
        return std::nullopt;
    }
    // The conversion to 16 kHz mono 16-bit; made again if a frame's layout
    // differs from the one before.
    int inRate = decoder->sample_rate, inFormat = decoder->sample_fmt,
        inChannels = decoder->ch_layout.nb_channels;
    std::unique_ptr<AudioResampler> resampler =
        AudioResampler::create(inRate, inFormat, inChannels, kRate, AV_SAMPLE_FMT_S16);
    if (!resampler) {
        debugLog(kTag + QStringLiteral(": reader.canAdd(output) == false"));
        return std::nullopt;
    }
    std::unique_ptr<OggOpusStream> opus = OggOpusStream::create(kRate, kBitrate);
    if (!opus) return std::nullopt;

    libav::Packet packet(av_packet_alloc());
    libav::Frame frame(av_frame_alloc());
    if (!packet || !frame) {
        debugLog(kTag + QStringLiteral(": AVAssetReader init failed"));
        return std::nullopt;
    }

    Progress progress(format.get(), stream, fileName, onProgress);
    std::vector<uint8_t> pcm;
    qint64 samplesDecoded = 0;
    EncoderFeed feed(*opus);
    auto hand = [&] { feed.push(pcm); };
    auto failed = [&](int code) -> std::optional<QByteArray> {
        debugLog(kTag + QStringLiteral(": reader status ") + QString::number(kStatusFailed) +
                 QStringLiteral(", error: ") + avError(code));
        return std::nullopt;
    };
    // Pulls every frame the decoder has ready; an error code or 0.
    auto receive = [&]() -> int {
        for (;;) {
            const int rc = avcodec_receive_frame(decoder.get(), frame.get());
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return 0;
            if (rc < 0) return rc;
            const int channels = frame->ch_layout.nb_channels;
            if (frame->sample_rate != inRate || frame->format != inFormat ||
                channels != inChannels) {
                if (!resampler->drain(pcm)) return AVERROR(EINVAL);
                inRate = frame->sample_rate;
                inFormat = frame->format;
                inChannels = channels;
                resampler =
                    AudioResampler::create(inRate, inFormat, inChannels, kRate, AV_SAMPLE_FMT_S16);
                if (!resampler) return AVERROR(EINVAL);
            }
            const bool ok = resampler->convert(frame->extended_data, frame->nb_samples, pcm);
            progress.frame(frame.get(), samplesDecoded, inRate);
            samplesDecoded += frame->nb_samples;
            av_frame_unref(frame.get());
            if (!ok) return AVERROR(EINVAL);
            hand();
        }
    };

    for (;;) {
        const int rc = av_read_frame(format.get(), packet.get());
        if (rc == AVERROR_EOF) break;
        if (rc < 0) return failed(rc);
        if (packet->stream_index != streamIndex) {
            av_packet_unref(packet.get());
            continue;
        }
        const int sent = avcodec_send_packet(decoder.get(), packet.get());
        av_packet_unref(packet.get());
        // A damaged packet is skipped as players do; the stream goes on.
        if (sent < 0 && sent != AVERROR(EAGAIN) && sent != AVERROR_INVALIDDATA) return failed(sent);
        if (const int r = receive(); r < 0 && r != AVERROR_INVALIDDATA) return failed(r);
    }
    avcodec_send_packet(decoder.get(), nullptr);
    if (const int r = receive(); r < 0 && r != AVERROR_INVALIDDATA) return failed(r);
    if (!resampler->drain(pcm)) return failed(AVERROR(EINVAL));
    hand();
    feed.close();

    std::optional<QByteArray> file = opus->finish();
    if (!file) {
        debugLog(kTag + QStringLiteral(": OggOpusStream.finish() returned nil"));
        return std::nullopt;
    }
    debugLog(QStringLiteral("[FileTranscribe] extract OK: ") + fileName + QStringLiteral(" -> ") +
             QString::number(file->size() / 1024) + QStringLiteral(" KB"));
    return file;
}

}  // namespace MediaAudioExtractor
