#pragma once

// A transcription client wired to the local stand-in: a signed-in account,
// an injected clock, overlay and AppState, a fixed multipart boundary, and
// encoders the test controls.

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>
#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <set>

#include "audio/AudioFormat.h"
#include "core/OverlayControl.h"
#include "core/AppState.h"
#include "fakes/FakeClock.h"
#include "platform/SettingsStore.h"
#include "service/HttpClient.h"
#include "service/TranscriptionService.h"
#include "support/DevService.h"
#include "support/TestSupport.h"
#include "fakes/FakeOverlay.h"

class TranscriptionTestFixture : public ::testing::Test {
public:
    static constexpr const char* kBoundary = "ormil-00000000-1111-2222-3333-444444444444";
    static constexpr const char* kEmail = "writer@ormil.test";

    void SetUp() override {
        const auto tokens = service.createSignedInAccount(
            QJsonObject{{"email", kEmail}, {"password", "secret"}, {"weekly_words_limit", 1e9}});
        accessToken = tokens.access;
        refreshToken = tokens.refresh;
    }
    void TearDown() override { service.release(); }

    TranscriptionService& client() {
        if (!m_client) {
            TranscriptionService::Collaborators c;
            c.http = &http;
            c.clock = &clock;
            c.overlay = &overlay;
            c.appState = &appState;
            c.apiBase = [this] {
                std::lock_guard lock(mutex);
                return apiBase.isEmpty() ? service.baseUrl() : apiBase;
            };
            c.boundary = [] { return QByteArray(kBoundary); };
            c.toneOverride = [this](const QString& tone) -> std::optional<QString> {
                std::lock_guard lock(mutex);
                const auto it = toneOverrides.find(tone);
                if (it == toneOverrides.end() || it->second.isEmpty()) return std::nullopt;
                return it->second;
            };
            c.auth.accessToken = [this]() -> std::optional<QString> {
                std::lock_guard lock(mutex);
                if (accessToken.isEmpty()) return std::nullopt;
                return accessToken;
            };
            c.auth.refresh = [this] {
                ++refreshCalls;
                return refresh ? refresh() : refreshAtTheService();
            };
            m_client = std::make_unique<TranscriptionService>(settings, c, encoders);
        }
        return *m_client;
    }

    // The next client() is built anew (after the encoders changed).
    void rebuildClient() { m_client.reset(); }

    // The account session's refresh, done against the stand-in.
    std::optional<TranscriptionService::Auth::Failure> refreshAtTheService() {
        HttpRequest r;
        r.method = "POST";
        r.url = service.url("/api/auth/refresh");
        r.headers.set("Content-Type", "application/json");
        {
            std::lock_guard lock(mutex);
            r.body = QJsonDocument(QJsonObject{{"refresh_token", refreshToken}})
                         .toJson(QJsonDocument::Compact);
        }
        HttpClient own(clock);
        const HttpResponse res = own.send(r);
        if (res.status != 200) return TranscriptionService::Auth::Failure{true, "Session rejected"};
        const QJsonObject o = QJsonDocument::fromJson(res.body).object();
        std::lock_guard lock(mutex);
        accessToken = o.value("access_token").toString();
        refreshToken = o.value("refresh_token").toString();
        return std::nullopt;
    }

    // A queued JSON answer for a path.
    void answer(const QString& path, int status, const QJsonObject& json, int count = 1) {
        DevService::Answer a;
        a.status = status;
        a.json = json;
        a.count = count;
        service.queue(path, a);
    }
    void answerText(const QString& text, int count = 1) {
        answer("/transcribe", 200, QJsonObject{{"success", true}, {"text", text}}, count);
    }

    // One multipart field's value as the stand-in received it.
    static QByteArray field(const QByteArray& body, const QByteArray& name) {
        const QByteArray marker = "name=\"" + name + "\"";
        const qsizetype at = body.indexOf(marker);
        if (at < 0) return {};
        const qsizetype start = body.indexOf("\r\n\r\n", at) + 4;
        const qsizetype end = body.indexOf("\r\n--" + QByteArray(kBoundary), start);
        return body.mid(start, end - start);
    }
    static bool hasField(const QByteArray& body, const QByteArray& name) {
        return body.contains("name=\"" + name + "\"");
    }

