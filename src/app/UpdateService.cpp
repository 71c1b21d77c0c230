#include "app/UpdateService.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/L10n.h"
#include "platform/DebugLog.h"
#include "platform/PrivateFiles.h"
#include "platform/SettingsStore.h"
#include "platform/Threading.h"
#include "service/AnswerLimits.h"
#include "service/ErrorReportService.h"
#include "service/HttpClient.h"
#include "service/HttpServiceConfig.h"
#include "platform/Required.h"

namespace {

const QString kTag = QStringLiteral("[Update] ");

// Thrown by a file or process step of the installation.
struct InstallError {
    QString description;
};

// Each dotted piece as a signed 64-bit integer; pieces that are not one
// are dropped.
QList<qint64> versionPieces(const QString& version) {
    QList<qint64> out;
    for (const QString& piece : version.split('.', Qt::SkipEmptyParts)) {
        QString digits = piece;
        if (digits.startsWith('+') || digits.startsWith('-')) digits = digits.mid(1);
        if (digits.isEmpty()) continue;
        bool allDigits = true;
        for (QChar c : digits) allDigits = allDigits && c >= '0' && c <= '9';
        if (!allDigits) continue;
        bool ok = false;
        const qint64 value = piece.startsWith('+') ? digits.toLongLong(&ok) : piece.toLongLong(&ok);
        if (ok) out << value;
    }
    return out;
}

}  // namespace

// ------------------------------------------------------------------ statics

bool UpdateService::isNewer(const QString& a, const QString& b) {
    const QList<qint64> pa = versionPieces(a);
    const QList<qint64> pb = versionPieces(b);
    for (qsizetype i = 0; i < std::max(pa.size(), pb.size()); ++i) {
        const qint64 x = i < pa.size() ? pa[i] : 0;
        const qint64 y = i < pb.size() ? pb[i] : 0;
        if (x != y) return x > y;
    }
    return false;
}

QString UpdateService::sha256(const QByteArray& data) {
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
}

std::optional<QString> UpdateService::sha256OfFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file)) return std::nullopt;
    return QString::fromLatin1(hash.result().toHex());
}

QByteArray UpdateService::relaunchScript() {
    // Everything variable arrives as an argument: no path or id is ever
    // part of the text, so no character in them can run as code.
    return "#!/bin/bash\n"
           "# Arguments: the old process id, the installed bundle, the new bundle, the work "
           "folder\n"
           "pid=\"$1\"; installed=\"$2\"; bundle=\"$3\"; work=\"$4\"\n"
           "# Wait up to 3s for Ormil to quit gracefully, then force-close that one process\n"
           "for _ in $(seq 1 15); do\n"
           "    kill -0 \"$pid\" 2>/dev/null || break\n"
           "    sleep 0.2\n"
           "done\n"
           "kill -9 \"$pid\" 2>/dev/null || true\n"
           "sleep 0.2\n"
           "# Replace app: copy beside the old bundle, then swap it in; a failed copy\n"
           "# leaves the old installation as it was\n"
           "staged=\"$installed.new.$$\"; old=\"$installed.old.$$\"\n"
           "rm -rf \"$staged\"\n"
           "mkdir -p \"$(dirname \"$installed\")\"\n"
           "if cp -a \"$bundle\" \"$staged\"; then\n"
           "    if [ -e \"$installed\" ]; then mv \"$installed\" \"$old\"; fi\n"
           "    if mv \"$staged\" \"$installed\"; then rm -rf \"$old\"; "
           "elif [ -e \"$old\" ]; then mv \"$old\" \"$installed\"; fi\n"
           "fi\n"
           "rm -rf \"$staged\"\n"
           "# Relaunch\n"
           "setsid \"$installed/bin/ormil\" </dev/null >/dev/null 2>&1 &\n"
           "# Cleanup\n"
           "rm -rf \"$work\"\n"
           "rm -f \"$0\"";
}

std::optional<QString> UpdateService::findBundle(const QString& folder) {
    const QDir dir(folder);
    // A link would make the installation copy whatever it points to.
    for (const QString& name :
         dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name)) {
        const QString candidate = dir.filePath(name);
        if (QFileInfo(candidate + QStringLiteral("/bin/ormil")).isFile()) return candidate;
    }
    return std::nullopt;
}

QStringList UpdateService::manifestMirrors() {
    const QString path = QStringLiteral("/ORMIL-linux/manifest.json");
    return {ServiceConfig::updateBase() + path,
            ServiceConfig::apiBase() + QStringLiteral("/updates") + path,
            QStringLiteral(ORMIL_UPDATE_MIRROR3) + QStringLiteral("/ormil-updates") + path,
            QStringLiteral(ORMIL_UPDATE_MIRROR4) + path};
}

