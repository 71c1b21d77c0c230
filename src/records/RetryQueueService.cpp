#include "records/RetryQueueService.h"

#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMetaMethod>
#include <QPointer>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUuid>
#include <atomic>
#include <exception>
#include <stdexcept>

#include "core/OverlayControl.h"
#include "core/AppState.h"
#include "platform/DebugLog.h"
#include "platform/WavFileWriter.h"
#include "platform/Clock.h"
#include "platform/linux/InstanceLock.h"
#include "platform/NotificationCenter.h"
#include "platform/PrivateFiles.h"
#include "platform/Required.h"
#include "platform/Threading.h"

namespace {

const QString kQueueFileName = QStringLiteral("failed_queue.json");
constexpr QFileDevice::Permissions kPrivate = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// The recorder's files: "ormil_" + UUID + ".wav" (not the probe or chunk files).
const QRegularExpression kRecordingName(
    QStringLiteral("^ormil_[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-"
                   "[0-9A-Fa-f]{12}\\.wav$"));
const QRegularExpression kQueueAudioName(
    QStringLiteral("^failed_(.+)\\.(wav|m4a)$"));
constexpr qint64 kWavHeaderBytes = 44;
constexpr double kRecordingBytesPerSecond = 16000.0 * 2;

// What the bytes of a kept recording are, by their first bytes.
std::optional<QString> sniffAudioFormat(const QByteArray& data, const QString& extension) {
    if (data.startsWith("OggS")) return QStringLiteral("ogg");
    if (data.startsWith("RIFF") && data.mid(8, 4) == "WAVE") return QStringLiteral("wav");
    if (extension == QLatin1String("m4a") && data.mid(4, 4) == "ftyp") return QStringLiteral("m4a");
    return std::nullopt;
}

double wavDuration(qint64 size) {
    return std::max<qint64>(0, size - kWavHeaderBytes) / kRecordingBytesPerSecond;
}

QString describe(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

// The process-wide queue, installed by the application.
std::atomic<RetryQueueService*> g_shared{nullptr};

}  // namespace

RetryQueueService& RetryQueueService::shared() {
    RetryQueueService* queue = g_shared.load();
    if (!queue) throw std::logic_error("RetryQueueService::shared() before the application made it");
    return *queue;
}

void RetryQueueService::setShared(RetryQueueService* queue) {
    g_shared.store(queue);
}

QString RetryQueueService::defaultStorageDir() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Ormil/failed_audio");
}

RetryQueueService::RetryQueueService(QString storageDir, Dependencies deps, QObject* parent)
    : QObject(parent), m_storageDir(std::move(storageDir)), m_deps(std::move(deps)) {
    requireCollaborators("RetryQueueService", "transcribe", m_deps.transcribe, "playErrorSound",
                         m_deps.playErrorSound);
    ensureStorageDir();
    loadQueue();
    cleanupExpired();
}

RetryQueueService::~RetryQueueService() = default;

QString RetryQueueService::queueFilePath() const {
    return m_storageDir + QLatin1Char('/') + kQueueFileName;
}

QString RetryQueueService::audioFilePath(const FailedTranscription& entry) const {
    return m_storageDir + QLatin1Char('/') + entry.audioFileName;
}

void RetryQueueService::ensureStorageDir() {
    ORMIL_ASSERT_MAIN_THREAD();
    PrivateFiles::ensureDir(m_storageDir);
}

RetryQueueService::ParsedQueue RetryQueueService::parseQueueFile(const QByteArray& data) {
    ParsedQueue parsed;
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(data, &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isArray()) {
        debugLog(QStringLiteral("[RetryQueue] Could not decode ") + kQueueFileName +
                 QStringLiteral(": ") +
                 (doc.isNull() ? parseError.errorString() : QStringLiteral("not an array")));
        parsed.hadUnreadableParts = true;
        return parsed;
    }
    parsed.wasArray = true;
    const QJsonArray array = doc.array();
    for (qsizetype i = 0; i < array.size(); ++i) {
        QString why = QStringLiteral("not an object");
        std::optional<FailedTranscription> entry;
        if (array.at(i).isObject())
            entry = FailedTranscription::fromJson(array.at(i).toObject(), &why);
        if (!entry) {
            // One bad entry costs that entry only, not the whole queue.
            debugLog(QStringLiteral("[RetryQueue] Skipped malformed entry %1: ").arg(i) + why);
            parsed.hadUnreadableParts = true;
            continue;
        }
        parsed.entries.append(*entry);
    }
    return parsed;
}

