#include "platform/DesktopEntries.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <mutex>
#include <sys/stat.h>

namespace {

QStringList dataDirs() {
    QStringList dirs;
    QString home = qEnvironmentVariable("XDG_DATA_HOME");
    if (home.isEmpty()) home = QDir::homePath() + QStringLiteral("/.local/share");
    dirs << home;
    QString system = qEnvironmentVariable("XDG_DATA_DIRS");
    if (system.isEmpty()) system = QStringLiteral("/usr/local/share:/usr/share");
    for (const QString& d : system.split(u':', Qt::SkipEmptyParts)) dirs << d;
    QStringList out;
    for (const QString& d : dirs) {
        const QString apps = QDir::cleanPath(d + QStringLiteral("/applications"));
        if (!out.contains(apps)) out << apps;
    }
    return out;
}

// What the scan depends on: the folders and the times they last changed
// (an entry added, removed or renamed changes its folder's time).
QByteArray fingerprint(const QStringList& roots) {
    QByteArray out;
    auto add = [&out](const QString& dir) {
        struct stat st {};
        out += QFile::encodeName(dir);
        if (::stat(QFile::encodeName(dir).constData(), &st) == 0)
            out += ':' + QByteArray::number(qint64(st.st_mtim.tv_sec)) + '.' +
                   QByteArray::number(qint64(st.st_mtim.tv_nsec));
        out += '\n';
    };
    for (const QString& root : roots) {
        add(root);
        QDirIterator it(root, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) add(it.next());
    }
    return out;
}

QString unescape(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != u'\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar n = value.at(++i);
        if (n == u's') out += u' ';
        else if (n == u'n') out += u'\n';
        else if (n == u't') out += u'\t';
        else if (n == u'r') out += u'\r';
        else out += n;
    }
    return out;
}

// The program of an Exec line: its first word (quoted or not), past an
// "env VAR=value" prefix, as a file name.
QString execProgram(const QString& exec) {
    QStringList words;
    QString word;
    bool quoted = false, any = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (c == u'"') {
            quoted = !quoted;
            any = true;
        } else if (quoted && c == u'\\' && i + 1 < exec.size()) {
            word += exec.at(++i);
        } else if (!quoted && c.isSpace()) {
            if (any || !word.isEmpty()) words << word;
            word.clear();
            any = false;
        } else {
            word += c;
        }
    }
    if (any || !word.isEmpty()) words << word;
    qsizetype i = 0;
    if (i < words.size() && QFileInfo(words[i]).fileName() == u"env") {
        ++i;
        while (i < words.size() && words[i].contains(u'=')) ++i;
    }
    return i < words.size() ? QFileInfo(words[i]).fileName() : QString();
}

struct Index {
    QByteArray fingerprint;
    QList<DesktopEntry> entries;
    QHash<QString, qsizetype> byId;
};

std::mutex g_mutex;
Index g_index;

QList<DesktopEntry> scan(const QStringList& roots) {
    QList<DesktopEntry> entries;
    QSet<QString> seen;
    for (const QString& root : roots) {
        QStringList files;
        QDirIterator it(root, {QStringLiteral("*.desktop")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) files << it.next();
        files.sort();
        for (const QString& file : files) {
            QString id = QDir(root).relativeFilePath(file);
            id.chop(int(qstrlen(".desktop")));
            id.replace(u'/', u'-');
            // The first folder that has an id decides, also when its entry
            // is hidden: that is how a user takes a system entry away.
            if (seen.contains(id)) continue;
            seen.insert(id);
            if (auto entry = DesktopEntries::parse(file, id)) entries << *entry;
        }
    }
    return entries;
}

// The current index; the caller holds g_mutex.
const Index& current() {
    const QStringList roots = dataDirs();
    QByteArray print = fingerprint(roots);
    if (g_index.fingerprint != print || g_index.fingerprint.isEmpty()) {
        g_index.entries = scan(roots);
        g_index.byId.clear();
        for (qsizetype i = 0; i < g_index.entries.size(); ++i)
            g_index.byId.insert(g_index.entries[i].id, i);
        g_index.fingerprint = std::move(print);
    }
    return g_index;
}

}  // namespace

