#include "platform/InputSources.h"
#include "platform/x11/X11InputSources.h"

#include <QFile>
#include <QLocale>
#include <QMap>
#include <QXmlStreamReader>
#include <atomic>
#include <mutex>

// X11 headers last: their macros clash with Qt.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {
std::atomic<InputSources*> g_shared{nullptr};

// ISO 639-2/3 (as xkeyboard-config lists them) to the two-letter code where
// one exists.
QString twoLetterCode(const QString& code) {
    const QLocale::Language lang = QLocale::codeToLanguage(code, QLocale::AnyLanguageCode);
    if (lang == QLocale::AnyLanguage) return code;
    const QString two = QLocale::languageToCode(lang, QLocale::ISO639Part1);
    return two.isEmpty() ? code : two;
}

// One <configItem>: its name and languages.
struct ConfigItem {
    QString name;
    std::optional<QStringList> languages;
};

ConfigItem readConfigItem(QXmlStreamReader& xml) {
    ConfigItem item;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("name")) {
            item.name = xml.readElementText().trimmed();
        } else if (xml.name() == QLatin1String("languageList")) {
            QStringList langs;
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("iso639Id"))
                    langs << twoLetterCode(xml.readElementText().trimmed());
                else
                    xml.skipCurrentElement();
            }
            item.languages = langs;
        } else {
            xml.skipCurrentElement();
        }
    }
    return item;
}
}  // namespace

const QString& InputSources::keyboardCategory() {
    static const QString c = QStringLiteral("keyboard");
    return c;
}

InputSources& InputSources::shared() {
    static X11InputSources real;
    InputSources* p = g_shared.load();
    return p ? *p : real;
}

void InputSources::setShared(InputSources* sources) {
    g_shared.store(sources);
}

InputSources::LanguageTable InputSources::readLanguageTable(const QString& xmlPath) {
    LanguageTable table;
    QFile file(xmlPath);
    if (!file.open(QIODevice::ReadOnly)) return table;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != QLatin1String("layout")) continue;
        ConfigItem layout;
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("configItem")) {
                layout = readConfigItem(xml);
                if (!layout.name.isEmpty())
                    table.insert(layout.name, layout.languages.value_or(QStringList{}));
            } else if (xml.name() == QLatin1String("variantList")) {
                while (xml.readNextStartElement()) {
                    if (xml.name() != QLatin1String("variant")) {
                        xml.skipCurrentElement();
                        continue;
                    }
                    while (xml.readNextStartElement()) {
                        if (xml.name() != QLatin1String("configItem")) {
                            xml.skipCurrentElement();
                            continue;
                        }
                        const ConfigItem variant = readConfigItem(xml);
                        // A variant without its own list speaks its layout's languages.
                        if (!variant.name.isEmpty())
                            table.insert(layout.name + '(' + variant.name + ')',
                                         variant.languages.value_or(
                                             layout.languages.value_or(QStringList{})));
                    }
                }
            } else {
                xml.skipCurrentElement();
            }
        }
    }
    return table;
}

struct X11InputSources::Private {
    mutable std::mutex mutex;
    QString rulesDirectory;
    Display* dpy = nullptr;
    mutable QMap<QString, LanguageTable> tables;  // rules name -> table
};

X11InputSources::X11InputSources(QString rulesDirectory) : d(new Private) {
    d->rulesDirectory = std::move(rulesDirectory);
    d->dpy = XOpenDisplay(nullptr);
}

X11InputSources::~X11InputSources() {
    if (d->dpy) XCloseDisplay(d->dpy);
    delete d;
}

std::optional<QList<InputSource>> X11InputSources::enabledSources() const {
    std::lock_guard lock(d->mutex);
    if (!d->dpy) return std::nullopt;
    const Atom prop = XInternAtom(d->dpy, "_XKB_RULES_NAMES", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d->dpy, DefaultRootWindow(d->dpy), prop, 0, 1024, False, XA_STRING,
                           &type, &format, &count, &after, &data) != Success ||
        !data)
        return std::nullopt;
    // rules \0 model \0 layouts \0 variants \0 options
    const QList<QByteArray> names =
        QByteArray(reinterpret_cast<char*>(data), int(count)).split('\0');
    XFree(data);
    if (names.size() < 3) return std::nullopt;
    const QString rules =
        QString::fromLatin1(names[0]).isEmpty() ? "evdev" : QString::fromLatin1(names[0]);
    const QStringList layouts = QString::fromLatin1(names[2]).split(',');
    const QStringList variants =
        names.size() > 3 ? QString::fromLatin1(names[3]).split(',') : QStringList{};

    if (!d->tables.contains(rules)) {
        LanguageTable table = readLanguageTable(d->rulesDirectory + '/' + rules + ".xml");
        if (table.isEmpty()) table = readLanguageTable(d->rulesDirectory + "/evdev.xml");
        d->tables.insert(rules, table);
    }
    const LanguageTable& table = d->tables[rules];

    QList<InputSource> sources;
    for (int i = 0; i < layouts.size() && i < XkbNumKbdGroups; ++i) {
        const QString layout = layouts[i].trimmed();
        if (layout.isEmpty()) continue;
        const QString variant = i < variants.size() ? variants[i].trimmed() : QString();
        InputSource s;
        s.identifier = variant.isEmpty() ? layout : layout + '(' + variant + ')';
        s.category = keyboardCategory();
        s.group = i;
        if (table.contains(s.identifier))
            s.languages = table.value(s.identifier);
        else if (table.contains(layout))
            s.languages = table.value(layout);
        sources.append(s);
    }
    return sources;
}

bool X11InputSources::select(const InputSource& source) {
    std::lock_guard lock(d->mutex);
    if (!d->dpy) return false;
    if (!XkbLockGroup(d->dpy, XkbUseCoreKbd, unsigned(source.group))) return false;
    XSync(d->dpy, False);
    return true;
}

std::optional<int> X11InputSources::currentGroup() const {
    std::lock_guard lock(d->mutex);
    if (!d->dpy) return std::nullopt;
    XkbStateRec state{};
    if (XkbGetState(d->dpy, XkbUseCoreKbd, &state) != Success) return std::nullopt;
    return int(state.locked_group);
}
