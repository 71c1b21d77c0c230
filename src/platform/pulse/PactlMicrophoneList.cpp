#include "platform/pulse/PactlMicrophoneList.h"

#include <QCoreApplication>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include "platform/Threading.h"

namespace {
// Runs pactl with the C locale; false when it cannot run, fails or times out.
bool runPactl(const QStringList& args, QString* output) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("pactl"), args);
    if (!p.waitForStarted(3000)) return false;
    // A hung audio server must not freeze the caller.
    if (!p.waitForFinished(3000)) {
        p.kill();
        p.waitForFinished(1000);
        return false;
    }
    *output = QString::fromUtf8(p.readAllStandardOutput());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}
}  // namespace

MicrophoneList& MicrophoneList::shared() {
    // Owned by the application object, so that the watcher process ends
    // with it.
    static PactlMicrophoneList* list = new PactlMicrophoneList(QCoreApplication::instance());
    return *list;
}

PactlMicrophoneList::PactlMicrophoneList(QObject* parent) : MicrophoneList(parent) {}

PactlMicrophoneList::~PactlMicrophoneList() {
    if (m_subscribe) {
        m_subscribe->kill();
        m_subscribe->waitForFinished(1000);
    }
}

QList<MicrophoneDevice> PactlMicrophoneList::parseSources(const QString& listing) {
    QList<MicrophoneDevice> out;
    MicrophoneDevice current;
    bool monitor = false;
    const auto flush = [&] {
        if (!current.uniqueID.isEmpty() && !monitor &&
            !current.uniqueID.endsWith(QStringLiteral(".monitor"))) {
            if (current.localizedName.isEmpty()) current.localizedName = current.uniqueID;
            out << current;
        }
        current = {};
        monitor = false;
    };
    for (const QString& raw : listing.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QStringLiteral("Source #"))) {
            flush();
        } else if (line.startsWith(QStringLiteral("Name:"))) {
            current.uniqueID = line.mid(5).trimmed();
        } else if (line.startsWith(QStringLiteral("Description:"))) {
            current.localizedName = line.mid(12).trimmed();
        } else if (line.startsWith(QStringLiteral("Monitor of Sink:"))) {
            const QString sink = line.mid(16).trimmed();
            monitor = !sink.isEmpty() && sink != QStringLiteral("n/a");
        }
    }
    flush();
    return out;
}

std::optional<QList<MicrophoneDevice>> PactlMicrophoneList::devices() {
    // The watcher process belongs to this object's (the main) thread.
    if (isMainThread())
        watch();
    else
        runOnMain(this, [this] { watch(); });
    QString listing;
    if (!runPactl({QStringLiteral("list"), QStringLiteral("sources")}, &listing))
        return std::nullopt;
    return parseSources(listing);
}

void PactlMicrophoneList::watch() {
    // Started with the first listing, so that a process that never shows the
    // list never runs pactl.
    if (m_subscribe || QStandardPaths::findExecutable(QStringLiteral("pactl")).isEmpty()) return;
    m_subscribe = new QProcess(this);
    // The event lines are translated in other locales; we match the English.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    m_subscribe->setProcessEnvironment(env);
    connect(m_subscribe, &QProcess::readyReadStandardOutput, this, [this] {
        bool changed = false;
        while (m_subscribe->canReadLine()) {
            const QByteArray line = m_subscribe->readLine();
            // "Event 'new' on source #5", "Event 'remove' on source #5".
            if (line.contains(" on source ") &&
                (line.contains("'new'") || line.contains("'remove'")))
                changed = true;
        }
        if (changed) emit devicesChanged();
    });
    m_subscribe->start(QStringLiteral("pactl"), {QStringLiteral("subscribe")});
}
