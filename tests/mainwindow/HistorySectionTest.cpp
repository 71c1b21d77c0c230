// The History page: which records it lists and how it groups them, the
// row texts and figures, the Clear All buttons, and a retry of a failed
// recording through the stand-in that a rebuild of the page cannot repeat.
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSemaphore>
#include <QToolButton>
#include <QtNumeric>

#include "MainWindowFixture.h"
#include "OfflineDelivery.h"
#include "core/L10n.h"
#include "fakes/FakeOverlay.h"
#include "mainwindow/HistorySection.h"
#include "platform/Clock.h"
#include "platform/Threading.h"
#include "records/ClipboardHistoryService.h"
#include "records/RetryQueueService.h"
#include "service/TranscriptionService.h"
#include "support/DevService.h"
#include "support/ListProbe.h"
#include "support/Screenshots.h"
#include "support/VirtualMic.h"
#include "ui/EmptyState.h"
#include "ui/SearchField.h"

using testsupport::waitUntil;

namespace {

QDateTime at(int day, int hour, int minute) {
    return QDateTime(QDate(2026, 3, day), QTime(hour, minute));
}

class HistoryPage : public MainWindowFixture {
protected:
    HistoryPage() {
        context.history = &history;
        useQueue(noDelivery);
    }

    void useQueue(OfflineDelivery& delivery) {
        queue.reset();
        queue = delivery.makeQueue(testsupport::root() + "/data/failed_audio", history, clipboard,
                                   appState, overlay, storeClock);
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
    static void search(HistorySection& page, const QString& text) {
        page.setSearchText(text);
        ASSERT_TRUE(waitUntil([&] { return !page.isSearching(); }));
    }
    static ListRow rowOf(HistorySection& page, const QString& text) {
        for (const TranscriptionItem& i : page.items())
            if (i.text == text) return page.model()->rowAt(page.model()->rowOf(i.id));
        return {};
    }
    static int indexOf(HistorySection& page, const QString& text) {
        for (const TranscriptionItem& i : page.items())
            if (i.text == text) return page.model()->rowOf(i.id);
        return -1;
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
    } durations[] = {{0, "0s"},        {59.9, "59s"}, {60, "1m 0s"},  {75, "1m 15s"},
                     {3600, "60m 0s"}, {-3, "-3s"},   {qQNaN(), "0s"}};
    for (const auto& d : durations) EXPECT_EQ(formatDuration(d.seconds), d.text) << d.seconds;
    const struct {
        qint64 bytes;
        const char* text;
    } sizes[] = {{0, "0 B"},     {512, "512 B"},       {1023, "1023 B"},
                 {1024, "1 KB"}, {1500000, "1464 KB"}, {5LL << 30, "5242880 KB"}};
    for (const auto& s : sizes) EXPECT_EQ(formatSize(s.bytes), s.text) << s.bytes;
}

TEST(HistoryGroups, DayClassesFollowTheLocalCalendarOfNow) {
    const QDateTime now = at(10, 0, 1);
    QList<TranscriptionItem> items;
    for (const QDateTime& t :
         {at(10, 0, 0), at(9, 23, 59), at(8, 23, 59), at(10, 0, 1), at(9, 0, 0), at(1, 12, 0)})
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
    const HistoryRecord good{
        {"id", QUuid::createUuid()}, {"text", "hello"}, {"timestamp", at(10, 9, 0)},
        {"duration", 2.5},           {"wordCount", 1},  {"language", "en"}};
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
    for (int i = 0; i < 250; ++i)
        all << (i % 5 == 0 ? QString("Zebra note %1").arg(i) : QString("plain note %1").arg(i));
    save(all);
    auto page = open();
    EXPECT_EQ(page->items().size(), 200);
    EXPECT_EQ(page->items().first().text, "plain note 249");
    EXPECT_TRUE(testsupport::debugLogText().contains("[History] loadData: 200 raw, 200 filtered"));

    page->searchField()->lineEdit()->setText("ZEBRA");
    ASSERT_TRUE(waitUntil([&] { return !page->isSearching(); }));
    EXPECT_EQ(page->items().size(), 50);
    EXPECT_EQ(page->items().first().text, "Zebra note 245");
    EXPECT_EQ(page->items().last().text, "Zebra note 0");  // older than the newest 200

    page->searchField()->clearButton()->click();
    EXPECT_EQ(page->searchText(), "");
    EXPECT_EQ(page->items().size(), 200);
}

TEST_F(HistoryPage, EveryMatchOfALargeSearchIsReachableByScrolling) {
    QStringList all;
    for (int i = 0; i < 450; ++i) all << QString("note %1").arg(i);
    save(all);
    auto page = open();
    search(*page, "note");
    ASSERT_EQ(page->items().size(), 450);
    RecordListView* list = page->list();
    testsupport::processEvents();
    // Only the rows shown are measured, not every match.
    EXPECT_LT(list->measuredRows(), 40);
    QScrollBar* bar = list->verticalScrollBar();
    for (int i = 0; i < 40; ++i) {
        bar->setValue(bar->maximum());
        list->viewport()->repaint();
    }
    const QModelIndex last = list->indexAt(QPoint(40, list->viewport()->height() - 2));
    ASSERT_TRUE(last.isValid());
    EXPECT_EQ(page->model()->item(last.row()).text, "note 0");
    EXPECT_EQ(last.row(), page->model()->rowCount() - 1);
}

TEST_F(HistoryPage, AStaleSearchAnswerIsDropped) {
    save({"alpha", "alpine", "beta"});
    auto page = open();
    // The answer to "al" is held back until the one to "alph" is shown.
    const QString path = history.databasePath();
    const QDateTime now = storeClock.currentDateTime();
    QSemaphore release;
    page->setSearch([&release, path, now](const QString& query, int limit) {
        if (query == "al") release.acquire();
        return HistoryService::searchStore(path, query, now, limit);
    });
    page->setSearchText("al");
    EXPECT_TRUE(page->isSearching());
    page->setSearchText("alph");
    ASSERT_TRUE(waitUntil([&] { return !page->isSearching(); }));
    EXPECT_EQ(texts(*page), QStringList{"alpha"});
    release.release();
    ASSERT_TRUE(waitForAsyncWork(20000));
    testsupport::processEvents();
    EXPECT_EQ(texts(*page), QStringList{"alpha"});
    EXPECT_FALSE(page->isSearching());
}

TEST_F(HistoryPage, GroupsRowsAndTheirFigures) {
    // One yesterday at 23:59, two today (the page's now is 14:30 on the 10th).
    save({"late yesterday"}, 75);
    storeClock.advance(8 * 3600);
    save({"this morning", "a bit later"});
    auto page = open();
    EXPECT_EQ(page->groupTitles(), QStringList({"Today", "Yesterday"}));
    // Headers are rows of the same list: Today, two rows, Yesterday, one.
    HistoryListModel* model = page->model();
    ASSERT_EQ(model->rowCount(), 5);
    EXPECT_TRUE(model->isHeader(0));
    EXPECT_TRUE(model->isHeader(3));
    EXPECT_EQ(model->item(4).text, "late yesterday");
    const ListRow row = model->rowAt(4);
    const QStringList shown = listprobe::texts(row);
    EXPECT_TRUE(shown.contains("1m 15s"));
    EXPECT_TRUE(shown.contains("2 words"));
    // The icon buttons have names a screen reader reads, and tooltips.
    const ListPart* copy = listprobe::part(row, TranscriptionRow::copyAction);
    const ListPart* remove = listprobe::part(row, TranscriptionRow::deleteAction);
    ASSERT_TRUE(copy && remove);
    EXPECT_EQ(copy->toolTip, "Copy");
    EXPECT_EQ(copy->accessibleName, "Copy");
    EXPECT_EQ(remove->toolTip, "Delete");
    EXPECT_EQ(remove->accessibleName, "Delete");
    EXPECT_EQ(model->data(model->index(4), Qt::AccessibleDescriptionRole).toString(),
              "Copy, Delete");
    EXPECT_EQ(page->list()->menuActions(4), QStringList({"Copy", "Delete"}));
}

TEST_F(HistoryPage, RowsExpandOneAtATimeCopyAndDelete) {
    const QString longText = QString("word ").repeated(60).trimmed();  // 299 characters
    save({longText, "short one"});
    auto page = open();
    RecordListView* list = page->list();
    ASSERT_TRUE(listprobe::texts(rowOf(*page, longText)).first().endsWith("..."));
    // A click anywhere on the row's text toggles it; only its row grows.
    const QRect shortBefore = list->visualRect(page->model()->index(indexOf(*page, "short one")));
    const int longHeight =
        list->visualRect(page->model()->index(indexOf(*page, longText))).height();
    ASSERT_TRUE(listprobe::clickRow(list, indexOf(*page, longText)));
    EXPECT_EQ(listprobe::texts(rowOf(*page, longText)).first(), longText);
    list->viewport()->repaint();
    EXPECT_GT(list->visualRect(page->model()->index(indexOf(*page, longText))).height(),
              longHeight);
    EXPECT_EQ(list->visualRect(page->model()->index(indexOf(*page, "short one"))), shortBefore);

    ASSERT_TRUE(listprobe::clickRow(list, indexOf(*page, "short one")));
    EXPECT_EQ(page->expandedId(), page->items()[0].id);
    EXPECT_TRUE(listprobe::texts(rowOf(*page, longText)).first().endsWith("..."));
    ASSERT_TRUE(listprobe::clickRow(list, indexOf(*page, "short one")));
    EXPECT_FALSE(page->expandedId());

    // Copy is a plain copy: no marker, so the clipboard history records it.
    pasteboard.setString("before");
    ASSERT_TRUE(
        listprobe::clickAction(list, indexOf(*page, "short one"), TranscriptionRow::copyAction));
    EXPECT_EQ(pasteboard.string(), "short one");
    EXPECT_FALSE(page->expandedId());  // a button is not a click on the row
    clipboard.checkClipboard();
    ASSERT_FALSE(clipboard.history().isEmpty());
    EXPECT_EQ(clipboard.history().first().text, "short one");

    ASSERT_TRUE(
        listprobe::clickAction(list, indexOf(*page, "short one"), TranscriptionRow::deleteAction));
    EXPECT_EQ(texts(*page), QStringList{longText});
    EXPECT_EQ(history.fetchTranscriptions(0).size(), 1);
}

TEST_F(HistoryPage, RowActionsByKeyboard) {
    save({"first", "second"});
    auto page = open();
    RecordListView* list = page->list();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);  // from no row to the first (headers are skipped)
    ASSERT_EQ(list->currentIndex().row(), indexOf(*page, "second"));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(page->expandedId(), page->items()[0].id);
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_FALSE(page->expandedId());
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(pasteboard.string(), "second");
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(texts(*page), QStringList{"second"});
}

TEST_F(HistoryPage, HeaderClearAllEmptiesTheWholeHistoryNotTheQueue) {
    save({"alpha one", "beta", "alpha two", "gamma", "alpha three"});
    fail("The request timed out.");
    auto page = open();
    search(*page, "alpha");
    ASSERT_EQ(page->items().size(), 3);
    ASSERT_TRUE(page->clearAllButton()->isVisible());
    page->clearAllButton()->click();
    ASSERT_TRUE(waitUntil([&] { return !page->isSearching(); }));
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
    HistoryListModel* model = page->model();
    RecordListView* list = page->list();
    EXPECT_FALSE(page->showsEmptyState());
    EXPECT_EQ(page->groupTitles(), QStringList{"Failed to Recognize"});
    ASSERT_EQ(model->failedCount(), 1);
    EXPECT_TRUE(listprobe::texts(model->rowAt(1)).contains("The request timed out."));
    EXPECT_TRUE(model->rowAt(0).actions().isEmpty());  // no Clear All for one entry

    // The queue redraws the page directly; the failed group comes first.
    save({"a dictation"});
    page->loadData();
    fail("No connection.");
    ASSERT_EQ(model->failedCount(), 2);
    EXPECT_EQ(page->groupTitles(), QStringList({"Failed to Recognize", "Yesterday"}));
    EXPECT_TRUE(listprobe::texts(model->rowAt(1)).contains("No connection."));
    const ListRow retry = model->rowAt(1);
    ASSERT_TRUE(listprobe::part(retry, FailedTranscriptionRow::retryAction));
    EXPECT_EQ(listprobe::part(retry, FailedTranscriptionRow::deleteAction)->accessibleName,
              "Delete");
    ASSERT_TRUE(listprobe::clickAction(list, 0, "clearFailed"));
    EXPECT_TRUE(queue->queue().isEmpty());
    EXPECT_EQ(page->groupTitles(), QStringList{"Yesterday"});

    // Delete removes one entry without asking.
    fail("Again.");
    ASSERT_EQ(model->failedCount(), 1);
    ASSERT_TRUE(listprobe::clickAction(list, 1, FailedTranscriptionRow::deleteAction));
    EXPECT_TRUE(queue->queue().isEmpty());
}

TEST_F(HistoryPage, RetryThroughTheStandInRemovesTheRowAndARebuildNeverRetriesTwice) {
    DevService stand;
    const DevService::Tokens tokens =
        stand.createSignedInAccount({{"email", "history@ormil.test"}, {"password", "pw"}});
    TranscriptionService::Collaborators c;
    c.clock = &Clock::system();
    c.appState = &appState;
    c.overlay = &overlay;
    c.apiBase = [&] { return stand.baseUrl(); };
    c.auth.accessToken = [&]() -> std::optional<QString> { return tokens.access; };
    c.auth.refresh = [] {
        return std::optional<TranscriptionService::Auth::Failure>(
            TranscriptionService::Auth::Failure{true, "no refresh here"});
    };
    TranscriptionService client(SettingsStore::shared(), std::move(c));
    // The real transcription client against the stand-in.
    OfflineDelivery delivery;
    delivery.transcribe = [&client](const QByteArray& audio, const QString& language,
                                    const QString& provider, const QString& toneStyle,
                                    const QString& format) {
        return client.transcribe(audio, language, provider, toneStyle, format, std::nullopt);
    };
    useQueue(delivery);
    fail("The request timed out.", VirtualMic::speechWav("retry from the history page"));

    DevService::Answer ok;
    ok.json = QJsonObject{{"success", true}, {"text", "retried from history"}, {"word_count", 3}};
    stand.queue("/transcribe", ok);
    stand.hold("/transcribe");
    auto page = open();
    ASSERT_EQ(page->model()->failedCount(), 1);
    ASSERT_TRUE(listprobe::clickAction(page->list(), 1, FailedTranscriptionRow::retryAction));
    ASSERT_TRUE(waitUntil([&] { return stand.inFlight() == 1; }));
    const auto showsSpinner = [&] {
        const ListRow row = page->model()->rowAt(1);
        return page->model()->failedCount() == 1 &&
               listprobe::hasPart(row, ListPart::Kind::spinner) &&
               !listprobe::part(row, FailedTranscriptionRow::retryAction);
    };
    EXPECT_TRUE(waitUntil(showsSpinner));

    // The frame rebuilds the page while the retry runs: the new row knows,
    // and a second retry through it starts nothing.
    page->notifyDisappeared();
    page.reset();
    page = open();
    ASSERT_EQ(page->model()->failedCount(), 1);
    EXPECT_TRUE(waitUntil(showsSpinner));
    page->list()->trigger(1, FailedTranscriptionRow::retryAction);

    stand.release();
    ASSERT_TRUE(waitUntil([&] { return queue->queue().isEmpty(); }, 60000));
    EXPECT_EQ(stand.requests("/transcribe").size(), 1);
    EXPECT_EQ(page->model()->failedCount(), 0);
    // The retried text is a dictation like any other.
    page->loadData();
    EXPECT_EQ(texts(*page), QStringList{"retried from history"});
}
