#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <condition_variable>
#include <mutex>
#include <functional>
#include <thread>

#include "core/OverlayControl.h"
#include "core/AppState.h"
#include "fakes/FakeClock.h"
#include "platform/linux/InstanceLock.h"
#include "platform/WavFileWriter.h"
#include "platform/Pasteboard.h"
#include "platform/SettingsStore.h"
#include "records/ClipboardHistoryService.h"
#include "records/HistoryService.h"
#include "records/RecordsTestSupport.h"
#include "records/RetryQueueService.h"
#include "records/TextExpansionService.h"
#include "records/TranscriptDelivery.h"
#include "service/ErrorReportService.h"
#include "fakes/FakeOverlay.h"
#include "fakes/FakePasteboard.h"

using recordstest::DataChangedCounter;

namespace {

// The speech service and what a delivery does with the text, as stand-ins
// that remember what they got.
class FakeDelivery {
public:
    struct Call {
        QByteArray audio;
        QString language, provider, toneStyle, format;
    };

    QString transcribe(const QByteArray& audio, const QString& language, const QString& provider,
                       const QString& toneStyle, const QString& format) {
        {
            std::unique_lock lock(mutex);
            calls.push_back({audio, language, provider, toneStyle, format});
            // A test may hold the answer back to look at a retry in flight.
            cv.wait_for(lock, std::chrono::seconds(30), [this] { return !holdAnswers; });
        }
        if (!failure.isEmpty()) throw std::runtime_error(failure.toStdString());
        return answer;
    }
    std::optional<QString> process(const QString& text) {
        if (dropEverything) return std::nullopt;
        return text.trimmed() + " ";
    }
    bool isProcessTrusted() { return trusted; }
    void insertTextViaPasteboard(const QString& text) { inserted << text; }
    void playSuccessSound() { ++successSounds; }
    void playErrorSound() { ++errorSounds; }

    void release() {
        {
            std::lock_guard lock(mutex);
            holdAnswers = false;
        }
        cv.notify_all();
    }
    std::vector<Call> callsSoFar() {
        std::lock_guard lock(mutex);
        return calls;
    }

    std::mutex mutex;
    std::condition_variable cv;
    std::vector<Call> calls;
    bool holdAnswers = false;
    QString answer = "hello world";
    QString failure;
    bool dropEverything = false;
    bool trusted = true;
    QStringList inserted;
    QStringList copied;
    QStringList layoutSwitches;
    int successSounds = 0;
    int errorSounds = 0;
};

double secondsSince2001(const QDateTime& t) {
    return QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC).msecsTo(t) / 1000.0;
}

class RetryQueueTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        base = recordstest::freshDir(QStringLiteral("retry-") + info->name());
        storage = base + "/Ormil/failed_audio";
        history = std::make_unique<HistoryService>(base + "/Ormil/Ormil.sqlite", clock);
        TranscriptDelivery::Collaborators c;
        c.appState = &appState;
        c.overlay = &overlay;
        c.postProcess = [this](const QString& text) { return delivery.process(text); };
        c.isProcessTrusted = [this] { return delivery.isProcessTrusted(); };
        c.insertTextViaPasteboard = [this](const QString& t) { delivery.insertTextViaPasteboard(t); };
        c.copyToClipboard = [this](const QString& t) { delivery.copied << t; };
        c.switchToMatchingLayout = [this](const QString& t) { delivery.layoutSwitches << t; };
        c.saveTranscription = [this](const QString& t, const QString& language, double d) {
            history->saveTranscription(t, language, d);
        };
        c.addClipboardTranscription = [this](const QString& t) { clipboard.addTranscription(t); };
        c.playSuccessSound = [this] { delivery.playSuccessSound(); };
        c.playErrorSound = [this] { delivery.playErrorSound(); };
        transcripts = std::make_unique<TranscriptDelivery>(std::move(c));
    }

    RetryQueueService::Dependencies dependencies() {
        return {[this](const QByteArray& audio, const QString& language, const QString& provider,
                       const QString& toneStyle, const QString& format) {
                    return delivery.transcribe(audio, language, provider, toneStyle, format);
                },
                [this] { delivery.playErrorSound(); }, appState, overlay, clock};
    }

    // A queue whose texts go through the one delivery, as in the application.
    std::unique_ptr<RetryQueueService> makeService() {
        auto service = std::make_unique<RetryQueueService>(storage, dependencies());
        QObject::connect(service.get(), &RetryQueueService::transcribed, transcripts.get(),
                         &TranscriptDelivery::deliverRetry, Qt::DirectConnection);
        return service;
    }

    QString queueFile() const { return storage + "/failed_queue.json"; }

    QJsonArray queueOnDisk() const {
        return QJsonDocument::fromJson(testsupport::readFile(queueFile())).array();
    }

    // An entry as an earlier run would have left it, with its audio.
    QJsonObject storedEntry(const QString& id, const QDateTime& createdAt,
                            const QByteArray& audio = "RIFF-audio") {
        FailedTranscription e;
        e.id = id;
        e.audioFileName = "failed_" + id + ".wav";
        e.language = "ru";
        e.provider = "openai";
        e.toneStyle = "neutral";
        e.duration = 4.5;
        e.errorMessage = "The request timed out.";
        e.createdAt = secondsSince2001(createdAt);
        e.audioSize = audio.size();
        testsupport::writeFile(storage + "/" + e.audioFileName, audio);
        return e.toJson();
    }

    void writeQueue(const QJsonArray& entries) {
        testsupport::writeFile(queueFile(), QJsonDocument(entries).toJson());
    }

    bool retryAndWait(RetryQueueService& service, const QString& id) {
        bool finished = false;
        service.retry(id, [&] { finished = true; });
        return testsupport::waitUntil([&] { return finished; });
    }

    FakeClock clock;
    QString base;
    QString storage;
    FakeDelivery delivery;
    std::unique_ptr<HistoryService> history;
    std::unique_ptr<TranscriptDelivery> transcripts;
    FakePasteboard pasteboard;
    ClipboardHistoryService clipboard{&pasteboard, clock};
    SettingsStore settings;
    AppState appState{settings, [](const QString&) { return TokenReadResult{}; }};
    FakeOverlay overlay;
};

}  // namespace

