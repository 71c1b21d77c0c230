// Whether the desktop has a handler for a link scheme, read from a private
// XDG data folder. GIO reads its folders once per process, and each test
// below runs in a process of its own.
#include <gtest/gtest.h>

#include <QDir>

#include "platform/linux/DesktopLinks.h"
#include "support/TestSupport.h"

namespace {

// A data folder (applications/) that this process alone reads.
QString privateDataHome(bool withTelegram) {
    const QString home = testsupport::root() + "/xdg-data";
    QDir(home).removeRecursively();
    QDir().mkpath(home + "/applications");
    QDir().mkpath(testsupport::root() + "/xdg-empty");
    qputenv("XDG_DATA_HOME", home.toUtf8());
    qputenv("XDG_DATA_DIRS", (testsupport::root() + "/xdg-empty").toUtf8());
    if (withTelegram) {
        testsupport::writeFile(home + "/applications/tgtest.desktop",
                               "[Desktop Entry]\nType=Application\nName=TG test\n"
                               "Exec=/bin/true %u\nMimeType=x-scheme-handler/tg;\n");
        testsupport::writeFile(home + "/applications/mimeapps.list",
                               "[Default Applications]\nx-scheme-handler/tg=tgtest.desktop\n");
    }
    return home;
}

}  // namespace

TEST(DesktopLinks, SchemeWithARegisteredHandler) {
    privateDataHome(true);
    EXPECT_TRUE(DesktopLinks::hasSchemeHandler("tg"));
    EXPECT_FALSE(DesktopLinks::hasSchemeHandler("ormil-test-none"));
}

TEST(DesktopLinks, SchemeWithoutAHandler) {
    privateDataHome(false);
    EXPECT_FALSE(DesktopLinks::hasSchemeHandler("tg"));
}
