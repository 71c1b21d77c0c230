// The History page: which records it lists and how it groups them, the
// row texts and figures, the Clear All buttons, and a retry of a failed
// recording through the stand-in that a rebuild of the page cannot repeat.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QtNumeric>
#include <QToolButton>

#include "MainWindowFixture.h"
#include "OfflineDelivery.h"
#include "core/L10n.h"
#include "fakes/FakeOverlay.h"
#include "mainwindow/HistorySection.h"
#include "records/ClipboardHistoryService.h"
#include "records/RetryQueueService.h"
#include "service/TranscriptionService.h"
#include "support/DevService.h"
#include "support/Screenshots.h"
#include "support/VirtualMic.h"
#include "ui/BusySpinner.h"
#include "ui/EmptyState.h"
#include "ui/SearchField.h"

using testsupport::waitUntil;

namespace {

// The real transcription client against the stand-in.
class StandInDelivery : public OfflineDelivery {
public:
    explicit StandInDelivery(TranscriptionService& client) : m_client(client) {}
    QString transcribe(const QByteArray& audio, const QString& language, const QString& provider,
                       const QString& toneStyle, const QString& format) override {
        return m_client.transcribe(audio, language, provider, toneStyle, format, std::nullopt);
    }

private:
    TranscriptionService& m_client;
};

QDateTime at(int day, int hour, int minute) {
    return QDateTime(QDate(2026, 3, day), QTime(hour, minute));
}

class HistoryPage : public MainWindowFixture {
protected:
    HistoryPage() {
        context.history = &history;
        useQueue(noDelivery);
    }

    void useQueue(RetryDelivery& delivery) {
        queue.reset();
        queue = std::make_unique<RetryQueueService>(
            testsupport::root() + "/data/failed_audio",
            RetryQueueService::Dependencies{delivery, history, clipboard, appState, &overlay,
                                            storeClock});
        context.retryQueue = queue.get();
    }

    // Saves texts oldest first, a minute apart, ending at the store's now.
    void save(const QStringList& texts, double seconds = 5) {
        for (const QString& t : texts) {
            history.saveTranscription(t, "en", seconds);
            storeClock.advance(60);
        }
        testsupport::processEvents();
    }
    void fail(const QString& error, const QByteArray& audio = QByteArray(3000, 'x')) {
        queue->save(audio, "wav", "en", "openai", "neutral", 75, error);
    }

    std::unique_ptr<HistorySection> open() {
        auto page = std::make_unique<HistorySection>(context);
        page->resize(720, 520);
        page->show();
        page->notifyAppeared();
        return page;
    }
    static QStringList texts(HistorySection& page) {
        QStringList out;
        for (const TranscriptionItem& i : page.items()) out << i.text;
        return out;
    }

    FakeClock storeClock{at(9, 23, 59)};
    HistoryService history{testsupport::root() + "/data/Ormil.sqlite", storeClock};
    FakeOverlay overlay;
    ClipboardHistoryService clipboard{&pasteboard, clock};
    OfflineDelivery noDelivery;
    std::unique_ptr<RetryQueueService> queue;
};

}  // namespace

TEST(HistoryFormats, DurationAndSize) {
    const struct {
        double seconds;
        const char* text;
    } durations[] = {{0, "0s"},       {59.9, "59s"},       {60, "1m 0s"}, {75, "1m 15s"},
                     {3600, "60m 0s"}, {-3, "-3s"},         {qQNaN(), "0s"}};
    for (const auto& d : durations) EXPECT_EQ(formatDuration(d.seconds), d.text) << d.seconds;
    const struct {
        qint64 bytes;
        const char* text;
    } sizes[] = {{0, "0 B"},      {512, "512 B"},          {1023, "1023 B"},
                 {1024, "1 KB"},  {1500000, "1464 KB"},    {5LL << 30, "5242880 KB"}};
    for (const auto& s : sizes) EXPECT_EQ(formatSize(s.bytes), s.text) << s.bytes;
}

