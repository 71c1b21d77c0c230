#include "platform/MicrophoneAccess.h"

#include <atomic>

#include "platform/pulse/PactlVolume.h"
#include "platform/pulse/PactlMicrophoneAccess.h"

namespace {
std::atomic<MicrophoneAccess*> g_access{nullptr};
}

MicrophoneAccess& MicrophoneAccess::shared() {
    static PactlMicrophoneAccess pactl;
    MicrophoneAccess* a = g_access.load();
    return a ? *a : pactl;
}

void MicrophoneAccess::setShared(MicrophoneAccess* access) {
    g_access.store(access);
}

QStringList PactlMicrophoneAccess::captureSources(const QString& listing) {
    // "<index>\t<name>\t<driver>\t<sample spec>\t<state>" per source.
    QStringList names;
    for (const QString& line : listing.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList cols = line.split(QLatin1Char('\t'));
        if (cols.size() < 2) continue;
        const QString name = cols.at(1).trimmed();
        if (name.isEmpty() || name.endsWith(QStringLiteral(".monitor"))) continue;
        names << name;
    }
    return names;
}

MicrophoneAccess::Status PactlMicrophoneAccess::authorizationStatus() {
    QString listing;
    if (!runPactl({"list", "short", "sources"}, &listing)) return denied;
    return captureSources(listing).isEmpty() ? denied : authorized;
}
