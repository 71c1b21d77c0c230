// The typing engine on fakes: what the typed buffer keeps, which snippet a
// run of keys fires, and the erase, paste and clipboard restore that follow.
#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include <QDir>
#include <optional>

#include "fakes/FakeClock.h"
#include "fakes/FakeFrontmostApp.h"
#include "fakes/FakeKeyEventSource.h"
#include "fakes/FakeKeySynthesizer.h"
#include "fakes/FakeNotifier.h"
#include "fakes/FakePasteboard.h"
#include "pipeline/KeyboardSimulator.h"
#include "pipeline/PasteboardGuard.h"
#include "pipeline/TextExpansionEngine.h"
#include "pipeline/TextExpansionPlaceholders.h"
#include "platform/KeySynthesizer.h"
#include "platform/Pasteboard.h"
#include "platform/SettingsStore.h"
#include "platform/WindowWatcher.h"
#include "records/TextExpansionService.h"
#include "support/TestSupport.h"

namespace {

constexpr qint64 kLetter = 0;  // any key that types; only its text matters
constexpr qint64 kSpace = 49;

KeyEvent keyDown(qint64 code, const QString& text, quint64 flags = 0) {
    KeyEvent e;
    e.type = KeyEventType::keyDown;
    e.keyCode = code;
    e.text = text;
    e.flags = flags;
    e.keyIsDown = true;
    return e;
}

struct ItemSpec {
    QString trigger;
    QString text;
    bool bothLayouts = true;
    bool enabled = true;
};

class TextExpansionEngineTest : public ::testing::Test {
protected:
    TextExpansionEngineTest() {
        frontmost.setClass("Gedit");
        keys.onPaste = [this] {
            if (!slowTarget) pasted << pasteboard.fetchString();
        };
        engine.start();
    }

    void setItems(const QList<ItemSpec>& specs) {
        QList<TextExpansionItem> list;
        for (const ItemSpec& s : specs) {
            TextExpansionItem i;
            i.id = QUuid::createUuid();
            i.trigger = s.trigger;
            i.expandedText = s.text;
            i.matchBothLayouts = s.bothLayouts;
            i.isEnabled = s.enabled;
            list << i;
        }
        items.setItems(list);
    }
    // Types each character as one key.
    void type(const QString& text) {
        for (QChar c : text) source.send(keyDown(kLetter, QString(c)));
    }
    // Runs an expansion that started to its end.
    void finish() { clock.advance(1.0); }

    static QString filePath() {
        const QString dir = testsupport::root() + "/expansion";
        QDir(dir).removeRecursively();
        return dir + "/text_expansions.json";
    }

    FakeClock clock;
    FakePasteboard pasteboard;
    FakeKeySynthesizer keys;
    FakeFrontmostApp frontmost;
    FakeNotifier notifier;
    SettingsStore settings;
    WindowWatcher windows;
    FakeKeyEventSource source;
    TextExpansionService items{filePath()};
    KeyboardSimulator inserter{pasteboard, keys, frontmost, notifier, settings, clock};
    TextExpansionEngine engine{{items, source, keys, &pasteboard, inserter, windows, clock}};
    bool slowTarget = false;
    QStringList pasted;
};

}  // namespace

TEST_F(TextExpansionEngineTest, BufferKeepsTheLastFiftyCharacters) {
    type("abc");
    EXPECT_EQ(engine.typedBuffer(), "abc");
    const QString fifty = QString("0123456789").repeated(5);
    type(fifty + "x");
    EXPECT_EQ(engine.typedBuffer(), fifty.mid(1) + "x");
    // Characters, not code units: flags and accented letters count once.
    source.send(keyDown(kSpace, " "));
    const QString flag = QString::fromUtf8("🇩🇪");
    for (int i = 0; i < 51; ++i) source.send(keyDown(kLetter, flag));
    EXPECT_EQ(engine.typedBuffer(), flag.repeated(50));
    source.send(keyDown(51, "\b"));
    EXPECT_EQ(engine.typedBuffer(), flag.repeated(49)) << "Backspace removes one character";
}

