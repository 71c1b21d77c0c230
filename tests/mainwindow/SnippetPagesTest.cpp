// The Dictionary and Snippets pages and their sheets: what the searches
// find, what the sheets hand on, which sheet each action opens, and one push
// per change.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include "core/L10n.h"
#include "mainwindow/ConfirmDeletion.h"
#include "mainwindow/DictionarySection.h"
#include "mainwindow/EntryRows.h"
#include "mainwindow/MainWindowFixture.h"
#include "mainwindow/SnippetsSection.h"
#include "mainwindow/TriggerTextSheet.h"
#include "records/HistoryService.h"
#include "records/TextExpansionService.h"
#include "support/ListProbe.h"
#include "support/Screenshots.h"
#include "ui/EmptyState.h"

namespace {

HistoryRecord record(const QVariant& id, const QVariant& a, const QVariant& b, const char* keyA,
                     const char* keyB) {
    HistoryRecord r;
    r.insert("id", id);
    r.insert(keyA, a);
    r.insert(keyB, b);
    return r;
}

TextExpansionItem expansion(const QString& trigger, const QString& text,
                            std::optional<QString> windows = std::nullopt,
                            std::optional<QString> description = std::nullopt) {
    TextExpansionItem i;
    i.id = QUuid::createUuid();
    i.trigger = trigger;
    i.expandedText = text;
    i.expandedTextWindows = windows;
    i.description = description;
    return i;
}

QStringList triggersOf(const QList<TextExpansionItem>& items) {
    QStringList out;
    for (const auto& i : items) out << i.trigger;
    return out;
}

class SnippetPages : public MainWindowFixture {
protected:
    SnippetPages() {
        context.history = &history;
        context.textExpansions = &expansions;
        context.pushDictionary = [this] { ++pushes["dictionary"]; };
        context.pushSnippets = [this] { ++pushes["snippets"]; };
        context.pushTextExpansions = [this] { ++pushes["expansions"]; };
        setConfirmDeletionHandler([this](const QString& q) {
            questions << q;
            return confirmAnswer;
        });
    }
    ~SnippetPages() override { setConfirmDeletionHandler({}); }

    int rowCount(RecordListView* rows) const { return rows->model()->rowCount(); }
    // A row's trigger (first) or text (after the arrow).
    QString rowText(RecordListView* rows, int i, const char* name) const {
        const ListRow row = listprobe::row(rows, i);
        return row.lines.at(0).parts.at(QByteArray(name) == "trigger" ? 0 : 2).text;
    }

    HistoryService history{testsupport::root() + "/history.sqlite", clock};
    TextExpansionService expansions{testsupport::root() + "/text_expansions.json"};
    QMap<QString, int> pushes;
    QStringList questions;
    bool confirmAnswer = true;
};

}  // namespace

