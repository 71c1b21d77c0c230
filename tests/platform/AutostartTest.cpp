// Launch at login's autostart entry: made from the installed desktop entry
// with our own executable, whatever characters its path holds.
#include <gtest/gtest.h>

#include <QDir>
#include <QStandardPaths>

#include "platform/linux/Autostart.h"
#include "support/TestSupport.h"

TEST(Autostart, EntryTextStartsTheGivenExecutable) {
    const QString installed =
        "[Desktop Entry]\nType=Application\nName=Ormil\nExec=\"/old/bin/ormil\" %u\n"
        "MimeType=x-scheme-handler/ormil;\n\n[Desktop Action quit]\nExec=ormil --quit\n";
    struct Case {
        QString installed;
        QString executable;
        QString execLine;
    };
    const Case cases[] = {
        {installed, "/home/u/.local/opt/Ormil/bin/ormil",
         "Exec=\"/home/u/.local/opt/Ormil/bin/ormil\""},
        {installed, "/home/my apps/$HOME/\"x\"/ormil",
         "Exec=\"/home/my apps/\\$HOME/\\\"x\\\"/ormil\""},
        {"", "/opt/ormil", "Exec=\"/opt/ormil\""},  // no installed entry: the built-in one
        {"garbage", "/opt/ormil", "Exec=\"/opt/ormil\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.executable.toStdString());
        const QString text = Autostart::entryText(c.installed, c.executable);
        const QStringList lines = text.split('\n');
        EXPECT_EQ(lines.first(), "[Desktop Entry]");
        EXPECT_EQ(lines.count(c.execLine), 1) << text.toStdString();
        EXPECT_FALSE(text.contains("%u")) << "nothing to open at login";
        EXPECT_TRUE(text.contains("Name=Ormil"));
    }
    // Another group's Exec stays as it was.
    EXPECT_TRUE(Autostart::entryText(installed, "/x").contains("\nExec=ormil --quit\n"));
}

TEST(Autostart, EnableCopiesTheInstalledEntryAndDisableRemovesIt) {
    const QString apps =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/applications";
    QDir().mkpath(apps);
    testsupport::writeFile(apps + "/ormil.desktop",
                           "[Desktop Entry]\nName=Ormil\nIcon=/opt/Ormil/share/icons/ormil.svg\n"
                           "Exec=\"/opt/Ormil/bin/ormil\" %u\n");
    QString error;
    ASSERT_TRUE(Autostart::enable("/opt/Ormil/bin/ormil", &error)) << error.toStdString();
    const QString text = QString::fromUtf8(testsupport::readFile(Autostart::entryPath()));
    EXPECT_TRUE(text.contains("Icon=/opt/Ormil/share/icons/ormil.svg"));
    EXPECT_TRUE(text.contains("Exec=\"/opt/Ormil/bin/ormil\"\n"));
    ASSERT_TRUE(Autostart::disable(&error));
    EXPECT_FALSE(QFile::exists(Autostart::entryPath()));
    EXPECT_TRUE(Autostart::disable(&error)) << "an absent entry is already off";
}