QString DesktopEntry::name(const QString& language) const {
    if (!language.isEmpty()) {
        if (auto it = names.find(language); it != names.end() && !it->isEmpty()) return *it;
        const QString base = language.section(u'_', 0, 0);
        if (auto it = names.find(base); it != names.end() && !it->isEmpty()) return *it;
    }
    return names.value(QString());
}

std::optional<DesktopEntry> DesktopEntries::parse(const QString& path, const QString& id) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    // Entries are small; anything huge is not one.
    const QByteArray bytes = file.read(1 << 20);
    DesktopEntry entry;
    entry.id = id;
    entry.path = path;
    bool inMain = false, sawMain = false, hidden = false;
    QString type;
    for (const QString& raw : QString::fromUtf8(bytes).split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        if (line.startsWith(u'[')) {
            if (sawMain && inMain) break;  // the main group ended
            inMain = line == u"[Desktop Entry]";
            sawMain = sawMain || inMain;
            continue;
        }
        if (!inMain) continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0) continue;
        const QString key = line.left(eq).trimmed();
        const QString value = unescape(line.mid(eq + 1).trimmed());
        if (key == u"Type") type = value;
        else if (key == u"Name") entry.names.insert(QString(), value);
        else if (key.startsWith(u"Name[") && key.endsWith(u']'))
            entry.names.insert(key.mid(5, key.size() - 6).section(u'.', 0, 0).section(u'@', 0, 0),
                               value);
        else if (key == u"Icon") entry.icon = value;
        else if (key == u"StartupWMClass") entry.startupWMClass = value;
        else if (key == u"Exec") entry.execProgram = execProgram(value);
        else if (key == u"NoDisplay") entry.noDisplay = value == u"true";
        else if (key == u"Hidden") hidden = value == u"true";
    }
    if (!sawMain || type != u"Application" || hidden) return std::nullopt;
    return entry;
}

QString DesktopEntries::idForPath(const QString& path) {
    const QString clean = QDir::cleanPath(path);
    QString id;
    for (const QString& root : dataDirs()) {
        if (clean.startsWith(root + u'/')) {
            id = clean.mid(root.size() + 1);
            id.replace(u'/', u'-');
            break;
        }
    }
    if (id.isEmpty()) id = QFileInfo(clean).fileName();
    if (id.endsWith(QStringLiteral(".desktop"))) id.chop(int(qstrlen(".desktop")));
    return id;
}

QList<DesktopEntry> DesktopEntries::all() {
    std::lock_guard lock(g_mutex);
    return current().entries;
}

std::optional<DesktopEntry> DesktopEntries::find(const QString& id) {
    std::lock_guard lock(g_mutex);
    const Index& index = current();
    const auto it = index.byId.find(id);
    if (it == index.byId.end()) return std::nullopt;
    return index.entries[*it];
}

std::optional<DesktopEntry> DesktopEntries::matchWindowClass(const QString& instanceName,
                                                             const QString& className) {
    std::lock_guard lock(g_mutex);
    const Index& index = current();
    const QStringList names = [&] {
        QStringList out;
        for (const QString& n : {className, instanceName})
            if (!n.isEmpty() && !out.contains(n)) out << n;
        return out;
    }();
    if (names.isEmpty()) return std::nullopt;

    using Key = QString (*)(const DesktopEntry&);
    const Key steps[] = {
        [](const DesktopEntry& e) { return e.startupWMClass; },
        [](const DesktopEntry& e) { return e.id; },
        [](const DesktopEntry& e) { return e.id.section(u'.', -1); },
        [](const DesktopEntry& e) { return e.execProgram; },
    };
    for (const Key key : steps) {
        for (const Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
            const DesktopEntry* hiddenMatch = nullptr;
            for (const DesktopEntry& e : index.entries) {
                const QString value = key(e);
                if (value.isEmpty()) continue;
                const bool matches = std::any_of(names.begin(), names.end(), [&](const QString& n) {
                    return value.compare(n, cs) == 0;
                });
                if (!matches) continue;
                if (!e.noDisplay) return e;
                if (!hiddenMatch) hiddenMatch = &e;
            }
            if (hiddenMatch) return *hiddenMatch;
        }
    }
    return std::nullopt;
}