void RetryQueueService::loadQueue() {
    QFile file(queueFilePath());
    if (!file.exists() || !file.open(QIODevice::ReadOnly)) return;
    ParsedQueue parsed = parseQueueFile(file.readAll());
    m_keepBadFile = parsed.hadUnreadableParts;
    if (!parsed.wasArray) return;
    m_queue = std::move(parsed.entries);
    debugLog(QStringLiteral("[RetryQueue] Loaded %1 entries").arg(m_queue.size()));
}

void RetryQueueService::cleanupExpired() {
    const double cutoff =
        FailedTranscription::referenceSeconds(m_deps.clock.currentDateTime().addDays(-maxAgeDays));
    QStringList expired;
    for (const FailedTranscription& e : m_queue)
        if (e.createdAt < cutoff) expired << e.id;
    for (const QString& id : expired) remove(id);
    if (!expired.isEmpty())
        debugLog(QStringLiteral("[RetryQueue] Cleaned up %1 expired entries").arg(expired.size()));
}

void RetryQueueService::writeQueueFile() {
    const QString path = queueFilePath();
    if (m_keepBadFile) {
        m_keepBadFile = false;
        const QString bad = path + QStringLiteral(".bad");
        QFile::remove(bad);
        if (QFile::copy(path, bad))
            debugLog(QStringLiteral("[RetryQueue] Kept the unreadable queue file as ") + bad);
    }
    QJsonArray array;
    for (const FailedTranscription& e : m_queue) array.append(e.toJson());
    // Written whole or not at all: a crash mid-write must not lose the queue.
    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) && file.setPermissions(kPrivate) &&
                         file.write(QJsonDocument(array).toJson(QJsonDocument::Compact)) >= 0 &&
                         file.commit();
    // The queue in memory stays as it is; the next write tries again.
    if (!written)
        debugLog(QStringLiteral("[RetryQueue] Failed to write queue: ") + file.errorString());
}

void RetryQueueService::deleteAudioFile(const QString& fileName) {
    QFile::remove(m_storageDir + QLatin1Char('/') + fileName);
}

bool RetryQueueService::save(const QByteArray& audioData, const QString& audioFormat,
                             const QString& language, const QString& provider,
                             const QString& toneStyle, double duration, const QString& error) {
    // The queue lives on the main thread; a caller elsewhere is served there.
    if (!isMainThread()) {
        runOnMain(this, [=, this] {
            save(audioData, audioFormat, language, provider, toneStyle, duration, error);
        });
        return false;
    }
    ensureStorageDir();
    FailedTranscription entry;
    entry.id = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    const QString extension =
        audioFormat == QLatin1String("m4a") ? QStringLiteral("m4a") : QStringLiteral("wav");
    entry.audioFileName = QStringLiteral("failed_") + entry.id + QLatin1Char('.') + extension;

    QFile audio(audioFilePath(entry));
    const bool written = audio.open(QIODevice::WriteOnly) && audio.setPermissions(kPrivate) &&
                         audio.write(audioData) == audioData.size() && audio.flush();
    if (!written) {
        debugLog(QStringLiteral("[RetryQueue] Failed to save audio: ") + audio.errorString());
        audio.close();
        audio.remove();
        return false;
    }
    audio.close();

    entry.language = language;
    entry.provider = provider;
    entry.toneStyle = toneStyle;
    entry.duration = duration;
    entry.errorMessage = error;
    entry.createdAt = FailedTranscription::referenceSeconds(m_deps.clock.currentDateTime());
    entry.audioSize = audioData.size();
    entry.audioFormat = audioFormat;

    m_queue.prepend(entry);
    while (m_queue.size() > maxEntries) deleteAudioFile(m_queue.takeLast().audioFileName);
    emit queueChanged();
    writeQueueFile();
    debugLog(QStringLiteral("[RetryQueue] Saved failed transcription: %1 (%2 bytes)")
                 .arg(entry.id)
                 .arg(audioData.size()));
    NotificationCenter::shared().postDataChanged();
    return true;
}

