#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

// The application's settings store: plain camel-case keys holding JSON values.
// Values keep their type, because several rules tell "absent" from "a Boolean
// false" from "another type". Safe to use from any thread.
//
// A store made with a file path loads it and rewrites it atomically (mode
// 0600: it can hold plain token copies and dictated text) on a writer thread
// of its own once the changes settle: readers see a change at once, a burst
// of changes (a slider being dragged) is one write, and the caller never
// waits for the disk. A process killed before the write keeps the previous
// whole file; flush() (called at quit, and by the destructor) writes what is
// pending. A store made without a path lives only in memory (the fake used
// by tests).
class SettingsStore : public QObject {
    Q_OBJECT
public:
    explicit SettingsStore(QString filePath = {}, QObject* parent = nullptr);
    ~SettingsStore() override;

    // The process-wide store: "$XDG_CONFIG_HOME/Ormil/settings.json".
    static SettingsStore& shared();
    // Tests may replace the process-wide store (nullptr restores the default).
    static void setSharedForTesting(SettingsStore* store);
    static QString defaultFilePath();

    QString filePath() const { return m_path; }

    // Raw access. value() of an absent key is QJsonValue::Undefined.
    bool contains(const QString& key) const;
    QJsonValue value(const QString& key) const;
    QJsonObject snapshot() const;
    void set(const QString& key, const QJsonValue& value);
    void remove(const QString& key);
    // Several changes with one write and one signal per key.
    void setMany(const QJsonObject& values, const QStringList& removals = {});

    // Typed getters with the usual defaults semantics:
    // object: absent -> none; string: none unless a string (numbers are given as text);
    // boolean: absent -> false, numbers -> non-zero, strings "true"/"yes"/"1";
    // integer/doubleValue: absent -> 0, bools -> 0/1, numeric strings parsed,
    // fractions truncated toward zero. A value that is no number of the range
    // (1e300, "nan", an array) reads as absent.
    std::optional<QJsonValue> object(const QString& key) const;
    std::optional<QString> string(const QString& key) const;
    bool boolean(const QString& key) const;
    std::optional<qint64> integerValue(const QString& key) const;
    qint64 integer(const QString& key) const;
    std::optional<double> finiteDouble(const QString& key) const;
    double doubleValue(const QString& key) const;
    std::optional<QStringList> stringArray(const QString& key) const;
    // Dictionaries only: a byte value is not one.
    std::optional<QJsonObject> dictionary(const QString& key) const;

    // Bytes keep their type: the file holds them as an object whose one key
    // is "$bytes" (Base64), which no dictionary read takes for a dictionary.
    void setData(const QString& key, const QByteArray& data);
    // None unless the key holds bytes.
    std::optional<QByteArray> data(const QString& key) const;
    static QJsonValue dataValue(const QByteArray& data);
    static std::optional<QByteArray> fromDataValue(const QJsonValue& value);

    bool isBool(const QString& key) const;
    bool isString(const QString& key) const;
    bool isNumber(const QString& key) const;
    bool isArray(const QString& key) const;
    bool isDictionary(const QString& key) const;
    bool isData(const QString& key) const;

    // The value stored under key, or the shared default of that key (see
    // SettingsDefaults) when it is absent.
    QJsonValue valueOrDefault(const QString& key) const;
    bool boolOrDefault(const QString& key) const;
    qint64 integerOrDefault(const QString& key) const;
    double doubleOrDefault(const QString& key) const;
    QString stringOrDefault(const QString& key) const;

    // Reads the file again (used after another writer replaced it); a
    // change not written yet is written first.
    void reload();

    // Writes a pending change now and returns once it is on disk.
    void flush();
    // How long the changes must rest before they are written.
    static constexpr std::chrono::milliseconds defaultWriteDelay{400};
    void setWriteDelay(std::chrono::milliseconds delay);
    // Writes of the file so far (each a whole file, renamed into place).
    int writeCount() const;

signals:
    // Emitted after a key changed (set to a different value or removed), from
    // the thread that changed it.
    void changed(const QString& key);

private:
    void loadLocked();
    bool writeFile(const QJsonObject& values) const;
    void writePending();
    void writerLoop();

    QString m_path;
    mutable std::mutex m_mutex;
    QJsonObject m_values;
    // The writer's schedule, under m_mutex: the changes made and written so
    // far, and when the last one was made.
    std::condition_variable m_changes;
    quint64 m_changeCount = 0;
    quint64 m_writtenCount = 0;
    std::chrono::steady_clock::time_point m_lastChange;
    std::chrono::milliseconds m_writeDelay = defaultWriteDelay;
    int m_writes = 0;
    bool m_stopping = false;
    std::thread m_writer;
    // One write of the file at a time, the writer's or a flush.
    std::mutex m_fileMutex;
};

// The one table of defaults for keys whose readers must agree on the value
// an absent key stands for (the value the settings page shows).
namespace SettingsDefaults {
// Undefined when the key has no shared default.
QJsonValue value(const QString& key);
const QJsonObject& all();
}  // namespace SettingsDefaults
