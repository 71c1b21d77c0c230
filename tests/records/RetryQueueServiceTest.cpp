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
#include <thread>

#include "core/OverlayControl.h"
#include "core/AppState.h"
#include "fakes/FakeClock.h"
#include "platform/Pasteboard.h"
#include "platform/SettingsStore.h"
#include "records/ClipboardHistoryService.h"
#include "records/HistoryService.h"
#include "records/RecordsTestSupport.h"
#include "records/RetryQueueService.h"
#include "fakes/FakeOverlay.h"
#include "fakes/FakePasteboard.h"

using recordstest::DataChangedCounter;

namespace {

class FakeDelivery : public RetryDelivery {
public:
    struct Call {
        QByteArray audio;
        QString language, provider, toneStyle, format;
    };

    QString transcribe(const QByteArray& audio, const QString& language, const QString& provider,
                       const QString& toneStyle, const QString& format) override {
        {
            std::unique_lock lock(mutex);
            calls.push_back({audio, language, provider, toneStyle, format});
            // A test may hold the answer back to look at a retry in flight.
            cv.wait_for(lock, std::chrono::seconds(30), [this] { return !holdAnswers; });
        }
        if (!failure.isEmpty()) throw std::runtime_error(failure.toStdString());
        return answer;
    }
    std::optional<QString> process(const QString& text) override {
        if (dropEverything) return std::nullopt;
        return text.trimmed() + " ";
    }
    bool isProcessTrusted() override { return trusted; }
    void insertTextViaPasteboard(const QString& text) override { inserted << text; }
    void playSuccessSound() override { ++successSounds; }
    void playErrorSound() override { ++errorSounds; }

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
    }

    std::unique_ptr<RetryQueueService> makeService() {
        return std::make_unique<RetryQueueService>(
            storage, RetryQueueService::Dependencies{delivery, *history, clipboard, appState,
                                                     &overlay, clock});
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