void RetryQueueService::retry(const QString& id, std::function<void()> done) {
    ORMIL_ASSERT_MAIN_THREAD();
    auto finishLater = [this, done] {
        if (done) runOnMain(this, done);
    };
    if (m_inFlight.contains(id)) {
        // The same recording is already on its way; a second send could
        // paste and save the text twice.
        debugLog(QStringLiteral("[RetryQueue] Retry already running for ") + id);
        finishLater();
        return;
    }
    const auto it = std::find_if(m_queue.cbegin(), m_queue.cend(),
                                 [&](const FailedTranscription& e) { return e.id == id; });
    if (it == m_queue.cend()) {
        debugLog(QStringLiteral("[RetryQueue] Entry not found: ") + id);
        finishLater();
        return;
    }
    const FailedTranscription entry = *it;
    m_inFlight.insert(id);
    emit retryingChanged();

    const QString path = audioFilePath(entry);
    const auto transcribe = m_deps.transcribe;
    struct Outcome {
        bool audioMissing = false;
        std::optional<QString> text;
        QString failure;
    };
    auto work = [entry, path, transcribe] {
        Outcome outcome;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            debugLog(QStringLiteral("[RetryQueue] Audio file not found: ") + entry.audioFileName);
            outcome.audioMissing = true;
            return outcome;
        }
        const QByteArray audio = file.readAll();
        file.close();
        debugLog(QStringLiteral("[RetryQueue] Retrying %1: %2 bytes, lang=%3")
                     .arg(entry.id)
                     .arg(audio.size())
                     .arg(entry.language));
        try {
            outcome.text = transcribe(audio, entry.language, entry.provider, entry.toneStyle,
                                      entry.audioFormat);
        } catch (...) {
            outcome.failure = describe(std::current_exception());
        }
        return outcome;
    };
    runAsync(this, std::move(work), [this, entry, done](const Outcome& outcome) {
        if (outcome.audioMissing)
            remove(entry.id);
        else if (outcome.text)
            retrySucceeded(entry, *outcome.text);
        else
            retryFailed(entry, outcome.failure);
        finishRetry(entry.id, done);
    });
}

void RetryQueueService::finishRetry(const QString& id, const std::function<void()>& done) {
    if (m_inFlight.remove(id)) emit retryingChanged();
    if (done) done();
}

void RetryQueueService::retrySucceeded(const FailedTranscription& entry, const QString& text) {
    if (!isSignalConnected(QMetaMethod::fromSignal(&RetryQueueService::transcribed))) {
        // Nobody would see the text: the recording stays for a later retry.
        debugLog(QStringLiteral("[RetryQueue] No delivery for ") + entry.id);
        return;
    }
    emit transcribed(text, entry.language, entry.duration);
    remove(entry.id);
    debugLog(QStringLiteral("[RetryQueue] Retry succeeded for ") + entry.id);
}

void RetryQueueService::retryFailed(const FailedTranscription& entry, const QString& description) {
    for (FailedTranscription& live : m_queue) {
        if (live.id != entry.id) continue;
        // Same place, same first-failure date: only the reason is new.
        live.errorMessage = description;
        emit queueChanged();
        writeQueueFile();
        break;
    }
    m_deps.appState.setLastError(QStringLiteral("Retry failed: ") + description);
    m_deps.overlay.show(OverlayState::error);
    m_deps.playErrorSound();
    debugLog(QStringLiteral("[RetryQueue] Retry failed for ") + entry.id + QStringLiteral(": ") +
             description);
}

