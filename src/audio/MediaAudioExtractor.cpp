#include "audio/MediaAudioExtractor.h"

#include <QFile>
#include <QFileInfo>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "audio/MediaModule.h"
#include "audio/OggOpus.h"
#include "platform/DebugLog.h"

namespace MediaAudioExtractor {
namespace {

constexpr int kRate = 16000;
constexpr int kBitrate = 24000;
// The reader's status numbers as the log has always written them.
constexpr int kStatusFailed = 3;

const QString kTag = QStringLiteral("[FileTranscribe] extract");

// Encoding costs several times what decoding does, so the encoder runs on its
// own thread while the next packets are decoded. The queue between them is
// bounded (about 6 s of sound), which keeps memory flat for any file length.
class EncoderFeed {
public:
    explicit EncoderFeed(OggOpusStream& stream) : m_stream(stream), m_thread([this] { run(); }) {}
    ~EncoderFeed() { close(); }
    EncoderFeed(const EncoderFeed&) = delete;
    EncoderFeed& operator=(const EncoderFeed&) = delete;

    void push(const uint8_t* bytes, size_t size) {
        if (size == 0) return;
        QByteArray chunk(reinterpret_cast<const char*>(bytes), qsizetype(size));
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

// What the decoder's callbacks reach: the encoder (made once the decoder is
// set up), its feed, and the caller's progress with its log line every ten
// per cent.
struct Extraction {
    QString fileName;
    const std::function<void(double)>& onProgress;
    std::unique_ptr<OggOpusStream> opus;
    std::unique_ptr<EncoderFeed> feed;
    int lastLogged = -10;

    static int ready(void* context) {
        auto& self = *static_cast<Extraction*>(context);
        self.opus = OggOpusStream::create(kRate, kBitrate);
        if (!self.opus) return 0;
        self.feed = std::make_unique<EncoderFeed>(*self.opus);
        return 1;
    }
    static int sink(void* context, const uint8_t* bytes, int samples) {
        // 16-bit samples.
        static_cast<Extraction*>(context)->feed->push(bytes, size_t(samples) * 2);
        return 1;
    }
    static void progress(void* context, double percent) {
        auto& self = *static_cast<Extraction*>(context);
        if (self.onProgress) self.onProgress(percent);
        const int p = int(percent);
        if (p - self.lastLogged >= 10) {
            debugLog(QStringLiteral("[FileTranscribe] extract progress: ") + QString::number(p) +
                     QStringLiteral("% (") + self.fileName + QStringLiteral(")"));
            self.lastLogged = p;
        }
    }
};

}  // namespace

std::optional<QByteArray> extractOpusAudio(const QString& filePath,
                                           const std::function<void(double)>& onProgress) {
    const QString fileName = QFileInfo(filePath).fileName();
    const OrmilMediaFunctions* media = MediaModule::functions();
    if (!media) {
        debugLog(kTag + QStringLiteral(": ") + MediaModule::loadError());
        return std::nullopt;
    }
    const QByteArray path = QFile::encodeName(filePath);
    Extraction extraction{fileName, onProgress, nullptr, nullptr};
    OrmilMediaDecode request{};
    request.path = path.constData();
    request.outRate = kRate;
    request.context = &extraction;
    request.ready = &Extraction::ready;
    request.sink = &Extraction::sink;
    request.progress = &Extraction::progress;
    const int status = media->decodeMedia(&request);
    // Everything handed on reaches the encoder before it finishes (or goes).
    if (extraction.feed) extraction.feed->close();
    const QString error = QString::fromUtf8(request.error);
    switch (status) {
    case ORMIL_MEDIA_DECODED: break;
    case ORMIL_MEDIA_NO_AUDIO_STREAM:
        debugLog(kTag + QStringLiteral(": нет звуковой дорожки в ") + fileName);
        return std::nullopt;
    case ORMIL_MEDIA_DECODER_UNUSABLE:
        debugLog(kTag + QStringLiteral(": AVAssetReader init failed"));
        return std::nullopt;
    case ORMIL_MEDIA_DECODER_FAILED:
        debugLog(kTag + QStringLiteral(": startReading failed: ") + error);
        return std::nullopt;
    case ORMIL_MEDIA_NO_CONVERSION:
        debugLog(kTag + QStringLiteral(": reader.canAdd(output) == false"));
        return std::nullopt;
    case ORMIL_MEDIA_READ_FAILED:
        debugLog(kTag + QStringLiteral(": reader status ") + QString::number(kStatusFailed) +
                 QStringLiteral(", error: ") + error);
        return std::nullopt;
    default: return std::nullopt;
    }

    std::optional<QByteArray> file = extraction.opus->finish();
    if (!file) {
        debugLog(kTag + QStringLiteral(": OggOpusStream.finish() returned nil"));
        return std::nullopt;
    }
    debugLog(QStringLiteral("[FileTranscribe] extract OK: ") + fileName + QStringLiteral(" -> ") +
             QString::number(file->size() / 1024) + QStringLiteral(" KB"));
    return file;
}

}  // namespace MediaAudioExtractor