TEST_F(RetryQueueTest, SavedEntriesRoundTripThroughTheQueueFile) {
    auto service = makeService();
    DataChangedCounter counter;
    counter.reset();
    service->save("OggS-bytes", "ogg", "de", "openai", "formal", 12.25,
                  "The network connection was lost.");
    clock.advance(1.5);
    service->save("m4a-bytes", "m4a", "en", "groq", "neutral", 3, "Timed out");
    EXPECT_EQ(counter.soFar(), 0) << "posted inside the call";
    EXPECT_EQ(counter.settled(), 2);

    ASSERT_EQ(service->queue().size(), 2);
    const FailedTranscription newest = service->queue().at(0);
    const FailedTranscription ogg = service->queue().at(1);
    EXPECT_EQ(newest.audioFormat, "m4a");
    EXPECT_EQ(newest.audioFileName, "failed_" + newest.id + ".m4a");
    // Ogg data is kept under a .wav name; only audioFormat says what it is.
    EXPECT_EQ(ogg.audioFileName, "failed_" + ogg.id + ".wav");
    EXPECT_EQ(ogg.id, ogg.id.toUpper());
    EXPECT_EQ(ogg.id.size(), 36);
    EXPECT_EQ(testsupport::readFile(storage + "/" + ogg.audioFileName), "OggS-bytes");
    EXPECT_EQ(ogg.audioSize, 10);
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[RetryQueue] Saved failed transcription: " + ogg.id + " (10 bytes)"));

    // Recorded speech and its queue stay private to the user.
    EXPECT_EQ(QFileInfo(queueFile()).permissions() & 0x0077, 0);
    EXPECT_EQ(QFileInfo(service->audioFilePath(ogg)).permissions() & 0x0077, 0);

    const QByteArray raw = testsupport::readFile(queueFile());
    EXPECT_FALSE(raw.contains('\n'));
    const QJsonArray onDisk = queueOnDisk();
    ASSERT_EQ(onDisk.size(), 2);
    const QJsonObject o = onDisk.at(1).toObject();
    EXPECT_EQ(o.keys(),
              QStringList({"audioFileName", "audioFormat", "audioSize", "createdAt", "duration",
                           "errorMessage", "id", "language", "provider", "toneStyle"}));
    EXPECT_TRUE(o.value("createdAt").isDouble());
    EXPECT_DOUBLE_EQ(o.value("createdAt").toDouble(),
                     secondsSince2001(clock.currentDateTime()) - 1.5);
    EXPECT_EQ(o.value("toneStyle").toString(), "formal");
    EXPECT_DOUBLE_EQ(o.value("duration").toDouble(), 12.25);
    EXPECT_EQ(o.value("audioSize").toInteger(), 10);

    auto reloaded = makeService();
    EXPECT_EQ(reloaded->queue(), service->queue());
    EXPECT_EQ(reloaded->queue().at(1).createdAtDate(), clock.currentDateTime().addMSecs(-1500));
}