    // A 16 kHz mono 16-bit WAV file with `samples` samples; sample i holds
    // the number of the 48 s step it lies in, so a window's first sample
    // tells which window it is.
    static QByteArray wavOfSamples(qint64 samples) {
        QByteArray pcm(samples * 2, Qt::Uninitialized);
        for (qint64 i = 0; i < samples; ++i)
            qToLittleEndian<qint16>(qint16(i / TranscriptionService::stepSamples),
                                    pcm.data() + 2 * i);
        QByteArray wav = AudioFormat::createWAVChunk(pcm, 0, 0, samples);
        return wav;
    }
    // A WAV file whose "data" chunk declares and holds `bytes` bytes.
    static QByteArray wavWithDataBytes(qint64 bytes) {
        QByteArray wav = wavOfSamples(bytes / 2);
        if (bytes % 2) wav.append('\0');
        qToLittleEndian<quint32>(quint32(bytes), wav.data() + 40);
        qToLittleEndian<quint32>(quint32(bytes + 36), wav.data() + 4);
        return wav;
    }
    // The window number of a window file (see wavOfSamples).
    static int windowOf(const QByteArray& wav) {
        if (wav.size() < 46) return -1;
        return (uchar(wav.at(44)) | (uchar(wav.at(45)) << 8));
    }

    // Runs fn on its own thread, as the recorder's tasks do.
    template <typename F>
    static auto inBackground(F fn) {
        return std::async(std::launch::async, std::move(fn));
    }
    template <typename T>
    static bool finished(const std::future<T>& f) {
        return f.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    }
    template <typename T>
    static T await(std::future<T>& f) {
        EXPECT_TRUE(testsupport::waitUntil([&] { return finished(f); }, 60000));
        return f.get();
    }

    DevService service;
    FakeClock clock;
    HttpClient http{clock};
    SettingsStore settings;
    FakeOverlay overlay;
    AppState appState{settings, [](const QString&) { return TokenReadResult{}; }};
    // Fakes by default: Opus gives a recognisable stream, AAC nothing.
    TranscriptionService::AudioEncoders encoders{
        [](const QString&, int) -> std::optional<QByteArray> { return QByteArray("OggS-fake"); },
        [](const QString&, const QString&) -> std::optional<QByteArray> { return std::nullopt; }};

    std::mutex mutex;
    QString apiBase;
    QString accessToken;
    QString refreshToken;
    std::map<QString, QString> toneOverrides;
    std::atomic<int> refreshCalls{0};
    std::function<std::optional<TranscriptionService::Auth::Failure>()> refresh;

private:
    std::unique_ptr<TranscriptionService> m_client;
};

// An Opus encoder that holds each window until the test lets it go, and
// counts the windows being worked on at once.
class GatedEncoder {
public:
    std::optional<QByteArray> encode(const QString& wavPath) {
        const int window = TranscriptionTestFixture::windowOf(testsupport::readFile(wavPath));
        std::unique_lock lock(m_mutex);
        m_entered.push_back(window);
        m_maxActive = std::max(m_maxActive, ++m_active);
        m_changed.wait_for(lock, std::chrono::seconds(60),
                           [&] { return m_allOpen || m_open.count(window); });
        --m_active;
        return "OggS-window-" + QByteArray::number(window);
    }
    void open(int window) {
        std::lock_guard lock(m_mutex);
        m_open.insert(window);
        m_changed.notify_all();
    }
    void reset() {
        std::lock_guard lock(m_mutex);
        m_open.clear();
        m_allOpen = false;
        m_entered.clear();
        m_maxActive = 0;
    }
    void openAll() {
        std::lock_guard lock(m_mutex);
        m_allOpen = true;
        m_changed.notify_all();
    }
    int active() const {
        std::lock_guard lock(m_mutex);
        return m_active;
    }
    int maxActive() const {
        std::lock_guard lock(m_mutex);
        return m_maxActive;
    }
    std::vector<int> entered() const {
        std::lock_guard lock(m_mutex);
        return m_entered;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::set<int> m_open;
    bool m_allOpen = false;
    int m_active = 0;
    int m_maxActive = 0;
    std::vector<int> m_entered;
};