TEST(SnippetFilters, WhichFieldsAreSearched) {
    const QList<TextExpansionItem> items{
        expansion("sig", "Best Regards", "Windows only text", "a description"),
        expansion("ADDR", "1 main st")};
    const std::pair<QString, QStringList> cases[] = {
        {"", {"sig", "ADDR"}}, {"REGARDS", {"sig"}}, {"addr", {"ADDR"}},     {"Main", {"ADDR"}},
        {"windows", {}},       {"description", {}},  {" ", {"sig", "ADDR"}}, {"main st ", {}},
    };
    for (const auto& [search, expected] : cases)
        EXPECT_EQ(triggersOf(SnippetsSection::filteredExpansions(items, search)), expected)
            << search.toStdString();

    const QUuid id = QUuid::createUuid();
    const QList<HistoryRecord> voice{
        record(id, "brb", "be right back", "shortcut", "text"),
        record(QUuid::createUuid(), "ty", "Thank You", "shortcut", "text"),
        record("not-a-uuid", "x", "y", "shortcut", "text"),
        record(QUuid::createUuid(), 5, "y", "shortcut", "text"),
        record(QUuid::createUuid(), "z", QVariant(), "shortcut", "text"),
    };
    const std::pair<QString, QStringList> voiceCases[] = {
        {"", {"brb", "ty"}}, {"BRB", {"brb"}}, {"thank", {"ty"}}, {"back ", {}}, {"y", {"ty"}}};
    for (const auto& [search, expected] : voiceCases) {
        QStringList got;
        for (const auto& s : SnippetsSection::filteredSnippets(voice, search)) got << s.shortcut;
        EXPECT_EQ(got, expected) << search.toStdString();
    }

    const QList<HistoryRecord> dictionary{
        record(QUuid::createUuid(), "kubernetes", "Kubernetes", "trigger", "replacement"),
        record(QUuid::createUuid(), "gpt", "GPT-4 turbo", "trigger", "replacement"),
        record(QUuid::createUuid(), QVariant(), "x", "trigger", "replacement"),
    };
    const std::pair<QString, QStringList> dictCases[] = {{"", {"kubernetes", "gpt"}},
                                                         {"KUBER", {"kubernetes"}},
                                                         {"Turbo", {"gpt"}},
                                                         {"gpt ", {}},
                                                         {"4 ", {"gpt"}}};
    for (const auto& [search, expected] : dictCases) {
        QStringList got;
        for (const auto& e : DictionarySection::filteredEntries(dictionary, search))
            got << e.trigger;
        EXPECT_EQ(got, expected) << search.toStdString();
    }
}

TEST(SnippetPreview, SixtyCharactersShowWholeSixtyOneAreCut) {
    const QString sixty = QString("x").repeated(59) + QString::fromUtf8("🇩🇪");
    EXPECT_EQ(EntryRows::preview(sixty), sixty);
    const QString sixtyOne = sixty + "y";
    EXPECT_EQ(EntryRows::preview(sixtyOne), sixty + "...");
    const QString accents = QString::fromUtf8("e\u0301").repeated(61);
    EXPECT_EQ(EntryRows::preview(accents), QString::fromUtf8("e\u0301").repeated(60) + "...");
}

TEST_F(SnippetPages, SheetSaveRules) {
    struct Case {
        const char* name;
        QString trigger, text;
        bool windowsTicked;
        QString windowsText;
        bool canSave;
        QString savedTrigger, savedText;
        std::optional<QString> savedWindows;
    };
    const Case cases[] = {
        {"trimmed trigger", " \n//sig\t ", "Best\n", false, {}, true, "//sig", "Best\n", {}},
        {"spaces only", "   ", "text", false, {}, false, {}, {}, {}},
        {"empty text", "sig", "", false, {}, false, {}, {}, {}},
        {"text of spaces is kept", "sig", "  \n", false, {}, true, "sig", "  \n", {}},
        {"windows text trimmed", "sig", "x", true, "  win \n", true, "sig", "x", QString("win")},
        {"blank windows text is absent", "sig", "x", true, " \n ", true, "sig", "x", {}},
        {"unticked windows text is absent", "sig", "x", false, "win", true, "sig", "x", {}},
    };
    for (const Case& c : cases) {
        QStringList called;
        std::optional<QString> windows;
        QString trigger, text;
        TriggerTextSheet::Arguments a;
        a.title = "Add Snippet";
        a.supportsWindowsVariant = true;
        a.onSave = [&](const QString&, const QString&) { called << "onSave"; };
        a.onSaveWithWindows = [&](const QString& t, const QString& x,
                                  const std::optional<QString>& w) {
            called << "onSaveWithWindows";
            trigger = t;
            text = x;
            windows = w;
        };
        QWidget parent;
        TriggerTextSheet sheet(a, &parent);
        sheet.triggerField()->setText(c.trigger);
        sheet.textEditor()->setPlainText(c.text);
        sheet.windowsEditor()->setPlainText(c.windowsText);
        sheet.windowsCheckBox()->setChecked(c.windowsTicked);
        EXPECT_EQ(sheet.confirmButton()->isEnabled(), c.canSave) << c.name;
        sheet.save();
        if (!c.canSave) {
            EXPECT_TRUE(called.isEmpty()) << c.name;
            continue;
        }
        EXPECT_EQ(called, QStringList{"onSaveWithWindows"}) << c.name;
        EXPECT_EQ(trigger, c.savedTrigger) << c.name;
        EXPECT_EQ(text, c.savedText) << c.name;
        EXPECT_EQ(windows, c.savedWindows) << c.name;
        sheet.save();
        EXPECT_EQ(called.size(), 1) << "at most once: " << c.name;
    }

    // Without the Windows variant: onSave, no checkbox, "Text" at 100 points.
    QStringList called;
    TriggerTextSheet::Arguments a;
    a.onSave = [&](const QString& t, const QString& x) { called << t + "|" + x; };
    TriggerTextSheet plain(a, nullptr);
    plain.show();
    EXPECT_EQ(plain.windowsCheckBox(), nullptr);
    EXPECT_EQ(plain.textLabel()->text(), "Text");
    EXPECT_EQ(plain.textEditor()->height(), 100);
    EXPECT_EQ(plain.confirmButton()->text(), "Add");
    plain.triggerField()->setText("brb ");
    plain.textEditor()->setPlainText("be right back");
    QTest::keyClick(plain.triggerField(), Qt::Key_Return);
    EXPECT_EQ(called, QStringList{"brb|be right back"});
}