QString UpdateService::installedBundlePath() {
    return QDir::homePath() + QStringLiteral("/.local/opt/Ormil");
}

// ------------------------------------------------------------------ service

UpdateService& UpdateService::shared() {
    static UpdateService* service = [] {
        Collaborators c;
        c.http = &HttpClient::shared();
        c.settings = &SettingsStore::shared();
        return new UpdateService(std::move(c));
    }();
    return *service;
}

UpdateService::UpdateService(Collaborators c, QObject* parent)
    : QObject(parent), m_c(std::move(c)) {
    requireCollaborators("UpdateService", "http", m_c.http, "settings", m_c.settings);
    if (m_c.currentVersion.isEmpty()) {
        const QString v = QCoreApplication::applicationVersion();
        m_c.currentVersion = v.isEmpty() ? QStringLiteral("0.0.0") : v;
    }
    if (m_c.manifestURLs.isEmpty()) m_c.manifestURLs = manifestMirrors();
    if (!m_c.report)
        m_c.report = [](const QString& code, const QString& message, const QJsonObject& context) {
            ErrorReportService::shared().report(QStringLiteral("update"), code, message, context);
        };
    if (!m_c.schedule)
        m_c.schedule = [this](double seconds, bool repeating, std::function<void()> fn) {
            auto* timer = new QTimer(this);
            timer->setSingleShot(!repeating);
            timer->setTimerType(repeating ? Qt::VeryCoarseTimer : Qt::CoarseTimer);
            connect(timer, &QTimer::timeout, this, [timer, repeating, fn] {
                fn();
                if (!repeating) timer->deleteLater();
            });
            timer->start(int(seconds * 1000));
        };
    if (!m_c.unixTime) m_c.unixTime = [] { return QDateTime::currentSecsSinceEpoch(); };
    if (m_c.installedPath.isEmpty()) m_c.installedPath = installedBundlePath();
    if (m_c.bundlePath.isEmpty())
        m_c.bundlePath = QDir::cleanPath(QCoreApplication::applicationDirPath() + "/..");
    if (m_c.pid == 0) m_c.pid = QCoreApplication::applicationPid();
    if (!m_c.terminate) m_c.terminate = [] { QCoreApplication::quit(); };
}

UpdateService::~UpdateService() = default;

UpdatePresenter& UpdateService::presenter() {
    ORMIL_ASSERT_MAIN_THREAD();
    if (m_c.presenter) return *m_c.presenter;
    if (!m_ownPresenter) m_ownPresenter = UpdatePresenter::createWidgets();
    return *m_ownPresenter;
}

void UpdateService::onMain(std::function<void()> fn) {
    runOnMain(this, std::move(fn));
}

bool UpdateService::isBusy() const {
    return m_busy.load();
}

QString UpdateService::updateFolder() const {
    return m_workFolder;
}

QString UpdateService::scriptPath() const {
    return m_workFolder.isEmpty() ? QString() : m_workFolder + QStringLiteral("/ormil-update.sh");
}

QString UpdateService::makeWorkFolder() {
    const QString parent = m_c.tempDir.isEmpty() ? PrivateFiles::temporaryDirectory() : m_c.tempDir;
    if (parent.isEmpty() || !QDir().mkpath(parent))
        throw InstallError{QStringLiteral("The folder “%1” could not be created.").arg(parent)};
    // mkdtemp makes the folder, mode 0700, under a name that did not exist:
    // nothing another user prepared is ever used.
    QByteArray name = QFile::encodeName(parent + QStringLiteral("/update-XXXXXX"));
    if (!::mkdtemp(name.data()))
        throw InstallError{QStringLiteral("The work folder could not be created in “%1”: %2")
                               .arg(parent, QString::fromLocal8Bit(std::strerror(errno)))};
    return QFile::decodeName(name);
}

void UpdateService::removeWorkFolder() {
    if (m_workFolder.isEmpty()) return;
    // Only the folder itself, never what a link in its place points to;
    // links inside are removed, not followed.
    struct stat info {};
    if (::lstat(QFile::encodeName(m_workFolder).constData(), &info) == 0 && S_ISDIR(info.st_mode))
        QDir(m_workFolder).removeRecursively();
}

void UpdateService::reportUpdate(const QString& code, const QString& message,
                                 const std::optional<QString>& target) {
    QJsonObject context{{"current_version", m_c.currentVersion}, {"app_path", m_c.bundlePath}};
    if (target) context.insert(QStringLiteral("target_version"), *target);
    m_c.report(code, message, context);
}

