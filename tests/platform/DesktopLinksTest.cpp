// Whether the desktop has a handler for a link scheme, read from a private
// XDG data folder. GIO reads its folders once per process, so the one test
// below sets the folder up before the first question.
#include <gtest/gtest.h>

#include <QDir>

#include "platform/linux/DesktopLinks.h"
#include "support/TestSupport.h"

TEST(DesktopLinks, HandlersComeFromTheAssociationsOfThePrivateDataFolder) {
    const QString home = testsupport::root() + "/xdg-data";
    QDir().mkpath(home + "/applications");
    QDir().mkpath(testsupport::root() + "/xdg-empty");
    qputenv("XDG_DATA_HOME", home.toUtf8());
    qputenv("XDG_DATA_DIRS", (testsupport::root() + "/xdg-empty").toUtf8());
    testsupport::writeFile(home + "/applications/tgtest.desktop",
                           "[Desktop Entry]\nType=Application\nName=TG test\n"
                           "Exec=/bin/true %u\nMimeType=x-scheme-handler/tg;\n");
    testsupport::writeFile(home + "/applications/mimeapps.list",
                           "[Default Applications]\nx-scheme-handler/tg=tgtest.desktop\n");

    const std::pair<const char*, bool> cases[] = {{"tg", true}, {"ormil-test-none", false}};
    for (const auto& [scheme, handled] : cases)
        EXPECT_EQ(DesktopLinks::hasSchemeHandler(scheme), handled) << scheme;
}