TEST_F(SnippetPages, SheetOpensWithTheWindowsTextAndFollowsTheCheckbox) {
    TriggerTextSheet::Arguments a;
    a.isEditing = true;
    a.trigger = "sig";
    a.text = "mac";
    a.supportsWindowsVariant = true;
    a.textWindows = "win";
    TriggerTextSheet sheet(a, nullptr);
    EXPECT_EQ(sheet.confirmButton()->text(), "Save");
    EXPECT_TRUE(sheet.windowsCheckBox()->isChecked());
    EXPECT_EQ(sheet.textLabel()->text(), "Text for Linux");
    EXPECT_EQ(sheet.textEditor()->height(), 70);
    sheet.windowsCheckBox()->setChecked(false);
    EXPECT_EQ(sheet.textLabel()->text(), "Text");
    EXPECT_EQ(sheet.textEditor()->height(), 100);
    sheet.windowsCheckBox()->setChecked(true);
    EXPECT_EQ(sheet.windowsEditor()->toPlainText(), "win") << "unticking keeps the text";
}

TEST_F(SnippetPages, RouteTable) {
    SnippetsSection page(context);
    const TextExpansionItem withWindows = expansion("sig", "mac text", QString("win text"));
    const TextExpansionItem withoutWindows = expansion("addr", "1 Main St");
    const SnippetItem voice{QUuid::createUuid(), "brb", "be right back"};
    using Kind = SnippetsSheetRoute::Kind;
    struct Case {
        SnippetsSheetRoute route;
        QString id, title;
        bool editing;
        QString trigger, text;
        bool windows;
        QString textWindows;
        bool viaWindowsCallback;
    };
    const Case cases[] = {
        {{Kind::editExpansion, withWindows, {}},
         "edit-expansion-" + withWindows.idString(),
         "Edit Snippet",
         true,
         "sig",
         "mac text",
         true,
         "win text",
         true},
        {{Kind::editExpansion, withoutWindows, {}},
         "edit-expansion-" + withoutWindows.idString(),
         "Edit Snippet",
         true,
         "addr",
         "1 Main St",
         true,
         "",
         true},
        {{Kind::addExpansion, {}, {}},
         "add-expansion",
         "Add Snippet",
         false,
         "",
         "",
         true,
         "",
         true},
        {{Kind::editSnippet, {}, voice},
         "edit-snippet-" + voice.id.toString(QUuid::WithoutBraces).toUpper(),
         "Edit Snippet",
         true,
         "brb",
         "be right back",
         false,
         "",
         false},
        {{Kind::addSnippet, {}, {}}, "add-snippet", "Add Snippet", false, "", "", false, "", false},
    };
    for (const Case& c : cases) {
        const TriggerTextSheet::Arguments a = page.sheetArguments(c.route);
        EXPECT_EQ(c.route.id(), c.id);
        EXPECT_EQ(a.title, c.title) << c.id.toStdString();
        EXPECT_EQ(a.isEditing, c.editing) << c.id.toStdString();
        EXPECT_EQ(a.trigger, c.trigger) << c.id.toStdString();
        EXPECT_EQ(a.text, c.text) << c.id.toStdString();
        EXPECT_EQ(a.supportsWindowsVariant, c.windows) << c.id.toStdString();
        EXPECT_EQ(a.textWindows, c.textWindows) << c.id.toStdString();
        EXPECT_EQ(bool(a.onSaveWithWindows), c.viaWindowsCallback) << c.id.toStdString();
    }
}