// ------------------------------------------------------------------ checks

void UpdateService::checkAfterDelay(double seconds) {
    if (m_hasChecked) return;
    m_hasChecked = true;
    checkPendingUpdateMarker();
    m_c.schedule(seconds, false, [this] { checkForUpdates(false); });
    startPeriodicChecks();
}

void UpdateService::checkPendingUpdateMarker() {
    const std::optional<QString> marker = m_c.settings->string(QLatin1String(pendingUpdateKey));
    if (!marker) return;
    // The marker is a hand-over between two copies: it is gone from the file
    // before anything else happens, so that no later start reports it again.
    m_c.settings->remove(QLatin1String(pendingUpdateKey));
    m_c.settings->flush();
    if (isNewer(*marker, m_c.currentVersion)) {
        reportUpdate(QStringLiteral("update_failed_after_restart"),
                     QStringLiteral("Update to ") + *marker +
                         QStringLiteral(" did not apply; current is ") + m_c.currentVersion,
                     *marker);
    } else {
        reportUpdate(QStringLiteral("update_completed"),
                     QStringLiteral("Update to ") + *marker +
                         QStringLiteral(" completed; current is ") + m_c.currentVersion,
                     *marker);
    }
}

void UpdateService::startPeriodicChecks() {
    if (m_periodicStarted) return;
    m_periodicStarted = true;
    QPointer<UpdateService> self(this);
    m_c.schedule(periodicInterval, true, [self] {
        if (self) self->checkForUpdates(false);
    });
    // Waking from sleep: logind says PrepareForSleep(false).
    QDBusConnection bus = QDBusConnection::systemBus();
    const bool logind =
        bus.isConnected() && bus.interface() &&
        bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.login1"));
    if (!logind ||
        !bus.connect(QStringLiteral("org.freedesktop.login1"),
                     QStringLiteral("/org/freedesktop/login1"),
                     QStringLiteral("org.freedesktop.login1.Manager"),
                     QStringLiteral("PrepareForSleep"), this, SLOT(onPrepareForSleep(bool)))) {
        debugLog(kTag + QStringLiteral("No logind on the system bus: no check after waking up"));
    }
    debugLog(kTag +
             QStringLiteral("Периодическая проверка включена: раз в 6 часов и после пробуждения"));
}

void UpdateService::onPrepareForSleep(bool sleeping) {
    if (!sleeping) handleWake();
}

void UpdateService::handleWake() {
    QPointer<UpdateService> self(this);
    m_c.schedule(wakeDelay, false, [self] {
        if (self) self->checkForUpdates(false);
    });
}

void UpdateService::checkForUpdates(bool showUpToDate, std::function<void()> done) {
    debugLog(kTag + QStringLiteral("Checking for updates... current: ") + m_c.currentVersion);
    runAsync(
        this, [this, showUpToDate] { return runCheck(showUpToDate); },
        [this, done = std::move(done)](const CheckOutcome& outcome) {
            if (outcome.newer) {
                showUpdateAlert(*outcome.newer, done);
                return;
            }
            if (outcome.info) presenter().showInfo(*outcome.info);
            if (done) done();
        });
}

UpdateService::CheckOutcome UpdateService::runCheck(bool showUpToDate) {
    auto finish = [showUpToDate](const QString& text) {
        return CheckOutcome{std::nullopt, showUpToDate ? std::optional(text) : std::nullopt};
    };
    for (const QString& mirror : m_c.manifestURLs) {
        QUrl url(mirror, QUrl::StrictMode);
        if (!url.isValid() || url.scheme().isEmpty() || url.host().isEmpty()) continue;
        QUrlQuery query;
        query.addQueryItem(QStringLiteral("t"), QString::number(m_c.unixTime()));
        url.setQuery(query);
        HttpRequest request;
        request.url = url.toString(QUrl::FullyEncoded);
        request.headers.set("Cache-Control", "no-cache");
        request.timeout = 6;
        AnswerLimitsTable::apply(request, AnswerKind::updateManifest);
        HttpResponse response;
        try {
            response = m_c.http->send(request);
        } catch (const HttpError& e) {
            debugLog(kTag + QStringLiteral("Mirror ") + mirror + QStringLiteral(" error: ") +
                     e.description());
            continue;
        }
        if (response.status != 200) {
            debugLog(kTag + QStringLiteral("Mirror ") + mirror + QStringLiteral(" failed: HTTP ") +
                     QString::number(response.status));
            continue;
        }
        // A mirror that answers with something else than a manifest ends
        // the check: the others are not asked.
        const UpdateManifestDecoded decoded = UpdateManifest::decode(response.body);
        if (!decoded.manifest) {
            debugLog(kTag + QStringLiteral("Check failed: ") + decoded.error);
            return finish(L10n::updateCheckFailed());
        }
        const UpdateManifest manifest = *decoded.manifest;
        debugLog(kTag + QStringLiteral("Latest version: ") + manifest.version +
                 QStringLiteral(", current: ") + m_c.currentVersion);
        if (isNewer(manifest.version, m_c.currentVersion)) return CheckOutcome{manifest, {}};
        debugLog(kTag + QStringLiteral("App is up to date"));
        return finish(L10n::updateUpToDate(m_c.currentVersion));
    }
    return finish(L10n::updateCheckFailed());
}