TEST_F(RetryQueueTest, KeepsTheTwentyNewestAndDeletesTheOldestAudio) {
    auto service = makeService();
    for (int i = 0; i < 21; ++i) {
        service->save(QByteArray("audio ") + QByteArray::number(i), "wav", "en", "p", "t", i, "e");
        clock.advance(1);
    }
    ASSERT_EQ(service->queue().size(), RetryQueueService::maxEntries);
    EXPECT_DOUBLE_EQ(service->queue().first().duration, 20);
    EXPECT_DOUBLE_EQ(service->queue().last().duration, 1);
    EXPECT_EQ(queueOnDisk().size(), 20);
    const QStringList audio =
        QDir(storage).entryList({"failed_*.wav", "failed_*.m4a"}, QDir::Files);
    EXPECT_EQ(audio.size(), 20);
    for (const FailedTranscription& e : service->queue())
        EXPECT_TRUE(audio.contains(e.audioFileName));
}

TEST_F(RetryQueueTest, EntriesOlderThanSevenDaysExpireAtStart) {
    const QDateTime boundary = clock.currentDateTime().addDays(-7);
    writeQueue({storedEntry("KEEP-NEW", clock.currentDateTime()),
                storedEntry("KEEP-EDGE", boundary), storedEntry("GONE", boundary.addMSecs(-1))});
    DataChangedCounter counter;
    counter.reset();
    auto service = makeService();

    ASSERT_EQ(service->queue().size(), 2);
    EXPECT_EQ(service->queue().at(0).id, "KEEP-NEW");
    EXPECT_EQ(service->queue().at(1).id, "KEEP-EDGE");
    EXPECT_FALSE(QFile::exists(storage + "/failed_GONE.wav"));
    EXPECT_TRUE(QFile::exists(storage + "/failed_KEEP-EDGE.wav"));
    EXPECT_EQ(queueOnDisk().size(), 2);
    EXPECT_EQ(counter.settled(), 1);
    const QString log = testsupport::debugLogText();
    EXPECT_TRUE(log.contains("[RetryQueue] Loaded 3 entries"));
    EXPECT_EQ(recordstest::occurrences(log, "[RetryQueue] Cleaned up 1 expired entries"), 1);
}

TEST_F(RetryQueueTest, ReadsEntriesWithoutAFormatAsWavAndRetriesThemSo) {
    QJsonObject legacy = storedEntry("LEGACY", clock.currentDateTime(), "old bytes");
    legacy.remove("audioFormat");
    QJsonObject nullFormat = storedEntry("NULLFMT", clock.currentDateTime());
    nullFormat.insert("audioFormat", QJsonValue::Null);
    writeQueue({legacy, nullFormat});
    auto service = makeService();
    ASSERT_EQ(service->queue().size(), 2);
    EXPECT_EQ(service->queue().at(0).audioFormat, "wav");
    EXPECT_EQ(service->queue().at(1).audioFormat, "wav");

    ASSERT_TRUE(retryAndWait(*service, "LEGACY"));
    ASSERT_EQ(delivery.callsSoFar().size(), 1u);
    const FakeDelivery::Call call = delivery.callsSoFar().front();
    EXPECT_EQ(call.format, "wav");
    EXPECT_EQ(call.audio, "old bytes");
    EXPECT_EQ(call.language, "ru");
    EXPECT_EQ(call.provider, "openai");
    EXPECT_EQ(call.toneStyle, "neutral");
    // Written back with every key.
    EXPECT_EQ(queueOnDisk().at(0).toObject().value("audioFormat").toString(), "wav");
}

TEST_F(RetryQueueTest, AMalformedEntryCostsOnlyItselfAndTheFileIsKeptAside) {
    QJsonObject noMessage = storedEntry("NOMSG", clock.currentDateTime());
    noMessage.remove("errorMessage");
    QJsonObject badSize = storedEntry("BADSIZE", clock.currentDateTime());
    badSize.insert("audioSize", "ten");
    // A name that leads out of the folder must never be opened or deleted.
    QJsonObject escape = storedEntry("ESCAPE", clock.currentDateTime());
    escape.insert("audioFileName", "../victim.txt");
    testsupport::writeFile(base + "/Ormil/victim.txt", "precious");
    writeQueue({storedEntry("GOOD-1", clock.currentDateTime()), noMessage, badSize, escape,
                QJsonValue(42), storedEntry("GOOD-2", clock.currentDateTime())});
    const QByteArray original = testsupport::readFile(queueFile());

    auto service = makeService();
    ASSERT_EQ(service->queue().size(), 2);
    EXPECT_EQ(service->queue().at(0).id, "GOOD-1");
    EXPECT_EQ(service->queue().at(1).id, "GOOD-2");
    EXPECT_EQ(recordstest::occurrences(testsupport::debugLogText(),
                                       "[RetryQueue] Skipped malformed entry"),
              4);

    service->clearAll();
    EXPECT_EQ(testsupport::readFile(queueFile() + ".bad"), original);
    EXPECT_EQ(testsupport::readFile(base + "/Ormil/victim.txt"), "precious");
    EXPECT_EQ(queueOnDisk().size(), 0);
}

