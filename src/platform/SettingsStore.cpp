#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QSaveFile>
#include <QStandardPaths>
#include <atomic>

namespace {
std::atomic<SettingsStore*> g_override{nullptr};

bool textIsTrue(const QString& s) {
    const QString t = s.trimmed().toLower();
    return t == "true" || t == "yes" || t == "1" || t == "y";
}
}  // namespace

SettingsStore::SettingsStore(QString filePath, QObject* parent)
    : QObject(parent), m_path(std::move(filePath)) {
    std::lock_guard lock(m_mutex);
    loadLocked();
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::defaultFilePath() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty()) base = QDir::homePath() + "/.config";
    return base + "/Ormil/settings.json";
}

SettingsStore& SettingsStore::shared() {
    if (SettingsStore* o = g_override.load()) return *o;
    static SettingsStore* instance = new SettingsStore(defaultFilePath());
    return *instance;
}

void SettingsStore::setSharedForTesting(SettingsStore* store) {
    g_override.store(store);
}

void SettingsStore::loadLocked() {
    m_values = {};
    if (m_path.isEmpty()) return;
    QFile f(m_path);
    if (!f.open(QIODevice::ReadOnly)) return;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll());
    if (doc.isObject()) m_values = doc.object();
}

bool SettingsStore::writeLocked() {
    if (m_path.isEmpty()) return true;
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile f(m_path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    f.write(QJsonDocument(m_values).toJson(QJsonDocument::Indented));
    return f.commit();
}

void SettingsStore::reload() {
    std::lock_guard lock(m_mutex);
    loadLocked();
}

bool SettingsStore::contains(const QString& key) const {
    std::lock_guard lock(m_mutex);
    return m_values.contains(key);
}

QJsonValue SettingsStore::value(const QString& key) const {
    std::lock_guard lock(m_mutex);
    return m_values.contains(key) ? m_values.value(key) : QJsonValue(QJsonValue::Undefined);
}

QJsonObject SettingsStore::snapshot() const {
    std::lock_guard lock(m_mutex);
    return m_values;
}

void SettingsStore::set(const QString& key, const QJsonValue& value) {
    if (value.isUndefined()) {
        remove(key);
        return;
    }
    setMany(QJsonObject{{key, value}});
}

void SettingsStore::remove(const QString& key) {
    setMany({}, {key});
}

void SettingsStore::setMany(const QJsonObject& values, const QStringList& removals) {
    QStringList changedKeys;
    {
        std::lock_guard lock(m_mutex);
        for (auto it = values.begin(); it != values.end(); ++it) {
            if (it.value().isUndefined()) continue;
            if (m_values.contains(it.key()) && m_values.value(it.key()) == it.value()) continue;
            m_values.insert(it.key(), it.value());
            changedKeys << it.key();
        }
        for (const QString& key : removals) {
            if (m_values.contains(key)) {
                m_values.remove(key);
                changedKeys << key;
            }
        }
        if (!changedKeys.isEmpty()) writeLocked();
    }
    for (const QString& key : changedKeys) emit changed(key);
}

std::optional<QJsonValue> SettingsStore::object(const QString& key) const {
    std::lock_guard lock(m_mutex);
    if (!m_values.contains(key)) return std::nullopt;
    return m_values.value(key);
}

std::optional<QString> SettingsStore::string(const QString& key) const {
    const QJsonValue v = value(key);
    if (v.isString()) return v.toString();
    if (v.isDouble()) return QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
    return std::nullopt;
}

bool SettingsStore::boolean(const QString& key) const {
    const QJsonValue v = value(key);
    if (v.isBool()) return v.toBool();
    if (v.isDouble()) return v.toDouble() != 0.0;
    if (v.isString()) return textIsTrue(v.toString());
    return false;
}

qint64 SettingsStore::integer(const QString& key) const {
    const QJsonValue v = value(key);
    if (v.isDouble()) return static_cast<qint64>(v.toDouble());
    if (v.isBool()) return v.toBool() ? 1 : 0;
    if (v.isString()) return static_cast<qint64>(v.toString().trimmed().toDouble());
    return 0;
}

double SettingsStore::doubleValue(const QString& key) const {
    const QJsonValue v = value(key);
    if (v.isDouble()) return v.toDouble();
    if (v.isBool()) return v.toBool() ? 1.0 : 0.0;
    if (v.isString()) return v.toString().trimmed().toDouble();
    return 0.0;
}

std::optional<QStringList> SettingsStore::stringArray(const QString& key) const {
    const QJsonValue v = value(key);
    if (!v.isArray()) return std::nullopt;
    QStringList out;
    for (const QJsonValue& item : v.toArray()) {
        if (!item.isString()) return std::nullopt;
        out << item.toString();
    }
    return out;
}

std::optional<QJsonObject> SettingsStore::dictionary(const QString& key) const {
    const QJsonValue v = value(key);
    if (!v.isObject()) return std::nullopt;
    return v.toObject();
}

bool SettingsStore::isBool(const QString& key) const {
    return value(key).isBool();
}
bool SettingsStore::isString(const QString& key) const {
    return value(key).isString();
}
bool SettingsStore::isNumber(const QString& key) const {
    return value(key).isDouble();
}
bool SettingsStore::isArray(const QString& key) const {
    return value(key).isArray();
}
bool SettingsStore::isDictionary(const QString& key) const {
    return value(key).isObject();
}

QJsonValue SettingsStore::valueOrDefault(const QString& key) const {
    const QJsonValue v = value(key);
    return v.isUndefined() ? SettingsDefaults::value(key) : v;
}

bool SettingsStore::boolOrDefault(const QString& key) const {
    return contains(key) ? boolean(key) : SettingsDefaults::value(key).toBool(false);
}

qint64 SettingsStore::integerOrDefault(const QString& key) const {
    return contains(key) ? integer(key)
                         : static_cast<qint64>(SettingsDefaults::value(key).toDouble(0));
}

double SettingsStore::doubleOrDefault(const QString& key) const {
    return contains(key) ? doubleValue(key) : SettingsDefaults::value(key).toDouble(0);
}

QString SettingsStore::stringOrDefault(const QString& key) const {
    if (auto s = string(key)) return *s;
    return SettingsDefaults::value(key).toString();
}

namespace SettingsDefaults {
const QJsonObject& all() {
    // What an absent key stands for: the value the settings page shows for
    // it, which every reader of the key uses.
    static const QJsonObject table{
        {"interfaceLanguage", "en"},
        {"recognitionLanguage", "ru"},
        {"audioDucking", 1},
        {"duckingLevel", 50},
        {"toneStyle", "none"},
        {"replaceProfanity", false},
        {"perAppStylesEnabled", false},
        {"soundEnabled", true},
        {"soundVolume", 50.0},
        {"overlayEnabled", true},
        {"overlayHideWhenIdle", true},
        {"autoSwitchLayout", true},
        {"audioNormalization", true},
        {"audioQuality", "balanced"},
        {"translateTargetLanguage", "en"},
        {"selectedMicrophone", ""},
        {"recordingMode", "pushToTalk"},
        {"openWindowOnLaunch", true},
        {"launchAtLogin", false},
        {"sendErrorReports", true},
        {"overlayDockEdge", "bottom"},
    };
    return table;
}

QJsonValue value(const QString& key) {
    const QJsonObject& t = all();
    return t.contains(key) ? t.value(key) : QJsonValue(QJsonValue::Undefined);
}
}  // namespace SettingsDefaults