void UpdateService::showUpdateAlert(const UpdateManifest& manifest, std::function<void()> done) {
    // Two checks may find the same update (a manual one while an automatic
    // one runs): one alert, one installation.
    if (m_busy.exchange(true)) {
        debugLog(kTag + QStringLiteral("Update ") + manifest.version +
                 QStringLiteral(" is already offered or installing; skipping this alert"));
        if (done) done();
        return;
    }
    const QString title = L10n::updateAvailableTitle() + ' ' + manifest.version;
    const QString text = manifest.releaseNotes + QStringLiteral("\n\n") +
                         L10n::updateCurrentVersion() + QStringLiteral(": ") + m_c.currentVersion;
    if (presenter().offerUpdate(title, text)) {
        presenter().showProgress(L10n::updateWindowTitle(),
                                 L10n::updateDownloading(manifest.version));
        runAsync([this, manifest] { downloadAndInstall(manifest); });
    } else {
        m_busy = false;
    }
    if (done) done();
}

// ------------------------------------------------------------- installation

void UpdateService::failInstall(const QString& code, const QString& message, const QString& alert,
                                const QString& target) {
    reportUpdate(code, message, target);
    onMain([this, alert] {
        presenter().closeProgress();
        presenter().showError(alert);
        m_busy = false;
    });
}