TEST_F(SnippetPages, OnePushPerChangeAndNoneOnCancel) {
    SnippetsSection page(context);
    page.resize(700, 500);
    page.show();
    page.appeared();

    // Add through the page's sheet.
    page.openSheet({SnippetsSheetRoute::Kind::addExpansion, {}, {}});
    ASSERT_NE(page.activeSheet(), nullptr);
    page.activeSheet()->triggerField()->setText("sig");
    page.activeSheet()->textEditor()->setPlainText("Best regards");
    page.activeSheet()->save();
    ASSERT_EQ(expansions.items().size(), 1);
    EXPECT_EQ(pushes["expansions"], 1);
    EXPECT_EQ(rowCount(page.rows()), 1);

    // Cancel: nothing stored, nothing pushed.
    page.openSheet({SnippetsSheetRoute::Kind::editExpansion, expansions.items()[0], {}});
    page.activeSheet()->triggerField()->setText("changed");
    page.activeSheet()->cancelButton()->click();
    EXPECT_EQ(expansions.items()[0].trigger, "sig");
    EXPECT_EQ(pushes["expansions"], 1);

    // The switch saves the file and pushes once.
    page.setExpansionEnabled(expansions.items()[0].id, false);
    EXPECT_FALSE(expansions.items()[0].isEnabled);
    EXPECT_FALSE(TextExpansionService(expansions.filePath()).items()[0].isEnabled);
    EXPECT_EQ(pushes["expansions"], 2);
    page.setExpansionEnabled(QUuid::createUuid(), true);
    EXPECT_EQ(pushes["expansions"], 2) << "an unknown id changes nothing";

    // A deletion asks first; a refusal changes nothing.
    confirmAnswer = false;
    page.deleteExpansion(expansions.items()[0].id);
    EXPECT_EQ(expansions.items().size(), 1);
    EXPECT_EQ(pushes["expansions"], 2);
    confirmAnswer = true;
    page.deleteExpansion(expansions.items()[0].id);
    EXPECT_TRUE(expansions.items().isEmpty());
    EXPECT_EQ(pushes["expansions"], 3);
    EXPECT_EQ(questions,
              QStringList({"Delete this text expansion?", "Delete this text expansion?"}));

    // Voice snippets push the voice collection.
    page.setTab(SnippetsTab::voice);
    page.openSheet({SnippetsSheetRoute::Kind::addSnippet, {}, {}});
    page.activeSheet()->triggerField()->setText("brb");
    page.activeSheet()->textEditor()->setPlainText("be right back");
    page.activeSheet()->save();
    EXPECT_EQ(pushes["snippets"], 1);
    ASSERT_EQ(history.fetchSnippets().size(), 1);
    page.deleteSnippet(history.fetchSnippets()[0].value("id").toUuid());
    EXPECT_EQ(pushes["snippets"], 2);
    EXPECT_TRUE(history.fetchSnippets().isEmpty());

    // Dictionary.
    DictionarySection dict(context);
    dict.appeared();
    dict.openAddSheet();
    dict.activeSheet()->triggerField()->setText("   ");
    dict.activeSheet()->replacementField()->setText("x");
    EXPECT_FALSE(dict.activeSheet()->confirmButton()->isEnabled()) << "a trigger of spaces";
    dict.activeSheet()->triggerField()->setText(" gpt ");
    dict.activeSheet()->save();
    ASSERT_EQ(history.fetchDictionary().size(), 1);
    EXPECT_EQ(history.fetchDictionary()[0].value("trigger"), " gpt ") << "stored as typed";
    EXPECT_EQ(pushes["dictionary"], 1);
    confirmAnswer = false;
    dict.deleteEntry(history.fetchDictionary()[0].value("id").toUuid());
    EXPECT_EQ(pushes["dictionary"], 1);
}