TEST_F(RetryQueueTest, AnUndecodableFileIsKeptAsideBeforeTheFirstWrite) {
    const std::pair<const char*, QByteArray> cases[] = {
        {"not JSON", "{\"id\": \"cut off"},
        {"not an array", "{\"id\": \"X\"}"},
    };
    for (const auto& [name, content] : cases) {
        SCOPED_TRACE(name);
        QDir(storage).removeRecursively();
        testsupport::writeFile(queueFile(), content);
        auto service = makeService();
        EXPECT_TRUE(service->queue().isEmpty());
        // Reading alone changes nothing on disk.
        EXPECT_EQ(testsupport::readFile(queueFile()), content);
        EXPECT_FALSE(QFile::exists(queueFile() + ".bad"));

        service->save("a", "wav", "en", "p", "t", 1, "e");
        EXPECT_EQ(testsupport::readFile(queueFile() + ".bad"), content);
        EXPECT_EQ(queueOnDisk().size(), 1);
        service->save("b", "wav", "en", "p", "t", 1, "e");
        EXPECT_EQ(testsupport::readFile(queueFile() + ".bad"), content)
            << "kept once, not replaced";
    }
}

TEST_F(RetryQueueTest, ASuccessfulRetryDeliversTheTextLikeADictation) {
    auto service = makeService();
    service->save("audio", "ogg", "de", "openai", "neutral", 7.5, "Timed out");
    const QString id = service->queue().first().id;
    const QString audioPath = service->audioFilePath(service->queue().first());
    delivery.answer = "  Guten Tag ";
    DataChangedCounter counter;
    counter.reset();

    ASSERT_TRUE(retryAndWait(*service, id));
    EXPECT_EQ(delivery.callsSoFar().front().format, "ogg");
    EXPECT_EQ(delivery.inserted, QStringList({"Guten Tag "}));
    const QList<HistoryRecord> saved = history->fetchTranscriptions(7);
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved.first().value("text").toString(), "Guten Tag ");
    EXPECT_EQ(saved.first().value("language").toString(), "de");
    EXPECT_DOUBLE_EQ(saved.first().value("duration").toDouble(), 7.5);
    EXPECT_EQ(appState.lastTranscribedText(), "Guten Tag ");
    ASSERT_FALSE(clipboard.history().isEmpty());
    EXPECT_TRUE(clipboard.history().first().isTranscription);
    EXPECT_EQ(overlay.states, std::vector<OverlayState>{OverlayState::success});
    EXPECT_EQ(delivery.successSounds, 1);
    EXPECT_FALSE(appState.lastError().has_value());
    // Unlike a dictation, a retry leaves the layout and the processing state alone.
    EXPECT_TRUE(delivery.layoutSwitches.isEmpty());
    EXPECT_TRUE(delivery.copied.isEmpty());

    EXPECT_TRUE(service->queue().isEmpty());
    EXPECT_FALSE(QFile::exists(audioPath));
    EXPECT_EQ(queueOnDisk().size(), 0);
    EXPECT_EQ(counter.settled(), 2) << "the history save and the removal";
    EXPECT_TRUE(testsupport::debugLogText().contains("[RetryQueue] Retry succeeded for " + id));
}

TEST_F(RetryQueueTest, SuccessWithoutInsertionRightsOrWithoutText) {
    auto service = makeService();
    service->save("a", "wav", "en", "p", "t", 1, "e");
    service->save("b", "wav", "en", "p", "t", 1, "e");
    const QString untrusted = service->queue().at(0).id;
    const QString dropped = service->queue().at(1).id;

    delivery.trusted = false;
    ASSERT_TRUE(retryAndWait(*service, untrusted));
    EXPECT_TRUE(delivery.inserted.isEmpty());
    EXPECT_EQ(appState.lastError(), QString("Accessibility permission required"));
    EXPECT_EQ(history->fetchTranscriptions(0).size(), 1);
    EXPECT_EQ(overlay.states, std::vector<OverlayState>{OverlayState::success});
    EXPECT_TRUE(delivery.copied.isEmpty()) << "a retry does not leave the text on the clipboard";

    // The filters left nothing: nothing is delivered, yet the entry is done.
    overlay.states.clear();
    delivery.dropEverything = true;
    ASSERT_TRUE(retryAndWait(*service, dropped));
    EXPECT_TRUE(overlay.states.empty());
    EXPECT_EQ(history->fetchTranscriptions(0).size(), 1);
    EXPECT_EQ(delivery.successSounds, 1);
    EXPECT_TRUE(service->queue().isEmpty());
    EXPECT_TRUE(
        testsupport::debugLogText().contains("[RetryQueue] Retry succeeded for " + dropped));
}

