#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <cmath>

#include "platform/PrivateFiles.h"

namespace {
std::atomic<SettingsStore*> g_override{nullptr};

constexpr double kTwoTo63 = 9223372036854775808.0;
const QRegularExpression kWholeNumber(QStringLiteral("^[+-]?[0-9]+$"));

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

SettingsStore::~SettingsStore() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changes.notify_all();
    if (m_writer.joinable()) m_writer.join();
    writePending();
}

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

bool SettingsStore::writeFile(const QJsonObject& values) const {
    PrivateFiles::ensureDir(QFileInfo(m_path).absolutePath());
    QSaveFile f(m_path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    f.write(QJsonDocument(values).toJson(QJsonDocument::Indented));
    return f.commit();
}

void SettingsStore::writePending() {
    if (m_path.isEmpty()) return;
    std::lock_guard file(m_fileMutex);
    QJsonObject values;
    quint64 count = 0;
    {
        std::lock_guard lock(m_mutex);
        if (m_writtenCount == m_changeCount) return;
        values = m_values;
        count = m_changeCount;
    }
    // The disk is written without the values' lock: readers and writers of
    // values never wait for it.
    writeFile(values);
    {
        std::lock_guard lock(m_mutex);
        m_writtenCount = std::max(m_writtenCount, count);
        ++m_writes;
    }
}

void SettingsStore::writerLoop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changes.wait(lock, [&] { return m_stopping || m_changeCount != m_writtenCount; });
        if (m_stopping) return;  // the destructor writes what is left
        // A change made meanwhile moves the time of the write on.
        const auto due = m_lastChange + m_writeDelay;
        if (std::chrono::steady_clock::now() < due) {
            m_changes.wait_until(lock, due);
            continue;
        }
        lock.unlock();
        writePending();
        lock.lock();
    }
}

void SettingsStore::flush() {
    writePending();
}

void SettingsStore::setWriteDelay(std::chrono::milliseconds delay) {
    {
        std::lock_guard lock(m_mutex);
        m_writeDelay = delay;
    }
    m_changes.notify_all();
}

int SettingsStore::writeCount() const {
    std::lock_guard lock(m_mutex);
    return m_writes;
}

void SettingsStore::reload() {
    writePending();
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
        if (!changedKeys.isEmpty() && !m_path.isEmpty()) {
            ++m_changeCount;
            m_lastChange = std::chrono::steady_clock::now();
            if (!m_writer.joinable()) m_writer = std::thread([this] { writerLoop(); });
        }
    }
    m_changes.notify_all();
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

std::optional<qint64> SettingsStore::integerValue(const QString& key) const {
    const QJsonValue v = value(key);
    if (v.isBool()) return v.toBool() ? 1 : 0;
    // Whole numbers within the range are held exactly (as integers by the
    // JSON reader, or as digits in a string); only the rest go through double.
    if (v.isDouble()) {
        const QVariant exact = v.toVariant();
        if (exact.typeId() == QMetaType::LongLong) return exact.toLongLong();
    } else if (v.isString()) {
        const QString text = v.toString().trimmed();
        bool ok = false;
        const qint64 whole = text.toLongLong(&ok);
        if (ok) return whole;
        if (kWholeNumber.match(text).hasMatch()) return std::nullopt;  // beyond 64 bits
    }
    const std::optional<double> d = finiteDouble(key);
    // Converting a double outside (-2^63, 2^63) to an integer is undefined.
    if (!d || !(*d > -kTwoTo63 && *d < kTwoTo63)) return std::nullopt;
    return static_cast<qint64>(*d);
}

qint64 SettingsStore::integer(const QString& key) const {
    return integerValue(key).value_or(0);
}

std::optional<double> SettingsStore::finiteDouble(const QString& key) const {
    const QJsonValue v = value(key);
    double d = 0;
    if (v.isDouble()) {
        d = v.toDouble();
    } else if (v.isBool()) {
        d = v.toBool() ? 1.0 : 0.0;
    } else if (v.isString()) {
        bool ok = false;
        d = v.toString().trimmed().toDouble(&ok);
        if (!ok) return std::nullopt;
    } else {
        return std::nullopt;
    }
    if (!std::isfinite(d)) return std::nullopt;
    return d;
}

double SettingsStore::doubleValue(const QString& key) const {
    return finiteDouble(key).value_or(0);
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
    if (!v.isObject() || fromDataValue(v)) return std::nullopt;
    return v.toObject();
}

QJsonValue SettingsStore::dataValue(const QByteArray& data) {
    return QJsonObject{{QStringLiteral("$bytes"), QString::fromLatin1(data.toBase64())}};
}

std::optional<QByteArray> SettingsStore::fromDataValue(const QJsonValue& value) {
    if (!value.isObject()) return std::nullopt;
    const QJsonObject o = value.toObject();
    if (o.size() != 1 || !o.value(QStringLiteral("$bytes")).isString()) return std::nullopt;
    auto decoded =
        QByteArray::fromBase64Encoding(o.value(QStringLiteral("$bytes")).toString().toLatin1(),
                                       QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) return std::nullopt;
    return *decoded;
}

void SettingsStore::setData(const QString& key, const QByteArray& data) {
    set(key, dataValue(data));
}

std::optional<QByteArray> SettingsStore::data(const QString& key) const {
    return fromDataValue(value(key));
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
    return dictionary(key).has_value();
}
bool SettingsStore::isData(const QString& key) const {
    return data(key).has_value();
}

QJsonValue SettingsStore::valueOrDefault(const QString& key) const {
    const QJsonValue v = value(key);
    return v.isUndefined() ? SettingsDefaults::value(key) : v;
}

bool SettingsStore::boolOrDefault(const QString& key) const {
    return contains(key) ? boolean(key) : SettingsDefaults::value(key).toBool(false);
}

qint64 SettingsStore::integerOrDefault(const QString& key) const {
    if (const auto v = integerValue(key)) return *v;
    return SettingsDefaults::value(key).toInteger(0);
}

double SettingsStore::doubleOrDefault(const QString& key) const {
    if (const auto v = finiteDouble(key)) return *v;
    return SettingsDefaults::value(key).toDouble(0);
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