void UpdateService::downloadAndInstall(const UpdateManifest& manifest) {
    m_busy = true;
    const QString version = manifest.version;
    auto status = [this](const QString& text) {
        onMain([this, text] { presenter().setProgressStatus(text); });
    };
    // Every failure takes the work folder and all in it along.
    auto fail = [this, &version](const QString& code, const QString& message,
                                 const QString& alert) {
        removeWorkFolder();
        failInstall(code, message, alert, version);
    };
    auto failWith = [this, &version](const InstallError& e) {
        removeWorkFolder();
        debugLog(kTag + QStringLiteral("Install failed: ") + e.description);
        reportUpdate(QStringLiteral("apply_failed"), e.description, version);
        onMain([this, e] {
            presenter().closeProgress();
            debugLog(kTag + QStringLiteral("Установка не удалась: ") + e.description);
            presenter().showError(L10n::updateFailedInstall());
            m_busy = false;
        });
    };
    status(L10n::updateDownloading(version));

    // The body goes straight to disk; the archive is never held in memory.
    // It is downloaded, checked and unpacked inside a folder of this
    // installation's own, so nothing can be swapped in between.
    QString download;
    try {
        m_workFolder = makeWorkFolder();
        download = m_workFolder + QStringLiteral("/update.zip");
        const int fd = ::open(QFile::encodeName(download).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0)
            throw InstallError{QStringLiteral("The file “%1” could not be created.").arg(download)};
        ::close(fd);
    } catch (const InstallError& e) {
        failWith(e);
        return;
    }
    int lastStatus = -1;
    bool downloaded = false;
    bool passedSize = false;
    for (const QString& location : manifest.downloadLocations()) {
        const QUrl url(location, QUrl::StrictMode);
        if (!url.isValid() || url.scheme().isEmpty() || url.host().isEmpty()) continue;
        debugLog(kTag + QStringLiteral("Downloading ") + location + QStringLiteral("..."));
        HttpRequest request;
        request.url = location;
        request.bodyFile = download;
        request.timeout = 60;
        // Measured from empty: an earlier mirror's answer does not count.
        QFile::resize(download, 0);
        AnswerLimitsTable::apply(request, AnswerKind::updateArchive);
        // An answer longer than the announced archive is not it, and an
        // endless one would fill the disk: stop at the announced size.
        request.maxBodyBytes = std::min(*request.maxBodyBytes, manifest.fileSize);
        try {
            const HttpResponse response = m_c.http->send(request);
            if (response.status == 200) {
                downloaded = true;
                break;
            }
            lastStatus = response.status;
        } catch (const HttpError& e) {
            if (e.isAnswerTooLarge()) {
                passedSize = true;
                debugLog(kTag + QStringLiteral("Download mirror ") + location +
                         QStringLiteral(" sent more than the announced %1 bytes; stopped")
                             .arg(manifest.fileSize));
                continue;
            }
            debugLog(kTag + QStringLiteral("Download mirror ") + location +
                     QStringLiteral(" failed: ") + e.description());
        }
    }
    if (!downloaded && passedSize) {
        fail(QStringLiteral("size_mismatch"),
             QStringLiteral("expected %1 bytes, got more").arg(manifest.fileSize),
             L10n::updateFailedDownload());
        return;
    }
    if (!downloaded) {
        fail(QStringLiteral("download_failed"),
             QStringLiteral("HTTP ") + QString::number(lastStatus), L10n::updateFailedDownload());
        return;
    }

    try {
        status(L10n::updateVerifying());
        // The manifest announces the archive's size: anything else is not
        // the published archive.
        const qint64 size = QFileInfo(download).size();
        if (size != manifest.fileSize) {
            debugLog(kTag + QStringLiteral("Size mismatch! Expected: %1 bytes, got %2")
                                .arg(manifest.fileSize)
                                .arg(size));
            fail(QStringLiteral("size_mismatch"),
                 QStringLiteral("expected %1 bytes, got %2").arg(manifest.fileSize).arg(size),
                 L10n::updateFailedDownload());
            return;
        }
        const std::optional<QString> digest = sha256OfFile(download);
        if (!digest) throw InstallError{QStringLiteral("The downloaded file could not be read.")};
        debugLog(kTag + QStringLiteral("SHA256: ") + *digest);
        if (digest->toLower() != manifest.sha256.toLower()) {
            debugLog(kTag + QStringLiteral("SHA256 mismatch! Expected: ") + manifest.sha256);
            fail(QStringLiteral("sha256_mismatch"),
                 QStringLiteral("expected ") + manifest.sha256.left(12) + QStringLiteral(", got ") +
                     digest->left(12),
                 L10n::updateFailedDownload());
            return;
        }

        status(L10n::updateInstalling());
        const QString folder = updateFolder();
        const QString archive = download;

        QProcess unzip;
        unzip.setProcessChannelMode(QProcess::MergedChannels);
        unzip.start(m_c.unzipProgram,
                    {QStringLiteral("-o"), archive, QStringLiteral("-d"), folder});
        if (!unzip.waitForStarted(-1))
            throw InstallError{QStringLiteral("unzip could not be started: ") +
                               unzip.errorString()};
        unzip.waitForFinished(-1);
        const int exitCode = unzip.exitStatus() == QProcess::NormalExit ? unzip.exitCode() : -1;
        if (exitCode != 0) {
            fail(QStringLiteral("extract_failed"),
                 QStringLiteral("unzip exit ") + QString::number(exitCode),
                 L10n::updateFailedInstall());
            return;
        }
        const std::optional<QString> bundle = findBundle(folder);
        if (!bundle) {
            fail(QStringLiteral("extract_failed"), QStringLiteral("no .app in archive"),
                 L10n::updateFailedInstall());
            return;
        }
        debugLog(kTag + QStringLiteral("Extracted: ") + QFileInfo(*bundle).fileName());

        status(L10n::updateRestarting());
        QSaveFile script(scriptPath());
        if (!script.open(QIODevice::WriteOnly) || script.write(relaunchScript()) < 0 ||
            !script.commit())
            throw InstallError{QStringLiteral("The script could not be written: ") +
                               script.errorString()};
        QFile::setPermissions(scriptPath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        // The marker and the report come first: once the script runs, this
        // process may be gone at any moment.
        m_c.settings->set(QLatin1String(pendingUpdateKey), version);
        // On disk now, not once the settings' writer gets to it: the new copy
        // reads the marker at its first start.
        m_c.settings->flush();
        reportUpdate(QStringLiteral("apply_started"),
                     QStringLiteral("Installing update ") + version + QStringLiteral(" from ") +
                         m_c.currentVersion,
                     version);
        const QStringList arguments{scriptPath(), QString::number(m_c.pid), m_c.installedPath,
                                    *bundle, folder};
        if (!QProcess::startDetached(m_c.bashProgram, arguments)) {
            m_c.settings->remove(QLatin1String(pendingUpdateKey));
            throw InstallError{QStringLiteral("The installer script could not be started.")};
        }
        debugLog(kTag + QStringLiteral("Relaunch script started, terminating..."));
        onMain([this] { m_c.terminate(); });
    } catch (const InstallError& e) {
        failWith(e);
    }
}