TEST_F(RetryQueueTest, ARetryDuringADictationLeavesItsProcessingStateAlone) {
    auto service = makeService();
    service->save("a", "wav", "en", "p", "t", 1, "e");
    service->save("b", "wav", "en", "p", "t", 1, "e");
    appState.setIsProcessing(true);
    ASSERT_TRUE(retryAndWait(*service, service->queue().at(0).id));
    delivery.dropEverything = true;
    ASSERT_TRUE(retryAndWait(*service, service->queue().at(0).id));
    EXPECT_TRUE(appState.isProcessing());
    EXPECT_EQ(overlay.states, std::vector<OverlayState>{OverlayState::success})
        << "no idle state over the dictation's pill";
}

TEST_F(RetryQueueTest, ATextNobodyTakesLeavesTheEntryForALaterRetry) {
    auto service = std::make_unique<RetryQueueService>(storage, dependencies());
    service->save("a", "wav", "en", "p", "t", 1, "e");
    const FailedTranscription entry = service->queue().first();
    ASSERT_TRUE(retryAndWait(*service, entry.id));
    ASSERT_EQ(service->queue().size(), 1);
    EXPECT_TRUE(QFile::exists(service->audioFilePath(entry)));
    EXPECT_FALSE(testsupport::debugLogText().contains("[RetryQueue] Retry succeeded for "));
}

TEST_F(RetryQueueTest, AFailedRetryKeepsTheEntryWithTheNewReason) {
    auto service = makeService();
    service->save("a", "wav", "en", "p", "t", 1, "first reason");
    clock.advance(10);
    service->save("b", "wav", "en", "p", "t", 1, "other");
    const FailedTranscription before = service->queue().at(1);
    delivery.failure = "The network connection was lost.";
    DataChangedCounter counter;
    counter.reset();

    ASSERT_TRUE(retryAndWait(*service, before.id));
    ASSERT_EQ(service->queue().size(), 2);
    FailedTranscription expected = before;
    expected.errorMessage = "The network connection was lost.";
    EXPECT_EQ(service->queue().at(1), expected);
    EXPECT_EQ(queueOnDisk().at(1).toObject().value("errorMessage").toString(),
              "The network connection was lost.");
    EXPECT_EQ(appState.lastError(), QString("Retry failed: The network connection was lost."));
    EXPECT_EQ(overlay.states, std::vector<OverlayState>{OverlayState::error});
    EXPECT_EQ(delivery.errorSounds, 1);
    EXPECT_TRUE(QFile::exists(service->audioFilePath(before)));
    EXPECT_EQ(counter.settled(), 0);
    EXPECT_TRUE(testsupport::debugLogText().contains("[RetryQueue] Retry failed for " + before.id +
                                                     ": The network connection was lost."));
}

TEST_F(RetryQueueTest, MissingAudioRemovesTheEntryQuietly) {
    auto service = makeService();
    service->save("a", "wav", "en", "p", "t", 1, "e");
    const FailedTranscription entry = service->queue().first();
    QFile::remove(service->audioFilePath(entry));
    DataChangedCounter counter;
    counter.reset();

    ASSERT_TRUE(retryAndWait(*service, entry.id));
    EXPECT_TRUE(service->queue().isEmpty());
    EXPECT_TRUE(delivery.callsSoFar().empty());
    EXPECT_TRUE(overlay.states.empty());
    EXPECT_FALSE(appState.lastError().has_value());
    EXPECT_EQ(counter.settled(), 1);
    EXPECT_TRUE(testsupport::debugLogText().contains("[RetryQueue] Audio file not found: " +
                                                     entry.audioFileName));

    ASSERT_TRUE(retryAndWait(*service, "NO-SUCH-ID"));
    EXPECT_TRUE(testsupport::debugLogText().contains("[RetryQueue] Entry not found: NO-SUCH-ID"));
}

