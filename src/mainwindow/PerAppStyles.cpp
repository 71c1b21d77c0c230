#include "mainwindow/PerAppStyles.h"

#include <QCollator>
#include <QFileInfo>
#include <QJsonObject>
#include <QLocale>
#include <QSet>
#include <algorithm>
#include <functional>

#include "core/L10n.h"
#include "platform/DesktopEntries.h"
#include "platform/SettingsStore.h"

namespace PerAppStyles {

namespace {
const QString kKey = QStringLiteral("perAppStyles");

template <typename T>
void sortByName(QList<T>& list, const QString& language,
                const std::function<QString(const T&)>& name) {
    QCollator collator{QLocale(language)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(list.begin(), list.end(), [&](const T& a, const T& b) {
        return collator.compare(name(a), name(b)) < 0;
    });
}

// Each whitespace-separated word with an upper-case first letter and the
// rest lower-case.
QString capitalized(const QString& text) {
    QString out = text.toLower();
    bool atStart = true;
    for (QChar& c : out) {
        if (c.isSpace()) {
            atStart = true;
        } else if (atStart) {
            c = c.toUpper();
            atStart = false;
        }
    }
    return out;
}
}  // namespace

// The same kinds of application as the design's table of well-known ones,
// by their Linux identifiers: desktop entry ids of the distribution's,
// Flatpak's and Snap's packages, and the WM_CLASS class where an
// application often runs without an installed entry.
const QList<CuratedApp>& curatedApps() {
    static const QList<CuratedApp> list = {
        {{"org.telegram.desktop", "telegramdesktop", "telegram-desktop_telegram-desktop",
          "TelegramDesktop"},
         "Telegram",
         "readable"},
        // The desktops' own terminals.
        {{"org.gnome.Terminal", "org.gnome.Console", "org.kde.konsole", "xfce4-terminal",
          "mate-terminal", "lxterminal", "debian-xterm", "debian-uxterm", "XTerm", "UXTerm"},
         "Терминал",
         "none"},
        // Terminals installed on their own.
        {{"kitty", "Alacritty", "org.wezfurlong.wezterm", "com.gexperts.Tilix", "terminator",
          "foot"},
         "iTerm2",
         "none"},
        // Code editors.
        {{"code", "code-oss", "com.visualstudio.code", "code_code", "codium",
          "com.vscodium.codium", "Code", "VSCodium", "sublime_text", "dev.zed.Zed"},
         "VS Code",
         "none"},
        {{"discord", "com.discordapp.Discord", "discord_discord"}, "Discord", "readable"},
        {{"slack", "com.slack.Slack", "slack_slack", "Slack"}, "Slack", "readable"},
        {{"whatsapp-for-linux", "com.github.eneshecan.WhatsAppForLinux", "com.rtosta.zapzap",
          "WhatsApp"},
         "WhatsApp",
         "readable"},
        // Notes and mail: prose written to be read.
        {{"org.gnome.Notes", "org.kde.knotes", "thunderbird", "org.mozilla.Thunderbird",
          "net.thunderbird.Thunderbird", "org.gnome.Evolution", "org.gnome.Geary",
          "org.kde.kmail2"},
         "Заметки",
         "readable"},
        // Text editors and office suites: the text stays as spoken.
        {{"org.gnome.TextEditor", "org.gnome.gedit", "org.kde.kate", "org.kde.kwrite",
          "org.xfce.mousepad", "libreoffice-writer", "libreoffice-startcenter",
          "org.libreoffice.LibreOffice", "org.libreoffice.LibreOffice.writer", "abiword"},
         "TextEdit",
         "none"},
    };
    return list;
}

const QList<ToneOption>& toneOptions() {
    static const QList<ToneOption> list = {
        {"none", L10n::toneNone()},         {"neutral", L10n::toneNeutral()},
        {"readable", L10n::toneReadable()}, {"concise", L10n::toneConcise()},
        {"summary", L10n::toneSummary()},   {"theses", L10n::toneTheses()},
        {"formal", L10n::toneFormal()},
    };
    return list;
}

QString toneTitle(const QString& tag) {
    for (const ToneOption& o : toneOptions())
        if (o.tag == tag) return o.title;
    return tag;
}

bool isEditableTone(const QString& tag) {
    static const QSet<QString> tags = {"neutral", "readable", "concise",
                                       "summary", "theses",   "formal"};
    return tags.contains(tag);
}

QString defaultTone(const QString& id) {
    for (const CuratedApp& app : curatedApps())
        if (app.bundleIds.contains(id)) return app.tone;
    return QStringLiteral("neutral");
}

Rules load(const SettingsStore& store) {
    Rules rules;
    const std::optional<QJsonObject> stored = store.dictionary(kKey);
    if (!stored) return rules;
    for (auto it = stored->begin(); it != stored->end(); ++it)
        if (it.value().isString()) rules.insert(it.key(), it.value().toString());
    return rules;
}

void save(SettingsStore& store, const Rules& rules) {
    QJsonObject object;
    for (auto it = rules.begin(); it != rules.end(); ++it) object.insert(it.key(), it.value());
    store.set(kKey, object);
}

bool hasRule(const Rules& rules, const QStringList& ids) {
    return std::any_of(ids.begin(), ids.end(), [&](const QString& id) { return rules.contains(id); });
}

QString appDisplayName(const QString& id, const QList<RunningApp>& running,
                       const QString& language) {
    if (const std::optional<DesktopEntry> entry = DesktopEntries::find(id)) {
        const QString name = entry->name(language);
        if (!name.isEmpty()) return name;
    }
    for (const RunningApp& app : running) {
        if (app.identifier != id) continue;
        if (!app.className.isEmpty()) return app.className;
        break;
    }
    const QStringList pieces = id.split(u'.', Qt::SkipEmptyParts);
    if (pieces.isEmpty()) return id;
    return capitalized(pieces.last());
}

QIcon appIcon(const QString& id) {
    const std::optional<DesktopEntry> entry = DesktopEntries::find(id);
    if (!entry || entry->icon.isEmpty()) return {};
    if (QFileInfo(entry->icon).isAbsolute())
        return QFileInfo::exists(entry->icon) ? QIcon(entry->icon) : QIcon();
    return QIcon::fromTheme(entry->icon);
}

QStringList ruledBundleIds(const Rules& rules, const QList<RunningApp>& running,
                           const QString& language) {
    struct Named {
        QString id, name;
    };
    QList<Named> list;
    for (auto it = rules.begin(); it != rules.end(); ++it)
        list.append({it.key(), appDisplayName(it.key(), running, language)});
    sortByName<Named>(list, language, [](const Named& n) { return n.name; });
    QStringList ids;
    for (const Named& n : list) ids << n.id;
    return ids;
}

QList<Offer> runningExtraApps(const QList<RunningApp>& running, const QString& ownId,
                              const Rules& rules, const QString& language) {
    QList<Offer> offers;
    QSet<QString> taken;
    for (const RunningApp& app : running) {
        if (!app.regular || app.identifier.isEmpty()) continue;
        if (app.identifier == ownId || rules.contains(app.identifier)) continue;
        if (taken.contains(app.identifier)) continue;
        taken.insert(app.identifier);
        offers.append({app.identifier, appDisplayName(app.identifier, running, language)});
    }
    sortByName<Offer>(offers, language, [](const Offer& o) { return o.name; });
    return offers;
}

}  // namespace PerAppStyles
