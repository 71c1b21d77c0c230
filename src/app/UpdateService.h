#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "app/UpdateManifest.h"

class HttpClient;
class SettingsStore;

// What the updater shows the user. The application's one uses message boxes
// and a small progress window; tests drive a fake. Main thread only.
class UpdatePresenter {
public:
    virtual ~UpdatePresenter() = default;
    // The update alert: true when the user chose to update now.
    virtual bool offerUpdate(const QString& title, const QString& text) = 0;
    // "Software Update" with one OK button.
    virtual void showInfo(const QString& text) = 0;
    // "Update Failed" with one OK button.
    virtual void showError(const QString& text) = 0;
    virtual void showProgress(const QString& title, const QString& status) = 0;
    virtual void setProgressStatus(const QString& status) = 0;
    virtual void closeProgress() = 0;

    // Message boxes and a 340 x 100 progress window.
    static std::unique_ptr<UpdatePresenter> createWidgets();
};

// Self-update: checks the manifest mirrors (after launch, every six hours,
// after a wake, on demand), offers a newer version, downloads and verifies
// the archive, and hands the installation to a script that replaces the
// installed bundle once this process has ended and starts the new one.
class UpdateService : public QObject {
    Q_OBJECT
public:
    static constexpr const char* pendingUpdateKey = "pendingUpdateVersion";
    static constexpr double periodicInterval = 21600;
    static constexpr double wakeDelay = 30;

    struct Collaborators {
        HttpClient* http = nullptr;            // default HttpClient::shared()
        SettingsStore* settings = nullptr;     // default SettingsStore::shared()
        UpdatePresenter* presenter = nullptr;  // default: widgets, made on first use
        // The running version; default the build's.
        QString currentVersion;
        // The manifest mirrors in order; default manifestMirrors().
        QStringList manifestURLs;
        // The update reports; default ErrorReportService::shared().report(...).
        std::function<void(const QString& code, const QString& message, const QJsonObject& context)>
            report;
        // Runs fn after seconds (once, or every `seconds` when repeating);
        // default QTimer on the main thread.
        std::function<void(double seconds, bool repeating, std::function<void()> fn)> schedule;
        // Unix time in seconds for the manifest query; default the system's.
        std::function<qint64()> unixTime;
        // The installation the script replaces; default installedBundlePath().
        QString installedPath;
        // The running bundle (reported as "app_path"); default the running one.
        QString bundlePath;
        // Where each installation makes its private work folder (archive,
        // unpacked bundle, script); default the application's private
        // temporary folder.
        QString tempDir;
        // The process the script waits for; default this one.
        qint64 pid = 0;
        // Ends the application once the script runs; default a quit.
        std::function<void()> terminate;
        // Programs, found on PATH when not absolute.
        QString unzipProgram = QStringLiteral("unzip");
        QString bashProgram = QStringLiteral("bash");
    };

    static UpdateService& shared();
    explicit UpdateService(Collaborators collaborators, QObject* parent = nullptr);
    ~UpdateService() override;

    // The four mirrors: under ORMIL_UPDATE_BASE, under the API base, and the
    // two set when the application was built.
    static QStringList manifestMirrors();
    // ~/.local/opt/Ormil
    static QString installedBundlePath();

    // The first call checks the installation marker, checks for updates
    // after `seconds`, and starts the periodic and wake checks; later calls
    // do nothing until the manual check clears hasChecked.
    void checkAfterDelay(double seconds);
    void setHasChecked(bool value) { m_hasChecked = value; }
    bool hasChecked() const { return m_hasChecked; }

    // One manifest check off the main thread; alerts come on the main thread.
    // `done` runs on the main thread when the check (and any alert) is over.
    void checkForUpdates(bool showUpToDate, std::function<void()> done = {});
    // The machine woke up: a check after wakeDelay seconds.
    void handleWake();

    // Blocking: downloads, verifies, unpacks and starts the script; returns
    // after a failure was shown. Call it off the main thread.
    void downloadAndInstall(const UpdateManifest& manifest);

    QString currentVersion() const { return m_c.currentVersion; }
    bool isBusy() const;

    // a newer than b, compared piece by piece as integers.
    static bool isNewer(const QString& a, const QString& b);
    // 64 lower-case hex digits.
    static QString sha256(const QByteArray& data);
    static std::optional<QString> sha256OfFile(const QString& path);
    // The script's text; the process id and every path reach it as its
    // arguments: pid, installed path, new bundle, work folder.
    static QByteArray relaunchScript();
    // The bundle inside an unpacked archive: the first top-level folder (a
    // real one, not a link), in name order, that holds bin/ormil.
    static std::optional<QString> findBundle(const QString& folder);

    // The work folder of the latest installation (empty before the first)
    // and the script in it.
    QString updateFolder() const;
    QString scriptPath() const;

    void reportUpdate(const QString& code, const QString& message,
                      const std::optional<QString>& target);

private:
    Q_SLOT void onPrepareForSleep(bool sleeping);
    void checkPendingUpdateMarker();
    void startPeriodicChecks();
    // Fetches the manifest; runs off the main thread.
    // What a check found: a newer version to offer, else a note to show
    // (when the user asked), both decided off the main thread.
    struct CheckOutcome {
        std::optional<UpdateManifest> newer;
        std::optional<QString> info;
    };
    CheckOutcome runCheck(bool showUpToDate);
    void showUpdateAlert(const UpdateManifest& manifest, std::function<void()> done);
    void failInstall(const QString& code, const QString& message, const QString& alert,
                     const QString& target);
    UpdatePresenter& presenter();
    void onMain(std::function<void()> fn);
    // A new folder only this user may enter, made under tempDir with a name
    // no one could have chosen in advance.
    QString makeWorkFolder();
    void removeWorkFolder();

    Collaborators m_c;
    std::unique_ptr<UpdatePresenter> m_ownPresenter;
    bool m_hasChecked = false;
    bool m_periodicStarted = false;
    // Set by the installation, which runs one at a time.
    QString m_workFolder;
    // An alert on screen or an installation under way.
    std::atomic<bool> m_busy{false};
};
