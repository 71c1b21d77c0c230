// The Clipboard page: only the user's own copies, copying back without a
// new entry, expansion by position, the fixed date format and the 2 s
// refresh while the page is shown.
#include "MainWindowFixture.h"
#include "mainwindow/ClipboardSection.h"
#include "records/ClipboardHistoryService.h"
#include "support/ListProbe.h"
#include "ui/EmptyState.h"

class ClipboardPage : public MainWindowFixture {
protected:
    ClipboardPage() {
        context.clipboardHistory = &clipboard;
        clipboard.start();
    }
    // A copy made in another application, seen at the service's next poll.
    void copyElsewhere(const QString& text) {
        pasteboard.setString(text);
        clock.advance(1.0);
    }
    std::unique_ptr<ClipboardSection> open() {
        auto page = std::make_unique<ClipboardSection>(context);
        page->resize(640, 480);
        page->show();
        page->notifyAppeared();
        return page;
    }
    static QStringList texts(const ClipboardSection& page) {
        QStringList out;
        for (const auto& item : page.items()) out << item.text;
        return out;
    }

    static int rowCount(const ClipboardSection& page) { return page.list()->model()->rowCount(); }
    static ListRow row(const ClipboardSection& page, int i) {
        return listprobe::row(page.list(), i);
    }
    // Whether the row shows all of its text.
    static bool expanded(const ClipboardSection& page, int i) {
        return row(page, i).lines.at(1).parts.at(0).maxLines == 0;
    }

    ClipboardHistoryService clipboard{&pasteboard, clock};
};

TEST_F(ClipboardPage, OnlyTheUsersOwnCopiesNewestFirst) {
    clipboard.addTranscription("dictated one");
    auto page = open();
    EXPECT_TRUE(page->showsEmptyState());
    copyElsewhere("copied first");
    clipboard.addTranscription("dictated two");
    copyElsewhere("copied second");
    // Within the service's poll and the page's 2 s.
    clock.advance(ClipboardSection::refreshInterval);
    EXPECT_EQ(texts(*page), QStringList({"copied second", "copied first"}));
    EXPECT_FALSE(page->showsEmptyState());
    ASSERT_EQ(rowCount(*page), 2);
    EXPECT_EQ(listprobe::texts(row(*page, 0)),
              QStringList({ClipboardSection::formatDate(clock.currentDateTime()), "Copy",
                           "copied second"}));
}

TEST_F(ClipboardPage, DateFormatIsFixedWhateverTheLanguage) {
    setLanguage("ja");
    EXPECT_EQ(ClipboardSection::formatDate(QDateTime(QDate(2026, 3, 7), QTime(9, 5))),
              "07.03.2026 09:05");
}

TEST_F(ClipboardPage, CopyingBackAddsNoEntry) {
    copyElsewhere("one");
    copyElsewhere("two");
    auto page = open();
    ASSERT_EQ(rowCount(*page), 2);
    ASSERT_TRUE(listprobe::clickAction(page->list(), 1, ClipboardRow::copyAction));
    EXPECT_EQ(pasteboard.string(), "one");
    clock.advance(ClipboardSection::refreshInterval);
    EXPECT_EQ(texts(*page), QStringList({"two", "one"}));
}

TEST_F(ClipboardPage, ExpansionStaysOnItsPosition) {
    copyElsewhere("older\nline 2\nline 3");
    copyElsewhere("newer");
    auto page = open();
    ASSERT_TRUE(listprobe::clickRow(page->list(), 1));
    EXPECT_EQ(page->expandedIndex(), 1);
    EXPECT_TRUE(expanded(*page, 1));
    copyElsewhere("newest");
    clock.advance(ClipboardSection::refreshInterval);
    ASSERT_EQ(rowCount(*page), 3);
    EXPECT_EQ(listprobe::texts(row(*page, 1)).last(), "newer");
    EXPECT_TRUE(expanded(*page, 1));
    // Clicking the expanded row collapses it; another expands alone.
    ASSERT_TRUE(listprobe::clickRow(page->list(), 1));
    EXPECT_FALSE(page->expandedIndex());
    ASSERT_TRUE(listprobe::clickRow(page->list(), 2));
    EXPECT_EQ(page->expandedIndex(), 2);
    EXPECT_FALSE(expanded(*page, 1));
}

TEST_F(ClipboardPage, RefreshRunsOnlyWhileShown) {
    auto page = open();
    EXPECT_TRUE(page->isRefreshing());
    page->notifyDisappeared();
    EXPECT_FALSE(page->isRefreshing());
    copyElsewhere("while hidden");
    clock.advance(ClipboardSection::refreshInterval);
    EXPECT_TRUE(page->items().isEmpty());
}
