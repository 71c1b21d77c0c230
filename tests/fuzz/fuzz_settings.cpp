// settings.json as found on disk, read through every typed getter the
// application uses, for every key it holds and every key with a default.
#include <QFile>
#include <QJsonObject>

#include "FuzzSupport.h"
#include "platform/SettingsStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QString path = fuzz::scratchDir() + QStringLiteral("/settings.json");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    const SettingsStore store(path);
    QStringList keys = store.snapshot().keys();
    keys += SettingsDefaults::all().keys();
    for (const QString& key : keys) {
        store.object(key);
        store.string(key);
        store.boolean(key);
        store.integer(key);
        store.doubleValue(key);
        store.stringArray(key);
        store.dictionary(key);
        store.boolOrDefault(key);
        store.integerOrDefault(key);
        store.doubleOrDefault(key);
        store.stringOrDefault(key);
    }
    return 0;
}
