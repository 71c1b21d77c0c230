#pragma once

// What the updater tests share: a presenter that records what the user
// would see, an updater wired to the stand-in, and archives made with zip.
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <memory>

#include "app/UpdateService.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"
#include "service/HttpClient.h"
#include "support/DevService.h"
#include "support/TestSupport.h"

namespace updatetest {

class FakePresenter : public UpdatePresenter {
public:
    bool offerUpdate(const QString& title, const QString& text) override {
        offers << title + "|" + text;
        if (duringOffer) duringOffer();
        return accept;
    }
    void showInfo(const QString& text) override { infos << text; }
    void showError(const QString& text) override { errors << text; }
    void showProgress(const QString& title, const QString& status) override {
        progress << "show:" + title + "|" + status;
        progressOpen = true;
    }
    void setProgressStatus(const QString& status) override { progress << status; }
    void closeProgress() override {
        progress << "close";
        progressOpen = false;
    }

    bool accept = false;
    std::function<void()> duringOffer;
    QStringList offers, infos, errors, progress;
    bool progressOpen = false;
};

struct Report {
    QString code, message;
    QJsonObject context;
};

// An updater whose collaborators the test holds.
struct Rig {
    explicit Rig(QString current = "1.0.0") {
        settings = std::make_unique<SettingsStore>(testsupport::root() + "/settings.json");
        QDir().mkpath(testsupport::root() + "/tmp");
        UpdateService::Collaborators c;
        c.settings = settings.get();
        c.http = &http;
        c.presenter = &presenter;
        c.currentVersion = current;
        c.manifestURLs = {"https://unused.invalid/ORMIL-linux/manifest.json"};
        c.report = [this](const QString& code, const QString& message, const QJsonObject& ctx) {
            reports.push_back({code, message, ctx});
        };
        c.schedule = [this](double seconds, bool repeating, std::function<void()> fn) {
            scheduled.push_back({seconds, repeating, std::move(fn)});
        };
        c.unixTime = [] { return qint64(1700000000); };
        c.installedPath = testsupport::root() + "/opt/Ormil";
        c.bundlePath = "/running/Ormil";
        c.tempDir = testsupport::root() + "/tmp";
        c.pid = 424242;
        c.terminate = [this] { ++terminations; };
        collaborators = c;
    }
    UpdateService& service() {
        if (!updater) updater = std::make_unique<UpdateService>(collaborators);
        return *updater;
    }
    // One check, waited for.
    void check(bool showUpToDate) {
        bool done = false;
        service().checkForUpdates(showUpToDate, [&] { done = true; });
        ASSERT_TRUE(testsupport::waitUntil([&] { return done; }));
    }
    QStringList codes() const {
        QStringList out;
        for (const Report& r : reports) out << r.code;
        return out;
    }

    struct Scheduled {
        double seconds;
        bool repeating;
        std::function<void()> fn;
    };
    std::unique_ptr<SettingsStore> settings;
    HttpClient http{Clock::system()};
    FakePresenter presenter;
    std::vector<Report> reports;
    std::vector<Scheduled> scheduled;
    int terminations = 0;
    UpdateService::Collaborators collaborators;
    std::unique_ptr<UpdateService> updater;
};

inline int closedPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

// Runs a program in a folder; its exit code.
inline int runIn(const QString& folder, const QString& program, const QStringList& args) {
    QProcess p;
    p.setWorkingDirectory(folder);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, args);
    p.waitForFinished(60000);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// A bundle folder with an executable bin/ormil holding `script`.
inline void makeBundle(const QString& folder, const QByteArray& script) {
    QDir().mkpath(folder + "/bin");
    QDir().mkpath(folder + "/lib");
    testsupport::writeFile(folder + "/bin/ormil", script);
    QFile::setPermissions(folder + "/bin/ormil",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// A zip of the given top-level entries of `staging`.
inline QByteArray zipOf(const QString& staging, const QStringList& entries) {
    const QString out = staging + "/../" + QFileInfo(staging).fileName() + ".zip";
    QFile::remove(out);
    EXPECT_EQ(runIn(staging, "zip", QStringList{"-qry", out} + entries), 0);
    return testsupport::readFile(out);
}

// Puts bytes on the stand-in: a manifest at a mirror path or an archive.
inline void publish(const DevService& stand, const QString& controlPath, const QByteArray& body) {
    HttpClient http(Clock::system());
    HttpRequest r;
    r.method = "POST";
    r.url = stand.url(controlPath);
    r.body = body;
    EXPECT_EQ(http.send(r).status, 200);
}

inline UpdateManifest manifestFor(const QString& version, const QByteArray& archive,
                                  const QString& url) {
    UpdateManifest m;
    m.version = version;
    m.releaseDate = "2026-12-01";
    m.downloadUrl = url;
    m.sha256 = UpdateService::sha256(archive);
    m.releaseNotes = "Faster and smaller.";
    m.fileSize = archive.size();
    return m;
}

}  // namespace updatetest