void RetryQueueService::remove(const QString& id) {
    ORMIL_ASSERT_MAIN_THREAD();
    const auto it = std::find_if(m_queue.begin(), m_queue.end(),
                                 [&](const FailedTranscription& e) { return e.id == id; });
    if (it == m_queue.end()) return;
    const QString fileName = it->audioFileName;
    m_queue.erase(it);
    emit queueChanged();
    deleteAudioFile(fileName);
    writeQueueFile();
    debugLog(QStringLiteral("[RetryQueue] Removed ") + id);
    NotificationCenter::shared().postDataChanged();
}

const QString RetryQueueService::interruptedError = QStringLiteral("Interrupted");

QString RetryQueueService::instanceLockPath() const {
    return m_storageDir + QStringLiteral("/running.lock");
}

int RetryQueueService::adoptLeftovers(const QStringList& tempDirs, const QString& language,
                                      const QString& provider, const QString& toneStyle,
                                      const QString& privateTempDir) {
    ORMIL_ASSERT_MAIN_THREAD();
    if (!m_instanceLock) m_instanceLock = std::make_unique<InstanceLock>(instanceLockPath());
    if (!m_instanceLock->tryExclusive()) {
        debugLog(QStringLiteral("[RetryQueue] Another copy is running: leftovers stay"));
        m_instanceLock->share();
        return 0;
    }
    QList<FailedTranscription> adopted;
    QSet<QString> named;
    for (const FailedTranscription& e : m_queue) named.insert(e.audioFileName);
    // The names are sorted out by hand before the patterns look at them:
    // most launches find no leftovers, and then no pattern is ever compiled.
    const auto hasShape = [](const QString& name, QLatin1String prefix,
                               std::initializer_list<QLatin1String> suffixes) {
        if (!name.startsWith(prefix)) return false;
        for (const QLatin1String suffix : suffixes)
            if (name.endsWith(suffix)) return true;
        return false;
    };
    const QStringList queueFiles =
        QDir(m_storageDir).entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QString& name : queueFiles) {
        if (named.contains(name) ||
            !hasShape(name, QLatin1String("failed_"),
                        {QLatin1String(".wav"), QLatin1String(".m4a")}) ||
            !kQueueAudioName.match(name).hasMatch())
            continue;
        if (auto e = adoptQueueFolderFile(name)) adopted << *e;
    }
    for (const QString& tempDir : tempDirs) {
        const QDir temp(tempDir);
        for (const QString& name : temp.entryList(QDir::Files | QDir::Hidden)) {
            if (!hasShape(name, QLatin1String("ormil_"), {QLatin1String(".wav")}) ||
                !kRecordingName.match(name).hasMatch())
                continue;
            // Another user's file in a shared folder, or a link planted there,
            // is none of ours.
            const QFileInfo info(temp.filePath(name));
            if (info.isSymLink() || info.ownerId() != ::getuid()) continue;
            if (auto e = adoptRecording(info.absoluteFilePath())) adopted << *e;
        }
    }
    if (!privateTempDir.isEmpty()) clearTemporaryFiles(privateTempDir);
    if (!adopted.isEmpty()) {
        for (FailedTranscription& e : adopted) {
            e.language = language;
            e.provider = provider;
            e.toneStyle = toneStyle;
            e.errorMessage = interruptedError;
        }
        m_queue += adopted;
        std::stable_sort(m_queue.begin(), m_queue.end(),
                         [](const FailedTranscription& a, const FailedTranscription& b) {
                             return a.createdAt > b.createdAt;
                         });
        while (m_queue.size() > maxEntries) deleteAudioFile(m_queue.takeLast().audioFileName);
        emit queueChanged();
        writeQueueFile();
        debugLog(QStringLiteral("[RetryQueue] Adopted %1 interrupted recordings").arg(adopted.size()));
        cleanupExpired();
        NotificationCenter::shared().postDataChanged();
    }
    m_instanceLock->share();
    return int(adopted.size());
}