TEST(HistoryGroups, DayClassesFollowTheLocalCalendarOfNow) {
    const QDateTime now = at(10, 0, 1);
    QList<TranscriptionItem> items;
    for (const QDateTime& t : {at(10, 0, 0), at(9, 23, 59), at(8, 23, 59), at(10, 0, 1),
                               at(9, 0, 0), at(1, 12, 0)})
        items << TranscriptionItem{QUuid::createUuid(), t.toString("dd HH:mm"), t, 1, 1};
    const QList<TranscriptionGroup> groups = HistorySection::groupedTranscriptions(items, now);
    ASSERT_EQ(groups.size(), 3);
    const auto textsOf = [](const TranscriptionGroup& g) {
        QStringList out;
        for (const auto& i : g.items) out << i.text;
        return out;
    };
    EXPECT_EQ(groups[0].key, "Today");
    EXPECT_EQ(textsOf(groups[0]), QStringList({"10 00:00", "10 00:01"}));
    EXPECT_EQ(groups[1].key, "Yesterday");
    EXPECT_EQ(textsOf(groups[1]), QStringList({"09 23:59", "09 00:00"}));
    EXPECT_EQ(groups[2].key, "Earlier");
    EXPECT_EQ(textsOf(groups[2]), QStringList({"08 23:59", "01 12:00"}));

    // Days without items make no group; the fixed order stays.
    const QList<TranscriptionGroup> two =
        HistorySection::groupedTranscriptions({items[2], items[0]}, now);
    ASSERT_EQ(two.size(), 2);
    EXPECT_EQ(two[0].key, "Today");
    EXPECT_EQ(two[1].key, "Earlier");
    EXPECT_TRUE(HistorySection::groupedTranscriptions({}, now).isEmpty());
}

TEST(HistoryRows, CollapsedTextIsTwoHundredCharactersAndAMark) {
    const QString thumb = QString::fromUtf8("👍🏽");  // one character, four code units
    const struct {
        QString text;
        QString shown;
    } cases[] = {
        {QString(200, 'a'), QString(200, 'a')},
        {QString(201, 'a'), QString(200, 'a') + "..."},
        {QString(199, 'a') + thumb, QString(199, 'a') + thumb},
        {QString(199, 'a') + thumb + "b", QString(199, 'a') + thumb + "..."},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TranscriptionRow::displayText(c.text, false), c.shown) << c.text.size();
        EXPECT_EQ(TranscriptionRow::displayText(c.text, true), c.text);
    }
}

TEST(HistoryItems, RecordsWithAMissingOrMistypedKeyAreLeftOut) {
    const HistoryRecord good{{"id", QUuid::createUuid()},
                             {"text", "hello"},
                             {"timestamp", at(10, 9, 0)},
                             {"duration", 2.5},
                             {"wordCount", 1},
                             {"language", "en"}};
    QList<HistoryRecord> records{good};
    for (const char* key : {"id", "text", "timestamp", "duration", "wordCount"}) {
        HistoryRecord missing = good;
        missing.remove(key);
        HistoryRecord mistyped = good;
        mistyped.insert(key, QVariant::fromValue(QStringList{"x"}));
        records << missing << mistyped;
    }
    HistoryRecord noLanguage = good;
    noLanguage.remove("language");
    records << noLanguage;
    const QList<TranscriptionItem> items = HistorySection::filteredTranscriptions(records);
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0].text, "hello");
    EXPECT_EQ(items[0].duration, 2.5);
}

TEST_F(HistoryPage, NewestTwoHundredWithoutSearchEveryMatchWithIt) {
    QStringList all;
    for (int i = 0; i < 250; ++i) all << (i % 5 == 0 ? QString("Zebra note %1").arg(i)
                                                      : QString("plain note %1").arg(i));
    save(all);
    auto page = open();
    EXPECT_EQ(page->items().size(), 200);
    EXPECT_EQ(page->items().first().text, "plain note 249");
    EXPECT_TRUE(testsupport::debugLogText().contains("[History] loadData: 200 raw, 200 filtered"));

    page->searchField()->lineEdit()->setText("ZEBRA");
    EXPECT_EQ(page->items().size(), 50);
    EXPECT_EQ(page->items().first().text, "Zebra note 245");
    EXPECT_EQ(page->items().last().text, "Zebra note 0");  // older than the newest 200

    page->searchField()->clearButton()->click();
    EXPECT_EQ(page->searchText(), "");
    EXPECT_EQ(page->items().size(), 200);
}