TEST_F(TextExpansionEngineTest, WhichKeysClearTheBuffer) {
    struct Case {
        const char* name;
        KeyEvent event;
        QString bufferAfter;
    };
    const Case cases[] = {
        {"Control-key", keyDown(kLetter, "\x01", KeyFlags::control), ""},
        {"Super-key", keyDown(kLetter, "a", KeyFlags::command), ""},
        {"Super-Backspace", keyDown(51, "\b", KeyFlags::command), ""},
        {"Shift-key is typed", keyDown(kLetter, "A", KeyFlags::shift), "abA"},
        {"Option-key is typed", keyDown(kLetter, "ä", KeyFlags::option), "abä"},
        {"Backspace", keyDown(51, "\b"), "a"},
        {"left", keyDown(123, {}), ""},
        {"right", keyDown(124, {}), ""},
        {"down", keyDown(125, {}), ""},
        {"up", keyDown(126, {}), ""},
        {"Escape", keyDown(53, "\x1b"), ""},
        {"Home", keyDown(115, {}), ""},
        {"End", keyDown(119, {}), ""},
        {"Page Up", keyDown(116, {}), ""},
        {"Page Down", keyDown(121, {}), ""},
        {"forward Delete", keyDown(117, "\x7f"), ""},
        {"Return", keyDown(36, "\r"), ""},
        {"Tab", keyDown(48, "\t"), ""},
        {"Space", keyDown(49, " "), ""},
        {"a key without text", keyDown(122, {}), "ab"},
    };
    for (const Case& c : cases) {
        source.send(keyDown(kSpace, " "));
        type("ab");
        source.send(c.event);
        EXPECT_EQ(engine.typedBuffer(), c.bufferAfter) << c.name;
    }
    // Key releases and modifier presses change nothing.
    source.send(keyDown(kSpace, " "));
    type("ab");
    source.press(KeyCodes::leftControl);
    source.release(KeyCodes::leftControl);
    EXPECT_EQ(engine.typedBuffer(), "ab");

    // Backspace on an empty buffer stays harmless.
    source.send(keyDown(kSpace, " "));
    source.send(keyDown(51, "\b"));
    EXPECT_EQ(engine.typedBuffer(), "");

    type("ab");
    emit windows.activeWindowChanged();
    EXPECT_EQ(engine.typedBuffer(), "") << "another window took the focus";
}

TEST_F(TextExpansionEngineTest, WhichItemFires) {
    struct Case {
        const char* name;
        QList<ItemSpec> items;
        QString typed;
        QString expected;  // the pasted text; empty: nothing fires
        int backspaces = 0;
    };
    const QString ru = QString::fromUtf8("привет");
    const Case cases[] = {
        {"a trigger ending a word", {{"addr", "1 Main St"}}, "xaddr", "1 Main St", 4},
        {"case-sensitive", {{"Sig", "S"}}, "sig", "", 0},
        {"Russian keys of a Latin trigger", {{"ghbdtn", "hello"}}, ru, "hello", 6},
        {"only with both layouts", {{"ghbdtn", "hello", false}}, ru, "", 0},
        {"upper case converts", {{"Sig", "S"}}, QString::fromUtf8("Ышп"), "S", 3},
        {"Latin keys of a Russian trigger", {{ru, "hi"}}, "ghbdtn", "hi", 6},
        {"disabled", {{"ab", "X", true, false}}, "ab", "", 0},
        {"empty trigger", {{"", "X"}}, "ab", "", 0},
        {"blank trigger", {{" ", "X"}, {"\t", "Y"}}, "a", "", 0},
        {"digits never convert", {{"12", "X", true}}, "12", "X", 2},
        {"first item in the list wins", {{"ab", "1"}, {"b", "2"}}, "ab", "1", 2},
        {"first item in the list wins, shorter first", {{"b", "2"}, {"ab", "1"}}, "ab", "2", 1},
        {"direct before a later converted form",
         {{"ab", "direct"}, {QString::fromUtf8("фи"), "converted"}},
         "ab",
         "direct",
         2},
        {"an earlier converted form before a later direct one",
         {{QString::fromUtf8("фи"), "converted"}, {"ab", "direct"}},
         "ab",
         "converted",
         2},
        {"a trigger with a space never fires", {{"a b", "X"}}, "a b", "", 0},
        {"a trigger longer than the buffer",
         {{QString("x").repeated(51), "X"}},
         QString("x").repeated(60),
         "",
         0},
        {"fifty characters fit",
         {{QString("y").repeated(50), "Y"}},
         QString("y").repeated(50),
         "Y",
         50},
        // NFC: an accent typed as its own key still makes one "é".
        {"composed trigger, decomposed typing",
         {{QString::fromUtf8("café"), "C"}},
         QString::fromUtf8("cafe\u0301"),
         "C",
         4},
        {"no match inside a character",
         {{QString::fromUtf8("\u0301"), "E"}},
         QString::fromUtf8("q\u0301"),
         "",
         0},
    };
    for (const Case& c : cases) {
        setItems(c.items);
        source.send(keyDown(kSpace, " "));
        pasted.clear();
        keys.backspaces.clear();
        if (c.typed.contains(' ')) {
            for (QChar ch : c.typed)
                source.send(ch == ' ' ? keyDown(kSpace, " ") : keyDown(kLetter, QString(ch)));
        } else {
            type(c.typed);
        }
        finish();
        if (c.expected.isEmpty()) {
            EXPECT_TRUE(pasted.isEmpty()) << c.name;
            EXPECT_TRUE(keys.backspaces.empty()) << c.name;
        } else {
            EXPECT_EQ(pasted, QStringList{c.expected}) << c.name;
            EXPECT_EQ(keys.backspaces, std::vector<int>{c.backspaces}) << c.name;
        }
    }
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[TextExpansion] Alternate layout trigger matched: \"" + ru + "\" (original: \"ghbdtn\")"));
    EXPECT_TRUE(testsupport::debugLogText().contains("[TextExpansion] Trigger matched: \"addr\""));
}

