#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "records/FailedTranscription.h"

class AppState;
class Clock;
class InstanceLock;
class OverlayControl;

// The queue of recordings whose transcription failed, kept with their audio
// in "~/.local/share/Ormil/failed_audio" so the user can send them again.
// Newest first, at most 20 entries; entries older than 7 days are dropped
// when the service starts. Main thread only, except that a retry sends the
// audio from a worker thread.
class RetryQueueService : public QObject {
    Q_OBJECT
public:
    static constexpr int maxEntries = 20;
    static constexpr int maxAgeDays = 7;

    // All are required.
    struct Dependencies {
        // Sends a recording again: called on a worker thread, blocks until
        // the service answered. Returns the transcript, or throws a
        // std::exception whose what() is the failure's user-facing
        // description (UTF-8).
        std::function<QString(const QByteArray& audioData, const QString& language,
                              const QString& provider, const QString& toneStyle,
                              const QString& format)>
            transcribe;
        std::function<void()> playErrorSound;
        AppState& appState;
        OverlayControl& overlay;
        Clock& clock;
    };

    // The process-wide queue the application installed with setShared().
    static RetryQueueService& shared();
    static void setShared(RetryQueueService* queue);
    static QString defaultStorageDir();

    // Loads the queue file of storageDir and drops expired entries.
    RetryQueueService(QString storageDir, Dependencies deps, QObject* parent = nullptr);
    ~RetryQueueService() override;

    const QList<FailedTranscription>& queue() const { return m_queue; }
    QString storageDir() const { return m_storageDir; }
    QString queueFilePath() const;
    QString audioFilePath(const FailedTranscription& entry) const;
    void ensureStorageDir();

    // Keeps the audio that failed and the request it belonged to; error is
    // the failure's user-facing description. Whether the entry is in the
    // queue now: false when it could not be written (logged), and from
    // another thread, which is served later on the main thread.
    bool save(const QByteArray& audioData, const QString& audioFormat, const QString& language,
              const QString& provider, const QString& toneStyle, double duration,
              const QString& error);

    // Sends the entry's audio again. done (if given) runs on the main thread
    // once the attempt has ended, whatever its outcome. A retry of an entry
    // whose retry is still running is ignored.
    void retry(const QString& id, std::function<void()> done = {});
    bool isRetrying(const QString& id) const { return m_inFlight.contains(id); }
    const QSet<QString>& retryingIds() const { return m_inFlight; }

    void remove(const QString& id);
    void clearAll();

    // At start-up, turns what an earlier run left behind into entries the
    // user can retry or delete: audio files of the queue folder that no entry
    // names (a kill between the file and its entry), and recordings of this
    // user in tempDirs ("ormil_" + UUID + ".wav", a kill while recording or
    // before its text was delivered).
    // They get the given language, provider and tone, the file's time and the
    // error "Interrupted"; empty or unreadable ones are deleted. Nothing is
    // touched while another running copy holds the instance lock, which this
    // service then holds shared for its lifetime. The other files of a
    // killed run in privateTempDir (the application's own temporary folder,
    // never a shared one) are deleted. Returns the entries made.
    int adoptLeftovers(const QStringList& tempDirs, const QString& language,
                       const QString& provider, const QString& toneStyle,
                       const QString& privateTempDir = {});
    QString instanceLockPath() const;

    // The entries of a queue file's bytes; a file that is no JSON array, and
    // each entry that cannot be read, count as unreadable parts.
    struct ParsedQueue {
        QList<FailedTranscription> entries;
        bool hadUnreadableParts = false;
        bool wasArray = false;
    };
    static ParsedQueue parseQueueFile(const QByteArray& data);
    static const QString interruptedError;

signals:
    // A retry came back with its text (main thread): whoever delivers
    // transcripts takes it before the entry leaves the queue. Without a
    // receiver the entry stays for a later retry.
    void transcribed(const QString& text, const QString& language, double duration);
    // The queue list changed (an entry came, went or got a new error text).
    void queueChanged();
    // The set of entries whose retry is running changed.
    void retryingChanged();

private:
    void loadQueue();
    void cleanupExpired();
    std::optional<FailedTranscription> adoptQueueFolderFile(const QString& fileName);
    std::optional<FailedTranscription> adoptRecording(const QString& path);
    void clearTemporaryFiles(const QString& dir);
    void writeQueueFile();
    void deleteAudioFile(const QString& fileName);
    void finishRetry(const QString& id, const std::function<void()>& done);
    void retrySucceeded(const FailedTranscription& entry, const QString& text);
    void retryFailed(const FailedTranscription& entry, const QString& description);

    QString m_storageDir;
    Dependencies m_deps;
    QList<FailedTranscription> m_queue;
    QSet<QString> m_inFlight;
    // The file on disk held entries that could not be read: it is kept beside
    // as "failed_queue.json.bad" before the first write replaces it.
    bool m_keepBadFile = false;
    std::unique_ptr<InstanceLock> m_instanceLock;
};