TEST_F(HistoryPage, AManyMatchSearchMakesItsRowsAsTheListIsScrolled) {
    QStringList all;
    for (int i = 0; i < 450; ++i) all << QString("note %1").arg(i);
    save(all);
    auto page = open();
    page->setSearchText("note");
    ASSERT_EQ(page->items().size(), 450);
    QScrollBar* bar = page->scrollArea()->verticalScrollBar();
    for (int i = 0; i < 40 && page->rows().size() < 450; ++i) {
        testsupport::processEvents();
        bar->setValue(bar->maximum());
    }
    ASSERT_EQ(page->rows().size(), 450);
    EXPECT_EQ(page->rows().last()->item().text, "note 0");
}

TEST_F(HistoryPage, GroupsRowsAndTheirFigures) {
    // One yesterday at 23:59, two today (the page's now is 14:30 on the 10th).
    save({"late yesterday"}, 75);
    storeClock.advance(8 * 3600);
    save({"this morning", "a bit later"});
    auto page = open();
    EXPECT_EQ(page->groupTitles(), QStringList({"Today", "Yesterday"}));
    const QList<TranscriptionRow*> rows = page->rows();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[2]->item().text, "late yesterday");
    QStringList captions;
    for (QLabel* l : rows[2]->findChildren<QLabel*>()) captions << l->text();
    EXPECT_TRUE(captions.contains("1m 15s"));
    EXPECT_TRUE(captions.contains("2 words"));
    EXPECT_EQ(rows[0]->copyButton()->toolTip(), "Copy");
    EXPECT_EQ(rows[0]->deleteButton()->toolTip(), "Delete");
}

TEST_F(HistoryPage, RowsExpandOneAtATimeCopyAndDelete) {
    const QString longText = QString("word ").repeated(60).trimmed();  // 299 characters
    save({longText, "short one"});
    auto page = open();
    auto rowFor = [&](const QString& text) -> TranscriptionRow* {
        for (TranscriptionRow* r : page->rows())
            if (r->item().text == text) return r;
        return nullptr;
    };
    ASSERT_TRUE(rowFor(longText));
    EXPECT_TRUE(rowFor(longText)->textLabel()->text().endsWith("..."));
    rowFor(longText)->click();
    EXPECT_EQ(rowFor(longText)->textLabel()->text(), longText);
    rowFor("short one")->click();
    EXPECT_FALSE(rowFor(longText)->isExpanded());
    EXPECT_TRUE(rowFor("short one")->isExpanded());
    rowFor("short one")->click();
    EXPECT_FALSE(page->expandedId());

    // Copy is a plain copy: no marker, so the clipboard history records it.
    pasteboard.setString("before");
    rowFor("short one")->copyButton()->click();
    EXPECT_EQ(pasteboard.string(), "short one");
    clipboard.checkClipboard();
    ASSERT_FALSE(clipboard.history().isEmpty());
    EXPECT_EQ(clipboard.history().first().text, "short one");

    rowFor("short one")->deleteButton()->click();
    EXPECT_EQ(texts(*page), QStringList{longText});
    EXPECT_EQ(history.fetchTranscriptions(0).size(), 1);
}

TEST_F(HistoryPage, HeaderClearAllEmptiesTheWholeHistoryNotTheQueue) {
    save({"alpha one", "beta", "alpha two", "gamma", "alpha three"});
    fail("The request timed out.");
    auto page = open();
    page->setSearchText("alpha");
    ASSERT_EQ(page->items().size(), 3);
    ASSERT_TRUE(page->clearAllButton()->isVisible());
    page->clearAllButton()->click();
    EXPECT_TRUE(history.fetchTranscriptions(0).isEmpty());
    EXPECT_EQ(queue->queue().size(), 1);
    EXPECT_FALSE(page->clearAllButton()->isVisible());

    // With the queue empty too, the empty page names the hotkey.
    queue->clearAll();
    page->setSearchText("");
    EXPECT_TRUE(page->showsEmptyState());
    EXPECT_EQ(page->emptyState()->title(), "No recordings yet");
    EXPECT_EQ(page->emptyState()->hint(), "Hold Right ⌥ Option to start recording");
}