TEST_F(TextExpansionEngineTest, ExpansionStepsAndTheClipboardComingBack) {
    setItems({{"addr", "1 Main St"}});
    const Pasteboard::Item userCopy{{"text/plain;charset=utf-8", "mine"},
                                    {"text/html", "<b>m</b>"}};
    pasteboard.writeItems({userCopy});
    slowTarget = true;
    type("addr");
    ASSERT_TRUE(engine.isExpanding());
    EXPECT_EQ(engine.typedBuffer(), "");
    type("zz");
    EXPECT_EQ(engine.typedBuffer(), "") << "keys during an expansion are not buffered";

    clock.advance(0);
    EXPECT_EQ(keys.backspaces, std::vector<int>{4});
    EXPECT_TRUE(keys.posted.empty());
    clock.advance(0.049);
    EXPECT_TRUE(keys.posted.empty());
    clock.advance(0.001);
    ASSERT_EQ(keys.posted.size(), 1u);
    EXPECT_EQ(keys.posted[0].chord, KeySynthesizer::PasteChord::ControlV);
    EXPECT_EQ(pasteboard.string(), "1 Main St");
    EXPECT_TRUE(PasteboardGuard::shouldSkipHistory(pasteboard));

    // The application has not taken the text yet: the clipboard waits.
    clock.advance(0.2);
    EXPECT_EQ(pasteboard.string(), "1 Main St");
    EXPECT_TRUE(engine.isExpanding());
    pasted << pasteboard.fetchString();
    clock.advance(0.05);
    EXPECT_FALSE(engine.isExpanding());
    ASSERT_EQ(pasteboard.items().size(), 1);
    Pasteboard::Item expected = userCopy;
    expected.append({PasteboardGuard::restoredType(), QByteArray()});
    EXPECT_EQ(pasteboard.items().first(), expected);
    EXPECT_EQ(pasted, QStringList{"1 Main St"});
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[TextExpansion] Expansion complete for trigger: \"addr\""));

    // Typing goes on normally.
    type("q");
    EXPECT_EQ(engine.typedBuffer(), "q");
}

TEST_F(TextExpansionEngineTest, RestoreRules) {
    setItems({{"t", "T"}});
    frontmost.setClass("XTerm");

    // A target that fetches at once: back at 0.2 s, terminals pasted with Shift.
    pasteboard.setString("before");
    type("t");
    clock.advance(0.05);
    ASSERT_EQ(keys.posted.size(), 1u);
    EXPECT_EQ(keys.posted[0].chord, KeySynthesizer::PasteChord::ControlShiftV);
    clock.advance(0.199);
    EXPECT_EQ(pasteboard.string(), "T");
    clock.advance(0.001);
    EXPECT_EQ(pasteboard.string(), "before");

    // Never fetched: back at the deadline.
    slowTarget = true;
    type("t");
    clock.advance(0.05 + 0.95);
    EXPECT_TRUE(engine.isExpanding());
    clock.advance(0.05);
    EXPECT_FALSE(engine.isExpanding());
    EXPECT_EQ(pasteboard.string(), "before");

    // The user copied something meanwhile: it stays.
    slowTarget = false;
    type("t");
    clock.advance(0.05);
    pasteboard.setString("copied meanwhile");
    finish();
    EXPECT_EQ(pasteboard.string(), "copied meanwhile");
    EXPECT_FALSE(engine.isExpanding());

    // No key synthesis: the steps still run and the clipboard comes back.
    keys.available = false;
    pasteboard.setString("before");
    type("t");
    finish();
    EXPECT_EQ(pasteboard.string(), "before");
    EXPECT_FALSE(engine.isExpanding());
}

