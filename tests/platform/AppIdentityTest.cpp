// An application's identifier: the desktop entry its process tells, else the
// installed entry its WM_CLASS names, else the class itself; and what the
// installed entries say (names by language, masking, matching rules).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include "platform/AppIdentity.h"
#include "platform/DesktopEntries.h"
#include "support/TestSupport.h"

namespace {

// Entries in the user's folder ($XDG_DATA_HOME) and in two system folders
// ($XDG_DATA_DIRS), all inside this test's private tree.
class DesktopEntriesTest : public ::testing::Test {
protected:
    void SetUp() override {
        user = testsupport::root() + "/data/applications";
        system1 = testsupport::root() + "/sys1";
        system2 = testsupport::root() + "/sys2";
        qputenv("XDG_DATA_DIRS", (system1 + ":" + system2).toUtf8());
    }

    static void write(const QString& appsDir, const QString& relative, const QString& text) {
        const QString path = appsDir + "/" + relative + ".desktop";
        QDir().mkpath(QFileInfo(path).path());
        testsupport::writeFile(path, text.toUtf8());
    }
    static QString entry(const QString& fields) {
        return "[Desktop Entry]\nType=Application\n" + fields + "\n";
    }

    QString user, system1, system2;
};

TEST_F(DesktopEntriesTest, ReadsNamesIconsAndMasksAsTheFoldersTakePrecedence) {
    write(user, "org.example.Notes",
          "# comment\n[Desktop Entry]\nType=Application\nName=Field Notes\n"
          "Name[ru]=Полевые заметки\nName[pt_BR]=Notas de campo\nIcon=notes\n"
          "Exec=env LANG=C \"/opt/notes/bin/notes app\" --new %U\n"
          "[Desktop Action new]\nName=New note\n");
    write(system1 + "/applications", "org.example.Notes", entry("Name=System copy"));
    // A user entry marked Hidden takes the system one away.
    write(user, "org.example.Gone", entry("Name=Gone\nHidden=true"));
    write(system2 + "/applications", "org.example.Gone", entry("Name=Still here"));
    write(system2 + "/applications", "kde4/kate", entry("Name=Kate"));
    write(system2 + "/applications", "link", "[Desktop Entry]\nType=Link\nName=A link\n");

    const auto notes = DesktopEntries::find("org.example.Notes");
    ASSERT_TRUE(notes);
    const struct {
        const char* language;
        const char* name;
    } names[] = {
        {"ru", "Полевые заметки"}, {"en", "Field Notes"}, {"pt_BR", "Notas de campo"},
        {"ru_RU", "Полевые заметки"}, {"de", "Field Notes"}, {"", "Field Notes"},
    };
    for (const auto& n : names) EXPECT_EQ(notes->name(n.language), n.name) << n.language;
    EXPECT_EQ(notes->icon, "notes");
    EXPECT_EQ(notes->execProgram, "notes app");
    EXPECT_FALSE(DesktopEntries::find("org.example.Gone"));
    EXPECT_TRUE(DesktopEntries::find("kde4-kate"));
    EXPECT_FALSE(DesktopEntries::find("link"));

    // An entry installed later is seen at the next look.
    EXPECT_FALSE(DesktopEntries::find("org.example.Later"));
    write(user, "org.example.Later", entry("Name=Later"));
    EXPECT_TRUE(DesktopEntries::find("org.example.Later"));
    EXPECT_EQ(DesktopEntries::idForPath(system2 + "/applications/kde4/kate.desktop"), "kde4-kate");
    EXPECT_EQ(DesktopEntries::idForPath("/elsewhere/org.example.Chat.desktop"),
              "org.example.Chat");
}

TEST_F(DesktopEntriesTest, WindowClassesFindTheirEntries) {
    write(user, "org.example.Chat", entry("Name=Chat\nStartupWMClass=ChatWindow"));
    write(user, "org.example.chatwindow", entry("Name=Impostor"));
    write(user, "org.gnome.gedit", entry("Name=Text Editor\nExec=gedit %U"));
    write(user, "viewer", entry("Name=Viewer\nExec=/usr/bin/imgview"));
    write(user, "viewer-helper", entry("Name=Helper\nExec=imgview --helper\nNoDisplay=true"));
    write(user, "Case", entry("Name=Upper"));
    write(user, "case", entry("Name=Lower"));

    const struct {
        const char* instance;
        const char* className;
        const char* id;  // "" = none
    } cases[] = {
        {"chat", "ChatWindow", "org.example.Chat"},  // StartupWMClass before ids
        {"chatwindow", "", "org.example.Chat"},      // letter case aside
        {"gedit", "Gedit", "org.gnome.gedit"},       // last piece of the id
        {"imgview", "Imgview", "viewer"},            // Exec's program; the shown entry wins
        {"x", "case", "case"},                       // the exact spelling wins
        {"unknown", "Unknown", ""},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        const auto found = DesktopEntries::matchWindowClass(c.instance, c.className);
        EXPECT_EQ(found ? found->id : QString(), c.id) << c.instance << "/" << c.className;
    }
}

// A fake /proc: the environment and control group of one process.
void fakeProcess(const QString& proc, qint64 pid, const QByteArrayList& environment,
                 const QByteArray& cgroup = "0::/user.slice/session-2.scope\n") {
    const QString dir = proc + "/" + QString::number(pid);
    QDir().mkpath(dir);
    testsupport::writeFile(dir + "/environ", environment.join('\0') + '\0');
    testsupport::writeFile(dir + "/cgroup", cgroup);
}

TEST_F(DesktopEntriesTest, AProcessTellsItsEntryWhereItCan) {
    write(user, "org.example.Chat", entry("Name=Chat"));
    write(user, "chatapp_chatapp", entry("Name=Chat (snap)"));
    write(user, "chatapp_helper", entry("Name=Chat helper"));
    const QString proc = testsupport::root() + "/proc";
    const QByteArray launched = (user + "/org.example.Chat.desktop").toUtf8();
    fakeProcess(proc, 100,
                {"PATH=/usr/bin", "GIO_LAUNCHED_DESKTOP_FILE=" + launched,
                 "GIO_LAUNCHED_DESKTOP_FILE_PID=100"});
    // Started from a terminal that was itself launched from an entry.
    fakeProcess(proc, 101,
                {"GIO_LAUNCHED_DESKTOP_FILE=/usr/share/applications/org.gnome.Terminal.desktop",
                 "GIO_LAUNCHED_DESKTOP_FILE_PID=90"});
    fakeProcess(proc, 102, {"BAMF_DESKTOP_FILE_HINT=" + launched});
    fakeProcess(proc, 103, {"FLATPAK_ID=org.example.Sandboxed"});
    fakeProcess(proc, 104, {},
                "0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
                "app-flatpak-org.example.Walled-4242.scope\n");
    fakeProcess(proc, 105, {"SNAP_NAME=chatapp"});
    fakeProcess(proc, 106, {}, "0::/user.slice/user@1000.service/app.slice/snap.chatapp.chatapp-1a2b.scope\n");

    const struct {
        qint64 pid;
        const char* id;
    } cases[] = {
        {100, "org.example.Chat"}, {101, ""}, {102, "org.example.Chat"},
        {103, "org.example.Sandboxed"}, {104, "org.example.Walled"}, {105, "chatapp_chatapp"},
        {106, "chatapp_chatapp"}, {107, ""},  // no such process
        {0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AppIdentity::fromProcess(c.pid, proc).value_or(QString()), c.id) << c.pid;
}

TEST_F(DesktopEntriesTest, IdentifierOfARealProcessAndOfWindowsAlone) {
    write(user, "org.example.Chat", entry("Name=Chat\nStartupWMClass=ChatWindow"));
    write(user, "org.example.Launched", entry("Name=Launched"));
    // A process started from an entry: the launcher sets both variables for
    // the process it starts (exec keeps the process id).
    QProcess process;
    process.start("sh", {"-c", "exec env GIO_LAUNCHED_DESKTOP_FILE=\"$1\" "
                               "GIO_LAUNCHED_DESKTOP_FILE_PID=$$ sleep 60",
                         "sh", user + "/org.example.Launched.desktop"});
    ASSERT_TRUE(process.waitForStarted());
    const qint64 pid = process.processId();
    ASSERT_TRUE(testsupport::waitUntil([&] {
        return testsupport::readFile(QString("/proc/%1/environ").arg(pid)).contains("PID=");
    }));

    const struct {
        AppWindow window;
        const char* id;
    } cases[] = {
        {{pid, "chat", "ChatWindow"}, "org.example.Launched"},  // the process first
        {{0, "chat", "ChatWindow"}, "org.example.Chat"},
        {{0, "tool", "SomeTool"}, "SomeTool"},
        {{0, "tool", ""}, "tool"},
        {{0, "", ""}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AppIdentity::identifier(c.window).value_or(QString()), c.id)
            << c.window.className.toStdString();
    process.kill();
    process.waitForFinished();
}

}  // namespace