void RetryQueueService::clearTemporaryFiles(const QString& dir) {
    // What no running copy uses any more: compressed copies, chunks, a
    // video's sound, the probe. A recording that could not be adopted stays
    // for the next start.
    const QDir temp(dir);
    int removed = 0;
    for (const QString& name : temp.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (kRecordingName.match(name).hasMatch()) continue;
        if (QFile::remove(temp.filePath(name))) ++removed;
    }
    if (removed > 0)
        debugLog(QStringLiteral("[RetryQueue] Deleted %1 temporary files of an earlier run")
                     .arg(removed));
}

std::optional<FailedTranscription> RetryQueueService::adoptQueueFolderFile(const QString& name) {
    const QString path = m_storageDir + QLatin1Char('/') + name;
    const QRegularExpressionMatch match = kQueueAudioName.match(name);
    QFile file(path);
    const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const std::optional<QString> format = sniffAudioFormat(data, match.captured(2));
    if (!format) {
        debugLog(QStringLiteral("[RetryQueue] Deleted unreadable leftover ") + name);
        QFile::remove(path);
        return std::nullopt;
    }
    // Recorded speech stays private, whoever left the file.
    QFile::setPermissions(path, kPrivate);
    FailedTranscription e;
    const QUuid fromName = QUuid::fromString(match.captured(1));
    e.id = (fromName.isNull() ? QUuid::createUuid() : fromName)
               .toString(QUuid::WithoutBraces)
               .toUpper();
    e.audioFileName = name;
    e.audioFormat = *format;
    e.audioSize = data.size();
    e.duration = *format == QLatin1String("wav") ? wavDuration(data.size()) : 0;
    e.createdAt = FailedTranscription::referenceSeconds(QFileInfo(path).lastModified());
    return e;
}

std::optional<FailedTranscription> RetryQueueService::adoptRecording(const QString& path) {
    QFile file(path);
    QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    file.close();
    const QDateTime modified = QFileInfo(path).lastModified();
    // The recorder writes its header first and patches the sizes when it
    // stops: a recording killed while it recorded has the sizes never
    // patched, one killed while it was sent has them. Either way the samples
    // are what follows the header, whatever the sizes say.
    const QByteArray expected = WavFileWriter::header(16000, 1, 0);
    const qint64 pcmBytes = std::min<qint64>(data.size() - kWavHeaderBytes, 0xFFFFFFFFLL - 36);
    if (pcmBytes <= 0 || !data.startsWith("RIFF") || data.mid(8, 28) != expected.mid(8, 28) ||
        data.mid(36, 4) != "data") {
        debugLog(QStringLiteral("[RetryQueue] Deleted empty or unreadable recording ") +
                 QFileInfo(path).fileName());
        QFile::remove(path);
        return std::nullopt;
    }
    data.truncate(kWavHeaderBytes + pcmBytes);
    data.replace(0, kWavHeaderBytes, WavFileWriter::header(16000, 1, quint32(pcmBytes)));

    ensureStorageDir();
    FailedTranscription e;
    e.id = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    e.audioFileName = QStringLiteral("failed_") + e.id + QStringLiteral(".wav");
    QFile kept(audioFilePath(e));
    const bool written = kept.open(QIODevice::NewOnly) && kept.setPermissions(kPrivate) &&
                         kept.write(data) == data.size() && kept.flush();
    kept.close();
    if (!written) {
        // The recording stays where it is; the next start tries again.
        debugLog(QStringLiteral("[RetryQueue] Failed to keep an interrupted recording: ") +
                 kept.errorString());
        kept.remove();
        return std::nullopt;
    }
    QFile::remove(path);
    e.audioFormat = QStringLiteral("wav");
    e.audioSize = data.size();
    e.duration = wavDuration(data.size());
    e.createdAt = FailedTranscription::referenceSeconds(modified);
    return e;
}

void RetryQueueService::clearAll() {
    ORMIL_ASSERT_MAIN_THREAD();
    for (const FailedTranscription& e : m_queue) deleteAudioFile(e.audioFileName);
    m_queue.clear();
    emit queueChanged();
    writeQueueFile();
    debugLog(QStringLiteral("[RetryQueue] Cleared all"));
    NotificationCenter::shared().postDataChanged();
}