// The paste goes the way a dictation's text goes in: the window's chord,
// PRIMARY for the xterm family, no keystroke into a remote viewer.
TEST_F(TextExpansionEngineTest, PastesTheWayEveryInsertionDoes) {
    using Chord = KeySynthesizer::PasteChord;
    const struct {
        const char* windowClass;
        bool primarySelection;
        std::optional<Chord> chord;  // none: no keystroke
    } cases[] = {
        {"Gedit", true, Chord::ControlV},       {"kitty", true, Chord::ControlShiftV},
        {"XTerm", false, Chord::ControlShiftV}, {"XTerm", true, Chord::ShiftInsert},
        {"Remmina", true, std::nullopt},
    };
    setItems({{"t", "Expanded"}});
    FakePasteboard primary;
    keys.onPaste = [&] {
        pasted << (keys.posted.back().chord == Chord::ShiftInsert ? primary.fetchString()
                                                                  : pasteboard.fetchString());
    };
    for (const auto& c : cases) {
        const std::string name = std::string(c.windowClass) + (c.primarySelection ? "" : " alone");
        frontmost.setClass(c.windowClass);
        inserter.setPrimarySelection(c.primarySelection ? &primary : nullptr);
        pasteboard.setString("copied");
        primary.setString("selected");
        pasted.clear();
        keys.posted.clear();
        keys.backspaces.clear();
        notifier.notices.clear();

        type("t");
        finish();
        EXPECT_FALSE(engine.isExpanding()) << name;
        EXPECT_EQ(keys.backspaces, std::vector<int>{1}) << name;
        if (!c.chord) {
            EXPECT_TRUE(keys.posted.empty()) << name;
            EXPECT_EQ(pasteboard.string(), "Expanded") << name << ": left for the user to paste";
            EXPECT_FALSE(PasteboardGuard::shouldSkipHistory(pasteboard)) << name;
            EXPECT_EQ(notifier.notices.size(), 1u) << name;
            continue;
        }
        ASSERT_EQ(keys.posted.size(), 1u) << name;
        EXPECT_EQ(keys.posted[0].chord, *c.chord) << name;
        EXPECT_EQ(pasted, QStringList{"Expanded"}) << name;
        EXPECT_EQ(pasteboard.string(), "copied") << name;
        EXPECT_EQ(primary.string(), "selected") << name;
    }
}

// An expansion while a dictated text still waits for its application goes
// in after it; the user's clipboard comes back once, after both.
TEST_F(TextExpansionEngineTest, WaitsForADictationBeingPasted) {
    setItems({{"t", "Expanded"}});
    pasteboard.setString("before");
    slowTarget = true;
    inserter.insertTextViaPasteboard("dictated ");
    type("t");
    clock.advance(0.05);
    EXPECT_EQ(keys.backspaces, std::vector<int>{1});
    ASSERT_EQ(keys.posted.size(), 1u) << "the expansion waits";
    EXPECT_TRUE(engine.isExpanding());

    pasted << pasteboard.fetchString();
    slowTarget = false;
    clock.advance(0.05);
    EXPECT_EQ(keys.posted.size(), 2u);
    finish();
    EXPECT_EQ(pasted, QStringList({"dictated ", "Expanded"}));
    EXPECT_FALSE(engine.isExpanding());
    EXPECT_FALSE(inserter.isInserting());
    ASSERT_EQ(pasteboard.items().size(), 1);
    EXPECT_EQ(pasteboard.items().first(),
              (Pasteboard::Item{{"text/plain;charset=utf-8", "before"},
                                {PasteboardGuard::restoredType(), QByteArray()}}));
}