TEST_F(SnippetPages, EmptyStatesAndScreenshots) {
    SnippetsSection page(context);
    page.resize(700, 460);
    page.show();
    page.appeared();
    EXPECT_EQ(page.emptyState()->title(), "No snippets yet");
    EXPECT_EQ(page.emptyState()->hint(), "Add text snippets for quick insertion");
    page.setSearchText("zzz");
    EXPECT_EQ(page.emptyState()->title(), "Nothing found");
    page.setTab(SnippetsTab::voice);
    EXPECT_EQ(page.searchText(), "") << "switching tabs empties the search";
    EXPECT_EQ(page.emptyState()->title(), "No voice snippets yet");
    EXPECT_EQ(page.emptyState()->hint(), "Add a code word you will say out loud");
    page.setSearchText("a");
    page.setTab(SnippetsTab::voice);
    EXPECT_EQ(page.searchText(), "") << "a tap on the current tab empties the search";

    expansions.setItems({expansion("//sig", "Best regards,\nAnna Petrova\nSales"),
                         expansion("addr",
                                   "1 Main St, Springfield, 12345 — a very long address "
                                   "that does not fit the row"),
                         expansion(";date", "Today is {DATE}")});
    page.setTab(SnippetsTab::keyboard);
    EXPECT_EQ(rowCount(page.rows()), 3);
    EXPECT_EQ(rowText(page.rows(), 1, "text"),
              EntryRows::preview("1 Main St, Springfield, 12345 — a very long address that "
                                 "does not fit the row"));
    testsupport::processEvents();
    testsupport::saveScreenshot(&page, "snippets-keyboard");
    page.setSearchText("REGARDS");
    EXPECT_EQ(rowCount(page.rows()), 1);
    testsupport::processEvents();
    testsupport::saveScreenshot(&page, "snippets-search");
    page.setSearchText({});
    page.openSheet({SnippetsSheetRoute::Kind::editExpansion, expansion("//sig", "mac", "win"), {}});
    testsupport::processEvents();
    testsupport::saveScreenshot(page.activeSheet(), "snippets-sheet");
    page.activeSheet()->reject();

    history.saveDictionaryEntry("kubernetes", "Kubernetes");
    history.saveDictionaryEntry("gpt", "GPT");
    DictionarySection dict(context);
    dict.resize(700, 400);
    dict.show();
    dict.appeared();
    EXPECT_EQ(rowCount(dict.rows()), 2);
    testsupport::processEvents();
    testsupport::saveScreenshot(&dict, "dictionary");
    dict.setSearchText("nothing like it");
    EXPECT_EQ(dict.emptyState()->title(), "Dictionary is empty");
    dict.setSearchText({});
    dict.openAddSheet();
    testsupport::processEvents();
    testsupport::saveScreenshot(dict.activeSheet(), "dictionary-sheet");
}