TEST_F(RetryQueueTest, ASecondRetryOfTheSameEntryIsIgnoredWhileTheFirstRuns) {
    auto service = makeService();
    service->save("a", "wav", "en", "p", "t", 1, "e");
    const QString id = service->queue().first().id;
    delivery.holdAnswers = true;

    bool first = false;
    bool second = false;
    service->retry(id, [&] { first = true; });
    EXPECT_TRUE(service->isRetrying(id));
    ASSERT_TRUE(testsupport::waitUntil([&] { return delivery.callsSoFar().size() == 1; }));
    service->retry(id, [&] { second = true; });
    ASSERT_TRUE(testsupport::waitUntil([&] { return second; }));
    EXPECT_FALSE(first);
    EXPECT_EQ(service->retryingIds(), QSet<QString>({id}));

    // Deleted while in flight: the late success finds nothing to remove.
    service->remove(id);
    delivery.release();
    ASSERT_TRUE(testsupport::waitUntil([&] { return first; }));
    EXPECT_EQ(delivery.callsSoFar().size(), 1u);
    EXPECT_FALSE(service->isRetrying(id));
    EXPECT_EQ(delivery.inserted.size(), 1);
    EXPECT_TRUE(service->queue().isEmpty());
}

TEST_F(RetryQueueTest, ClearAllAndRemove) {
    auto service = makeService();
    DataChangedCounter counter;
    counter.reset();
    service->clearAll();
    EXPECT_EQ(testsupport::readFile(queueFile()), "[]");
    EXPECT_EQ(counter.settled(), 1);
    EXPECT_TRUE(testsupport::debugLogText().contains("[RetryQueue] Cleared all"));

    service->save("a", "wav", "en", "p", "t", 1, "e");
    service->save("b", "wav", "en", "p", "t", 1, "e");
    const FailedTranscription gone = service->queue().at(0);
    counter.reset();
    service->remove("NOT-THERE");
    EXPECT_EQ(counter.settled(), 0);
    service->remove(gone.id);
    EXPECT_EQ(counter.settled(), 1);
    EXPECT_EQ(service->queue().size(), 1);
    EXPECT_FALSE(QFile::exists(service->audioFilePath(gone)));

    service->clearAll();
    EXPECT_TRUE(service->queue().isEmpty());
    EXPECT_TRUE(QDir(storage).entryList({"failed_*.wav", "failed_*.m4a"}, QDir::Files).isEmpty());
}

TEST_F(RetryQueueTest, AudioThatCannotBeWrittenMakesNoEntry) {
    // A regular file where the folder should be.
    testsupport::writeFile(storage, "in the way");
    auto service = makeService();
    DataChangedCounter counter;
    counter.reset();
    service->save("a", "wav", "en", "p", "t", 1, "e");
    EXPECT_TRUE(service->queue().isEmpty());
    EXPECT_EQ(counter.settled(), 0);
    EXPECT_TRUE(testsupport::debugLogText().contains("[RetryQueue] Failed to save audio: "));
}

TEST_F(RetryQueueTest, ASaveFromAWorkerThreadIsServedOnTheMainThread) {
    auto service = makeService();
    QThread* savedOn = nullptr;
    QObject::connect(service.get(), &RetryQueueService::queueChanged, service.get(),
                     [&] { savedOn = QThread::currentThread(); });
    std::thread worker([&] { service->save("a", "wav", "en", "p", "t", 1, "e"); });
    worker.join();
    ASSERT_TRUE(testsupport::waitUntil([&] { return service->queue().size() == 1; }));
    EXPECT_EQ(savedOn, QCoreApplication::instance()->thread());
    EXPECT_EQ(queueOnDisk().size(), 1);
}

namespace {
// A file with a given modification time.
void writeFileAt(const QString& path, const QByteArray& data, const QDateTime& modified) {
    testsupport::writeFile(path, data);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(modified, QFileDevice::FileModificationTime));
}

// What a recording killed mid-way leaves: the header with sizes never
// patched, then the samples written so far.
QByteArray killedRecording(int samples) {
    return WavFileWriter::header(16000, 1, 0) + QByteArray(samples * 2, '\x11');
}

const char* const kOrphanId = "0B5E5A1C-1111-4222-8333-944455556666";
const char* const kKilledName = "ormil_7D0C3B8E-AAAA-4BBB-8CCC-DDDDEEEEFFFF.wav";
}  // namespace

