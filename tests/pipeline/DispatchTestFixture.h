#pragma once

// A recorder with its whole dispatch wired to fakes: the recording file is
// written by the test, time moves only when the test says, and the speech
// service, insertion and records are stand-ins that remember what they got.

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <atomic>
#include <cmath>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "RecorderTestRig.h"
#include "records/TranscriptDelivery.h"

namespace dispatchtest {

struct StreamedWindow {
    QByteArray wav;
    int index;
    QString language, provider;
    std::optional<QString> translateTo;
};

struct UploadCall {
    QByteArray audio;
    QString language, provider, tone, format;
    std::optional<QString> translateTo;
};

struct FailedEntry {
    QByteArray audio;
    QString format, language, provider, tone;
    double duration;
    QString error;
};

struct Report {
    QString category, code, message;
    QJsonObject context;
};

// 16 kHz mono 16-bit PCM: 32,000 bytes a second.
constexpr qint64 kBytesPerSecond = 32000;

// A square wave of the given amplitude (its peak is exactly the amplitude).
inline QByteArray tone(double seconds, int amplitude) {
    const qint64 samples = qint64(std::llround(seconds * 16000));
    QByteArray pcm(int(samples * 2), Qt::Uninitialized);
    for (qint64 i = 0; i < samples; ++i) {
        const qint16 v = qint16(((i / 40) % 2) ? amplitude : -amplitude);
        pcm[int(2 * i)] = char(quint16(v) & 0xFF);
        pcm[int(2 * i + 1)] = char(quint16(v) >> 8);
    }
    return pcm;
}

// Samples that tell their position: sample i of the recording is
// ((i * 7) % 10000) - 5000, loud enough to be left as it is by the gain.
inline QByteArray positional(qint64 firstSample, qint64 samples) {
    QByteArray pcm(int(samples * 2), Qt::Uninitialized);
    for (qint64 i = 0; i < samples; ++i) {
        const qint16 v = qint16(((firstSample + i) * 7) % 10000 - 5000);
        pcm[int(2 * i)] = char(quint16(v) & 0xFF);
        pcm[int(2 * i + 1)] = char(quint16(v) >> 8);
    }
    return pcm;
}

class DispatchFixture : public RecorderTestRig {
protected:
    void SetUp() override {
        makeDirectory();
        make();
    }

    void TearDown() override {
        // Let every task of the test end before its fakes go.
        testsupport::waitUntil([&] { return !app.isProcessing(); }, 5000);
        testsupport::processEvents(20);
    }

    void make() {
        AudioRecorderService::Collaborators c = rigCollaborators();
        c.settings = &settings;
        c.beginStreaming = [this] { ++sessions; };
        c.streamWindow = [this](const QByteArray& wav, int index, const QString& language,
                                const QString& provider, const std::optional<QString>& to) {
            windows.push_back({wav, index, language, provider, to});
        };
        c.finishStreaming = [this](const QString& tone,
                                   const QString& language) -> std::optional<QString> {
            std::lock_guard lock(mutex);
            finishCalls.push_back({tone, language});
            return streamedText;
        };
        c.transcribe = [this](const QByteArray& audio, const QString& language,
                              const QString& provider, const QString& tone, const QString& format,
                              const std::optional<QString>& to) -> QString {
            {
                std::lock_guard lock(mutex);
                uploads.push_back({audio, language, provider, tone, format, to});
            }
            while (holdUploads) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            std::lock_guard lock(mutex);
            if (uploadError) throw std::runtime_error(uploadError->toStdString());
            return serviceText;
        };
        c.encodeOpus = [this](const QString& path, int bitrate) -> std::optional<QByteArray> {
            ++opusEncodes;
            if (onEncodeOpus) return onEncodeOpus(path, bitrate);
            return QByteArray("OggS-reencoded");
        };
        c.encodeAAC = [this](const QString& wav, const QString& m4a) -> std::optional<QByteArray> {
            ++aacEncodes;
            // Private before the encoder writes into it.
            EXPECT_EQ(QFileInfo(m4a).permissions(),
                      QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                          QFileDevice::WriteUser);
            if (!aacWorks) return std::nullopt;
            testsupport::writeFile(m4a, "m4a-bytes");
            (void)wav;
            return QByteArray("m4a-bytes");
        };
        c.resolveTone = [] { return QStringLiteral("neutral"); };
        c.saveFailedTranscription = [this](const QByteArray& audio, const QString& format,
                                           const QString& language, const QString& provider,
                                           const QString& tone, double duration,
                                           const QString& error) {
            failed.push_back({audio, format, language, provider, tone, duration, error});
            return retryQueueTakes;
        };
        c.reportError = [this](const QString& category, const QString& code, const QString& message,
                               const QJsonObject& context) {
            std::lock_guard lock(mutex);
            reports.push_back({category, code, message, context});
        };
        customize(c);
        recorder = std::make_unique<AudioRecorderService>(std::move(c));
        delivery = std::make_unique<TranscriptDelivery>(deliveryCollaborators());
        QObject::connect(recorder.get(), &AudioRecorderService::transcribed, delivery.get(),
                         &TranscriptDelivery::deliverDictation, Qt::DirectConnection);
    }