// A Wayland desktop keeps the keys typed in other windows: the keyboard
// tab says that typed shortcuts expand in X11 applications only; the voice
// tab, which does not need them, says nothing of it.
TEST_F(SnippetPages, OnWaylandTheKeyboardTabSaysWhereShortcutsExpand) {
    expansions.setItems({expansion("//sig", "Best regards,\nAnna Petrova")});
    for (const bool hidden : {false, true}) {
        context.typedKeysHidden = hidden;
        SnippetsSection page(context);
        page.appeared();
        const auto hint = [&] { return page.findChild<QLabel*>("snippetsHint")->text(); };
        EXPECT_EQ(hint().contains(L10n::textExpansionWaylandNote()), hidden);
        EXPECT_EQ(rowCount(page.rows()), 1) << "the list stays";
        page.setTab(SnippetsTab::voice);
        EXPECT_FALSE(hint().contains(L10n::textExpansionWaylandNote()));
    }
    context.typedKeysHidden = true;
    for (const char* language : {"en", "ru"}) {
        setLanguage(language);
        SnippetsSection page(context);
        page.resize(700, 460);
        page.show();
        page.appeared();
        EXPECT_TRUE(page.findChild<QLabel*>("snippetsHint")
                        ->text()
                        .endsWith(L10n::textExpansionWaylandNote()));
        testsupport::processEvents();
        testsupport::saveScreenshot(&page, QString("snippets-keyboard-wayland-%1").arg(language));
    }
}

TEST_F(SnippetPages, LongTextsStayInsideTheirRowsAndTheRowButtonsWork) {
    const QString url = "https://ormil.test/" + QString(300, 'x');
    history.saveDictionaryEntry("link", url);
    history.saveDictionaryEntry(QString(200, 'w'), "word");
    DictionarySection dict(context);
    dict.resize(520, 400);
    dict.show();
    dict.appeared();
    RecordListView* list = dict.rows();
    ASSERT_EQ(rowCount(list), 2);
    testsupport::processEvents();
    // A long replacement or trigger wraps within its row: every part, the
    // buttons included, stays inside the list, and the row grows instead.
    for (int r = 0; r < 2; ++r) {
        const RowPlacement placed = list->placement(r);
        int lines = 0;
        for (const PlacedPart& p : placed.parts) {
            EXPECT_LE(p.rect.right(), list->viewport()->width())
                << r << " " << p.part.text.toStdString();
            for (const QString& line : p.lines)
                EXPECT_LE(QFontMetrics(p.font).horizontalAdvance(line), p.rect.width() + 1);
            lines = std::max(lines, int(p.lines.size()));
        }
        EXPECT_GT(lines, 1) << r;
        EXPECT_FALSE(list->actionRect(r, EntryRows::deleteAction).isEmpty());
    }

    // Edit opens the sheet of its row; Delete asks first.
    ASSERT_TRUE(listprobe::clickAction(list, 0, EntryRows::editAction));
    ASSERT_TRUE(dict.activeSheet());
    EXPECT_EQ(dict.activeSheet()->triggerField()->text(), "link");
    dict.activeSheet()->reject();
    confirmAnswer = false;
    ASSERT_TRUE(listprobe::clickAction(list, 1, EntryRows::deleteAction));
    EXPECT_EQ(questions, QStringList{"Delete this dictionary entry?"});
    EXPECT_EQ(history.fetchDictionary().size(), 2);

    // The switch of a keyboard snippet turns it off.
    expansions.setItems({expansion(";sig", "Best regards")});
    SnippetsSection page(context);
    page.resize(520, 400);
    page.show();
    page.appeared();
    ASSERT_EQ(rowCount(page.rows()), 1);
    EXPECT_EQ(page.rows()->menuActions(0), QStringList({"Edit", "Delete", "Enabled"}));
    ASSERT_TRUE(listprobe::clickAction(page.rows(), 0, EntryRows::toggleAction));
    EXPECT_FALSE(expansions.items().at(0).isEnabled);
    EXPECT_FALSE(listprobe::part(listprobe::row(page.rows(), 0), EntryRows::toggleAction)->checked);
}