TEST_F(RetryQueueTest, LeftoversOfAKilledRunBecomeEntries) {
    const QString temp = recordstest::freshDir("retry-leftovers-tmp");
    const QDateTime now = clock.currentDateTime();
    writeQueue({storedEntry("A0000000-0000-4000-8000-000000000001", now.addSecs(-600))});
    // Audio saved, entry never written; an empty one; a recording cut off.
    writeFileAt(storage + "/failed_" + kOrphanId + ".wav", "OggS and more", now.addSecs(-300));
    writeFileAt(storage + "/failed_0B5E5A1C-0000-4000-8000-000000000002.m4a", "", now);
    writeFileAt(temp + "/" + kKilledName, killedRecording(16000), now.addSecs(-60));
    writeFileAt(temp + "/ormil_0B5E5A1C-0000-4000-8000-000000000003.wav",
                WavFileWriter::header(16000, 1, 0), now);
    // Not recordings of the recorder: the probe and a chunk file.
    writeFileAt(temp + "/ormil_mic_probe.wav", killedRecording(10), now);
    writeFileAt(temp + "/ormil_chunk_0B5E5A1C-0000-4000-8000-000000000004.wav",
                killedRecording(10), now);

    auto service = makeService();
    DataChangedCounter counter;
    counter.reset();
    EXPECT_EQ(service->adoptLeftovers({temp}, "de", "openai", "formal"), 2);
    EXPECT_EQ(counter.settled(), 1);

    ASSERT_EQ(service->queue().size(), 3);
    const FailedTranscription killed = service->queue().at(0);
    const FailedTranscription orphan = service->queue().at(1);
    EXPECT_EQ(service->queue().at(2).id, "A0000000-0000-4000-8000-000000000001");
    for (const FailedTranscription& e : {killed, orphan}) {
        EXPECT_EQ(e.errorMessage, "Interrupted");
        EXPECT_EQ(e.language, "de");
        EXPECT_EQ(e.provider, "openai");
        EXPECT_EQ(e.toneStyle, "formal");
        EXPECT_EQ(QFileInfo(service->audioFilePath(e)).permissions() & 0x0077, 0);
    }
    EXPECT_EQ(orphan.id, kOrphanId);
    EXPECT_EQ(orphan.audioFormat, "ogg");
    EXPECT_EQ(orphan.audioSize, 13);
    EXPECT_EQ(orphan.createdAtDate(), now.addSecs(-300));
    EXPECT_EQ(killed.audioFormat, "wav");
    EXPECT_DOUBLE_EQ(killed.duration, 1.0);
    EXPECT_EQ(killed.createdAtDate(), now.addSecs(-60));

    // The recording moved into the queue folder with its sizes patched, so
    // the retry sends a whole WAV file.
    const QByteArray sent = killedRecording(16000).replace(0, 44, WavFileWriter::header(16000, 1, 32000));
    EXPECT_EQ(testsupport::readFile(service->audioFilePath(killed)), sent);
    EXPECT_EQ(QDir(temp).entryList(QDir::Files),
              QStringList({"ormil_chunk_0B5E5A1C-0000-4000-8000-000000000004.wav",
                           "ormil_mic_probe.wav"}));
    EXPECT_EQ(QDir(storage).entryList({"failed_*"}, QDir::Files).size(), 4)
        << "three recordings and the queue file; the empty leftover is gone";
    EXPECT_EQ(makeService()->queue(), service->queue()) << "the queue file holds them";

    delivery.failure = "still offline";
    ASSERT_TRUE(retryAndWait(*service, killed.id));
    ASSERT_EQ(delivery.callsSoFar().size(), 1u);
    EXPECT_EQ(delivery.callsSoFar().at(0).audio, sent);
    EXPECT_EQ(delivery.callsSoFar().at(0).format, "wav");

    // The next start finds nothing left to adopt.
    service.reset();
    EXPECT_EQ(makeService()->adoptLeftovers({temp}, "de", "openai", "formal"), 0);
}

TEST_F(RetryQueueTest, FilesOfARunningCopyAreLeftAlone) {
    const QString temp = recordstest::freshDir("retry-running-tmp");
    const QDateTime now = clock.currentDateTime();
    writeFileAt(storage + "/failed_" + kOrphanId + ".wav", killedRecording(100), now);
    writeFileAt(temp + "/" + kKilledName, killedRecording(100), now);

    auto running = makeService();
    EXPECT_EQ(running->adoptLeftovers({temp}, "en", "openai", "none"), 2);
    writeFileAt(temp + "/" + kKilledName, killedRecording(100), now);  // it records again

    // A second copy while the first runs: the recording may still be growing.
    auto second = makeService();
    EXPECT_EQ(second->adoptLeftovers({temp}, "en", "openai", "none"), 0);
    EXPECT_TRUE(QFile::exists(temp + "/" + kKilledName));
    EXPECT_EQ(second->queue().size(), 2);

    // Once both are gone, the next start takes it.
    running.reset();
    second.reset();
    EXPECT_EQ(makeService()->adoptLeftovers({temp}, "en", "openai", "none"), 1);
    EXPECT_FALSE(QFile::exists(temp + "/" + kKilledName));

    // Any holder of the lock counts as a running copy.
    InstanceLock other(makeService()->instanceLockPath());
    ASSERT_TRUE(other.share());
    writeFileAt(temp + "/" + kKilledName, killedRecording(100), now);
    EXPECT_EQ(makeService()->adoptLeftovers({temp}, "en", "openai", "none"), 0);
}