    // The delivery of the text, on fakes that remember what they got.
    TranscriptDelivery::Collaborators deliveryCollaborators() {
        TranscriptDelivery::Collaborators c;
        c.appState = &app;
        c.overlay = &overlay;
        c.postProcess = [this](const QString& text) -> std::optional<QString> {
            if (postProcessEmpties || text.trimmed().isEmpty()) return std::nullopt;
            return text + " ";
        };
        c.isProcessTrusted = [this] { return trusted; };
        c.insertTextViaPasteboard = [this](const QString& t) { inserted.push_back(t); };
        c.copyToClipboard = [this](const QString& t) { clipboard = t; };
        c.switchToMatchingLayout = [this](const QString& t) { layoutSwitches.push_back(t); };
        c.saveTranscription = [this](const QString& t, const QString& language, double d) {
            history.push_back({t, language, d});
        };
        c.addClipboardTranscription = [this](const QString& t) { clipboardHistory.push_back(t); };
        c.playSuccessSound = [this] { sounds.playSuccessSound(); };
        c.playErrorSound = [this] { sounds.playErrorSound(); };
        return c;
    }

    // Lets a test put real collaborators in place of the fakes.
    virtual void customize(AudioRecorderService::Collaborators&) {}

    QString path() const { return captures.last()->path(); }

    // As the microphone delivers: into the file and to the recorder's feed.
    void append(const QByteArray& pcm) {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(pcm);
        FakeAudioCapture* capture = captures.last();
        if (capture && capture->onSamples) capture->onSamples(pcm.constData(), pcm.size());
    }

    qint64 pcmBytes() const { return QFileInfo(path()).size() - 44; }

    // Records `seconds` of the given amplitude in steps of the clock, writing
    // each step's audio before time moves past it (as the microphone would).
    void recordFor(double seconds, int amplitude) {
        double done = 0;
        while (done < seconds - 1e-9) {
            const double step = std::min(1.0, seconds - done);
            append(tone(step, amplitude));
            clock.advance(step);
            done += step;
        }
    }

    // Grows the recording with position-telling samples to `bytes` of PCM.
    void appendPositionalTo(qint64 bytes) {
        const qint64 have = pcmBytes();
        ASSERT_GE(bytes, have);
        ASSERT_EQ(have % 2, 0);
        append(positional(have / 2, (bytes - have) / 2));
        if ((bytes - have) % 2) append(QByteArray(1, '\x01'));
    }

    // Stops and waits until the dispatch has ended (a result, a failure or a
    // gate that sent nothing).
    void stopAndSettle() {
        recorder->stopRecording();
        settle();
    }
    void settle() {
        ASSERT_TRUE(testsupport::waitUntil([&] {
            return !app.isProcessing() && QDir(dir).entryList(QDir::Files).isEmpty();
        })) << QDir(dir).entryList(QDir::Files).join(",").toStdString();
        testsupport::processEvents(20);
    }

    int uploadCount() {
        std::lock_guard lock(mutex);
        return int(uploads.size());
    }

    // Fake collaborators' inputs and records.
    std::mutex mutex;
    int sessions = 0;
    std::vector<StreamedWindow> windows;
    std::vector<std::pair<QString, QString>> finishCalls;
    std::optional<QString> streamedText;
    QString serviceText = "hello world";
    std::optional<QString> uploadError;
    std::vector<UploadCall> uploads;
    // While set, an upload that arrived waits in the service for the test.
    std::atomic<bool> holdUploads{false};
    std::atomic<int> opusEncodes{0};
    std::atomic<int> aacEncodes{0};
    std::function<std::optional<QByteArray>(const QString&, int)> onEncodeOpus;
    bool aacWorks = true;
    bool postProcessEmpties = false;
    bool trusted = true;
    std::vector<QString> inserted;
    QString clipboard;
    std::vector<QString> layoutSwitches;
    struct HistoryEntry {
        QString text, language;
        double duration;
    };
    std::vector<HistoryEntry> history;
    std::vector<QString> clipboardHistory;
    std::vector<FailedEntry> failed;
    // What the retry queue answers to a save (false: it could not keep it).
    bool retryQueueTakes = true;
    std::vector<Report> reports;
    std::unique_ptr<TranscriptDelivery> delivery;
};

}  // namespace dispatchtest