TEST_F(TextExpansionEngineTest, StartStopAndTheApplicationSwitch) {
    EXPECT_TRUE(engine.isRunning());
    engine.start();
    EXPECT_EQ(source.starts, 1);
    EXPECT_TRUE(testsupport::debugLogText().contains("[TextExpansion] Already running"));
    type("ab");
    engine.stop();
    EXPECT_FALSE(engine.isRunning());
    EXPECT_EQ(engine.typedBuffer(), "");
    type("ab");
    EXPECT_EQ(engine.typedBuffer(), "") << "a stopped engine hears nothing";

    source.available = false;
    engine.start();
    EXPECT_FALSE(engine.isRunning());
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[TextExpansion] FAILED to create event tap! Accessibility likely not granted."));
    source.available = true;
    engine.start();
    EXPECT_TRUE(engine.isRunning());
    // The switch observer was connected once: one signal clears once and
    // does not break.
    type("ab");
    emit windows.activeWindowChanged();
    EXPECT_EQ(engine.typedBuffer(), "");
}

TEST_F(TextExpansionEngineTest, ItemEditsTakeEffectAtTheNextKey) {
    setItems({{"ab", "1"}});
    type("a");
    setItems({{"ax", "2"}});
    type("b");
    EXPECT_FALSE(engine.isExpanding());
    type("ax");
    EXPECT_TRUE(engine.isExpanding());
}

TEST(TextExpansionLayout, ConvertLayout) {
    const std::pair<QString, QString> cases[] = {
        {"ghbdtn", QString::fromUtf8("привет")},
        {QString::fromUtf8("привет"), "ghbdtn"},
        {"Q", QString::fromUtf8("Й")},
        {QString::fromUtf8("Ф"), "A"},
        {"[];',.", QString::fromUtf8("хъжэбю")},
        {"`/1", "`/1"},
        {QString::fromUtf8("ё"), QString::fromUtf8("ё")},
        {"a1!", QString::fromUtf8("ф1!")},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(TextExpansionEngine::convertLayout(in), out) << in.toStdString();
}

TEST(TextExpansionPlaceholders, DatesInEnglishAndRussianAndTheClipboard) {
    icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone("UTC"));
    const QDateTime when(QDate(2026, 12, 10), QTime(9, 5, 7), Qt::UTC);
    struct Case {
        QString text;
        QString locale;
        QString expected;
    };
    const Case cases[] = {
        {"{DATE}", "en_US", QString::fromUtf8("10 декабря 2026")},
        {"{DATE_SHORT}", "en_US", "10.12.2026"},
        {"{DATE_ISO}", "en_US", "2026-12-10"},
        {"{TIME} {TIME_FULL}", "en_US", "09:05 09:05:07"},
        {"{DATETIME}", "en_US", QString::fromUtf8("10 декабря 2026 09:05")},
        {"{YEAR}/{MONTH}/{DAY}", "en_US", QString::fromUtf8("2026/декабря/10")},
        {"{WEEKDAY}", "en_US", QString::fromUtf8("четверг")},
        {"{YEAR} {DAY}", "ru_RU", "2026 10"},
        {"{DATE} and {DATE}", "ru_RU", QString::fromUtf8("10 декабря 2026 and 10 декабря 2026")},
        {"{date} {UNKNOWN}", "en_US", "{date} {UNKNOWN}"},
        {"[{CLIPBOARD}]", "en_US", "[clip {DATE}]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TextExpansionPlaceholders::expand(c.text, when, "clip {DATE}", c.locale),
                  c.expected)
            << c.text.toStdString() << " " << c.locale.toStdString();
    EXPECT_EQ(TextExpansionPlaceholders::expand("<{CLIPBOARD}>", when, {}), "<>");
}

// The clipboard is read when the trigger fires, before the paste replaces it;
// an image-only clipboard gives an empty text.
TEST_F(TextExpansionEngineTest, ClipboardPlaceholderReadsTheContentsBeforeThePaste) {
    setItems({{"cb", "<{CLIPBOARD}>"}});
    pasteboard.setString("copied");
    type("cb");
    finish();
    pasteboard.writeItems({{{"image/png", QByteArray("\x89PNG", 4)}}});
    type("cb");
    finish();
    EXPECT_EQ(pasted, QStringList({"<copied>", "<>"}));
}
