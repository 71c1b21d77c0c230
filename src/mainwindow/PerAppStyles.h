#pragma once

#include <QIcon>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include "platform/RunningApps.h"

class SettingsStore;

// Tones chosen per application: the rules stored under "perAppStyles"
// (application identifier -> tone tag, see AppIdentity), the tones a rule
// can pick, the first tone of a newly added application and the names the
// page shows for identifiers.
namespace PerAppStyles {

using Rules = QMap<QString, QString>;

// A well-known application and the tone it starts with.
struct CuratedApp {
    QStringList bundleIds;
    QString name;  // labels the entry; the page shows appDisplayName()
    QString tone;
};
const QList<CuratedApp>& curatedApps();

struct ToneOption {
    QString tag;
    QString title;
};
// The seven tones a rule can pick, in order. Their titles are looked up
// once, the first time the list is used, and keep that interface language
// until the application restarts.
const QList<ToneOption>& toneOptions();
// The title toneOptions() gives `tag`, or the tag itself.
QString toneTitle(const QString& tag);
// Every tone but "none": the ones whose prompt can be edited.
bool isEditableTone(const QString& tag);

// The tone of the first curated application that lists `id`; "neutral"
// when none does.
QString defaultTone(const QString& id);

// The rules as stored (entries whose tone is not a string are left out).
Rules load(const SettingsStore& store);
// Replaces "perAppStyles" with `rules`, whole.
void save(SettingsStore& store, const Rules& rules);
bool hasRule(const Rules& rules, const QStringList& ids);

// The name shown for an identifier: its desktop entry's Name in
// `language`, else the name a running application with it gives itself,
// else the last dot-separated piece of the identifier, capitalized.
QString appDisplayName(const QString& id, const QList<RunningApp>& running,
                       const QString& language);
// The icon of its desktop entry (a path or a theme name); null when none
// can be found.
QIcon appIcon(const QString& id);

// The ruled identifiers sorted by display name (localized, case
// insensitive, stable).
QStringList ruledBundleIds(const Rules& rules, const QList<RunningApp>& running,
                           const QString& language);

// What "Add from running apps" offers: the regular running applications
// without this one (`ownId`), those already ruled and repeats, sorted by
// name (localized, case insensitive, stable).
struct Offer {
    QString id;
    QString name;
    bool operator==(const Offer&) const = default;
};
QList<Offer> runningExtraApps(const QList<RunningApp>& running, const QString& ownId,
                              const Rules& rules, const QString& language);

}  // namespace PerAppStyles