TEST_F(HistoryPage, FailedGroupOffersClearAllFromTwoEntries) {
    fail("The request timed out.");
    auto page = open();
    EXPECT_FALSE(page->showsEmptyState());
    EXPECT_EQ(page->groupTitles(), QStringList{"Failed to Recognize"});
    ASSERT_EQ(page->failedRows().size(), 1);
    EXPECT_EQ(page->failedRows()[0]->errorLabel()->text(), "The request timed out.");
    EXPECT_FALSE(page->failedClearAllButton());

    // The queue redraws the page directly.
    fail("No connection.");
    ASSERT_EQ(page->failedRows().size(), 2);
    EXPECT_EQ(page->failedRows()[0]->errorLabel()->text(), "No connection.");
    ASSERT_TRUE(page->failedClearAllButton());
    page->failedClearAllButton()->click();
    EXPECT_TRUE(queue->queue().isEmpty());
    EXPECT_TRUE(page->showsEmptyState());

    // Delete removes one entry without asking.
    fail("Again.");
    ASSERT_EQ(page->failedRows().size(), 1);
    page->failedRows()[0]->deleteButton()->click();
    EXPECT_TRUE(queue->queue().isEmpty());
}

TEST_F(HistoryPage, RetryThroughTheStandInRemovesTheRowAndARebuildNeverRetriesTwice) {
    DevService stand;
    const DevService::Tokens tokens =
        stand.createSignedInAccount({{"email", "history@ormil.test"}, {"password", "pw"}});
    TranscriptionService::Collaborators c;
    c.appState = &appState;
    c.overlay = &overlay;
    c.apiBase = [&] { return stand.baseUrl(); };
    c.auth.accessToken = [&]() -> std::optional<QString> { return tokens.access; };
    c.auth.refresh = [] {
        return std::optional<TranscriptionService::Auth::Failure>(
            TranscriptionService::Auth::Failure{true, "no refresh here"});
    };
    TranscriptionService client(SettingsStore::shared(), std::move(c));
    StandInDelivery delivery(client);
    useQueue(delivery);
    fail("The request timed out.", VirtualMic::speechWav("retry from the history page"));

    DevService::Answer ok;
    ok.json = QJsonObject{{"success", true}, {"text", "retried from history"}, {"word_count", 3}};
    stand.queue("/transcribe", ok);
    stand.hold("/transcribe");
    auto page = open();
    ASSERT_EQ(page->failedRows().size(), 1);
    page->failedRows()[0]->retryButton()->click();
    ASSERT_TRUE(waitUntil([&] { return stand.inFlight() == 1; }));
    // Rows are shown once control returns to the event loop.
    const auto showsSpinner = [&] {
        const QList<FailedTranscriptionRow*> rows = page->failedRows();
        return rows.size() == 1 && rows[0]->spinner()->isVisibleTo(page.get()) &&
               !rows[0]->retryButton()->isVisibleTo(page.get());
    };
    EXPECT_TRUE(waitUntil(showsSpinner));

    // The frame rebuilds the page while the retry runs: the new row knows.
    page->notifyDisappeared();
    page.reset();
    page = open();
    ASSERT_EQ(page->failedRows().size(), 1);
    EXPECT_TRUE(page->failedRows()[0]->isRetrying());
    EXPECT_TRUE(waitUntil(showsSpinner));
    page->failedRows()[0]->retry();

    stand.release();
    ASSERT_TRUE(waitUntil([&] { return queue->queue().isEmpty(); }, 60000));
    EXPECT_EQ(stand.requests("/transcribe").size(), 1);
    EXPECT_TRUE(page->failedRows().isEmpty());
    // The retried text is a dictation like any other.
    page->loadData();
    EXPECT_EQ(texts(*page), QStringList{"retried from history"});
}