TEST_F(RetryQueueTest, ARecordingKilledWhileItWasSentBecomesAnEntry) {
    // The recorder patched the sizes when it stopped; the run was killed
    // while the upload waited for the service.
    const QString temp = recordstest::freshDir("retry-sent-tmp");
    const QByteArray finished = WavFileWriter::header(16000, 1, 48000) + QByteArray(48000, '\x22');
    writeFileAt(temp + "/" + kKilledName, finished, clock.currentDateTime().addSecs(-5));

    auto service = makeService();
    ASSERT_EQ(service->adoptLeftovers({temp}, "ru", "openai", "none"), 1);
    const FailedTranscription e = service->queue().at(0);
    EXPECT_EQ(e.errorMessage, "Interrupted");
    EXPECT_EQ(e.audioFormat, "wav");
    EXPECT_DOUBLE_EQ(e.duration, 1.5);
    EXPECT_EQ(testsupport::readFile(service->audioFilePath(e)), finished);
    EXPECT_FALSE(QFile::exists(temp + "/" + kKilledName));
}

// The folders holding settings, history, queued audio and reports are the
// user's alone, also where an earlier version left them readable by all.
TEST_F(RetryQueueTest, TheApplicationsFoldersAreTheUsersAlone) {
    const QString config = QFileInfo(SettingsStore::defaultFilePath()).absolutePath();
    const QString data = QFileInfo(HistoryService::defaultDatabasePath()).absolutePath();
    const QString audio = RetryQueueService::defaultStorageDir();
    const auto everyone = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                          QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser |
                          QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                          QFileDevice::ExeOther;
    const auto privateOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                             QFileDevice::ExeOwner | QFileDevice::ReadUser |
                             QFileDevice::WriteUser | QFileDevice::ExeUser;
    struct Case {
        const char* name;
        QString folder;
        std::function<void()> use;
    };
    const Case cases[] = {
        {"settings", config, [] { SettingsStore(SettingsStore::defaultFilePath()).set("k", 1); }},
        {"history", data,
         [&] { HistoryService(HistoryService::defaultDatabasePath(), clock).isStoreLoaded(); }},
        {"error reports", data, [] { ErrorReportService::defaultQueueFile(); }},
        {"text expansions", data,
         [] { TextExpansionService(TextExpansionService::defaultFilePath()).saveToFile(); }},
        {"retry queue", audio,
         [&] {
             RetryQueueService(audio, dependencies());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (bool existed : {false, true}) {
            QDir(c.folder).removeRecursively();
            if (existed) {
                ASSERT_TRUE(QDir().mkpath(c.folder));
                ASSERT_TRUE(QFile::setPermissions(c.folder, everyone));
            }
            c.use();
            EXPECT_EQ(QFileInfo(c.folder).permissions(), privateOnly) << "existed: " << existed;
        }
    }
}

TEST_F(RetryQueueTest, TheOnlyCopyClearsWhatAKilledRunLeftInItsOwnTemporaryFolder) {
    const QString temp = recordstest::freshDir("retry-private-tmp");
    const QDateTime now = clock.currentDateTime();
    const QStringList others = {"ormil_chunk_0B5E5A1C-0000-4000-8000-000000000004.wav",
                                "ormil_7D0C3B8E-AAAA-4BBB-8CCC-DDDDEEEEFFFF.ogg",
                                "0B5E5A1C-0000-4000-8000-000000000005.ogg", "ormil_mic_probe.wav"};
    const auto leave = [&] {
        for (const QString& name : others) writeFileAt(temp + "/" + name, "spoken", now);
        writeFileAt(temp + "/" + kKilledName, killedRecording(100), now);
    };

    // While another copy runs, its files are in use.
    leave();
    {
        InstanceLock other(makeService()->instanceLockPath());
        ASSERT_TRUE(other.share());
        EXPECT_EQ(makeService()->adoptLeftovers({temp}, "en", "openai", "none", temp), 0);
        EXPECT_EQ(QDir(temp).entryList(QDir::Files).size(), others.size() + 1);
    }

    auto service = makeService();
    EXPECT_EQ(service->adoptLeftovers({temp}, "en", "openai", "none", temp), 1);
    EXPECT_TRUE(QDir(temp).entryList(QDir::Files).isEmpty())
        << QDir(temp).entryList(QDir::Files).join(", ").toStdString();
}
