// The paste on KDE's Wayland session: the clipboard through data-control on a
// Wayland connection of our own (no window, no focus), Control+V through the
// remote-desktop portal. Runs in scripts/with-wayland-env kde.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QProcess>

#include "WaylandDesktop.h"
#include "fakes/FakeFrontmostApp.h"
#include "fakes/FakeNotifier.h"
#include "pipeline/KeyboardSimulator.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"
#include "platform/wayland/DataControlPasteboard.h"
#include "platform/wayland/PortalKeySynthesizer.h"
#include "support/TestSupport.h"

namespace {

// Another client's clipboard tool (wl-clipboard, data-control too), run
// while our event loop serves what it reads from us.
QByteArray wlClipboard(const QString& program, const QStringList& args, int* exitCode = nullptr,
                       const QByteArray& input = {}) {
    QProcess p;
    p.start(program, args);
    if (!input.isNull()) {
        p.write(input);
        p.closeWriteChannel();
    }
    testsupport::waitUntil([&] { return p.state() == QProcess::NotRunning; });
    if (exitCode) *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return p.readAllStandardOutput();
}
QString pasted() {
    return QString::fromUtf8(wlClipboard("wl-paste", {"-n"}));
}
QStringList pastedTypes() {
    return QString::fromUtf8(wlClipboard("wl-paste", {"-l"})).split('\n', Qt::SkipEmptyParts);
}
void copy(const QString& text) {
    wlClipboard("wl-copy", {text});
}

class DataControlOnKde : public ::testing::Test {
protected:
    void SetUp() override {
        if (wltest::desktop() != "kde") GTEST_SKIP() << "not in the headless KDE desktop";
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
        clipboard = DataControlPasteboard::create();
        ASSERT_NE(clipboard, nullptr);
        ASSERT_TRUE(field.waitFocused());
    }

    wltest::WaylandField field;
    std::unique_ptr<DataControlPasteboard> clipboard;
};

}  // namespace

// What we put is what another client reads, and what another client puts we
// read back whole, to restore it later; all without the focus.
TEST_F(DataControlOnKde, SetAndReadBackWithoutTakingTheFocus) {
    ASSERT_TRUE(clipboard->setString(QString::fromUtf8("от Ormil"), {{"x-ormil/marker", ""}}));
    EXPECT_EQ(pasted(), QString::fromUtf8("от Ormil"));
    EXPECT_TRUE(pastedTypes().contains("x-ormil/marker"));
    EXPECT_GT(clipboard->textFetchCount(), 0) << "the reader's fetch was not counted";

    // Someone else's contents: seen as a change, read back to restore.
    const int ours = clipboard->changeCount();
    copy("theirs");
    ASSERT_TRUE(testsupport::waitUntil([&] { return clipboard->changeCount() != ours; }));
    EXPECT_EQ(clipboard->string(), "theirs");
    const QList<Pasteboard::Item> items = clipboard->items();
    ASSERT_EQ(items.size(), 1);
    EXPECT_TRUE(items[0].contains({"text/plain;charset=utf-8", "theirs"}));

    // Our own writes and clearing count once, when made.
    const int counted = clipboard->changeCount();
    ASSERT_TRUE(clipboard->writeItems(items));
    EXPECT_EQ(pasted(), "theirs");
    clipboard->clearContents();
    // (A second connection of ours sees the formats without reading: an
    // outside reader waits for contents that never come.)
    const auto observer = DataControlPasteboard::create();
    EXPECT_TRUE(testsupport::waitUntil([&] { return observer->types().isEmpty(); }));
    EXPECT_EQ(clipboard->changeCount(), counted + 2);
    EXPECT_TRUE(field.focused());
    EXPECT_EQ(field.focusIns(), 1);
}

// The whole paste: the text reaches the Wayland field through the portal's
// Control+V, and the user's contents come back.
TEST_F(DataControlOnKde, PastedIntoTheWaylandFieldThroughThePortalThenClipboardBack) {
    SettingsStore settings;
    FakeNotifier notifier;
    FakeFrontmostApp frontmost;
    PortalKeySynthesizer keys{settings, notifier, Clock::system(), {}};
    KeyboardSimulator paste{*clipboard, keys, frontmost, notifier, settings, Clock::system()};
    copy("keep me");
    ASSERT_TRUE(testsupport::waitUntil([&] { return clipboard->string() == "keep me"; }));

    paste.insertText(QString::fromUtf8("Привет, KDE "));
    EXPECT_TRUE(field.waitText(QString::fromUtf8("Привет, KDE "))) << field.text().toStdString();
    ASSERT_TRUE(testsupport::waitUntil([&] { return !paste.isInserting(); }));
    EXPECT_EQ(pasted(), "keep me");

    paste.insertText("again");
    EXPECT_TRUE(field.waitText(QString::fromUtf8("Привет, KDE again")))
        << field.text().toStdString();
    ASSERT_TRUE(testsupport::waitUntil([&] { return !paste.isInserting(); }));
    EXPECT_EQ(pasted(), "keep me");
    EXPECT_EQ(field.focusIns(), 1) << "the paste moved the focus";
    EXPECT_TRUE(notifier.notices.empty());
}
