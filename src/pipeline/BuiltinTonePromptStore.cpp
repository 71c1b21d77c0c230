#include "pipeline/BuiltinTonePromptStore.h"

#include <QJsonArray>
#include <QJsonObject>
#include <mutex>

#include "pipeline/BuiltinTonePromptDefaults.h"
#include "platform/DebugLog.h"
#include "platform/Clock.h"
#include "platform/FrontmostApp.h"
#include "platform/SettingsStore.h"
#include "platform/Threading.h"

namespace {

const QString kOverridesKey = QStringLiteral("builtinToneOverrides");
const QString kHiddenKey = QStringLiteral("hiddenBuiltinTones");
const QString kCacheKey = QStringLiteral("builtinTonePromptTranslationCache");

std::mutex g_mutex;
BuiltinTonePromptStore::Collaborators g_collaborators;

BuiltinTonePromptStore::Collaborators collaborators() {
    std::lock_guard lock(g_mutex);
    return g_collaborators;
}

SettingsStore& settings() {
    SettingsStore* s = collaborators().settings;
    return s ? *s : SettingsStore::shared();
}

void startSettingsPush() {
    std::function<void()> push = collaborators().pushSettings;
    if (push) runAsync(std::move(push));
}

// A dictionary of strings, or nothing when absent or of another shape.
std::optional<QMap<QString, QString>> stringDictionary(const QString& key) {
    const std::optional<QJsonObject> obj = settings().dictionary(key);
    if (!obj) return std::nullopt;
    QMap<QString, QString> out;
    for (auto it = obj->begin(); it != obj->end(); ++it) {
        if (!it.value().isString()) return std::nullopt;
        out.insert(it.key(), it.value().toString());
    }
    return out;
}

QJsonObject toJson(const QMap<QString, QString>& map) {
    QJsonObject obj;
    for (auto it = map.begin(); it != map.end(); ++it) obj.insert(it.key(), it.value());
    return obj;
}

QStringList hiddenTones() {
    return settings().stringArray(kHiddenKey).value_or(QStringList{});
}

void writeHidden(const QStringList& tones) {
    settings().set(kHiddenKey, QJsonArray::fromStringList(tones));
    startSettingsPush();
}

}  // namespace

void BuiltinTonePromptStore::setCollaborators(Collaborators c) {
    std::lock_guard lock(g_mutex);
    g_collaborators = std::move(c);
}

QMap<QString, QString> BuiltinTonePromptStore::overrides() {
    return stringDictionary(kOverridesKey).value_or(QMap<QString, QString>{});
}

std::optional<QString> BuiltinTonePromptStore::override(const QString& tone) {
    const QString text = overrides().value(tone);
    if (text.isEmpty()) return std::nullopt;
    return text;
}

void BuiltinTonePromptStore::setOverride(const QString& text, const QString& tone) {
    QMap<QString, QString> all = overrides();
    all.insert(tone, text);
    settings().set(kOverridesKey, toJson(all));
    startSettingsPush();
}

void BuiltinTonePromptStore::removeOverride(const QString& tone) {
    QMap<QString, QString> all = overrides();
    all.remove(tone);
    settings().set(kOverridesKey, toJson(all));
    startSettingsPush();
}

void BuiltinTonePromptStore::hide(const QString& tone) {
    QStringList tones = hiddenTones();
    if (!tones.contains(tone)) tones.append(tone);
    writeHidden(tones);
}

void BuiltinTonePromptStore::restore(const QString& tone) {
    QStringList tones = hiddenTones();
    tones.removeAll(tone);
    writeHidden(tones);
}

std::optional<QString> BuiltinTonePromptStore::cachedTranslation(const QString& key) {
    const std::optional<QJsonObject> cache = settings().dictionary(kCacheKey);
    if (!cache) return std::nullopt;
    const QJsonValue v = cache->value(key);
    if (!v.isString()) return std::nullopt;
    return v.toString();
}

void BuiltinTonePromptStore::setCachedTranslation(const QString& translation, const QString& key) {
    QJsonObject cache = settings().dictionary(kCacheKey).value_or(QJsonObject{});
    cache.insert(key, translation);
    settings().set(kCacheKey, cache);
}

void BuiltinTonePromptStore::warmUp(std::stop_token stop) {
    const Collaborators c = collaborators();
    Clock& clock = c.clock ? *c.clock : Clock::system();
    clock.sleep(2.0);
    if (stop.stop_requested()) return;
    if (!c.hasAccessToken || !c.hasAccessToken()) return;

    const QString lang = settings().string("interfaceLanguage").value_or("en");
    if (lang == "en") return;
    const auto& names = BuiltinTonePromptDefaults::interfaceLanguageNames();
    if (!names.contains(lang)) return;
    const QString name = names.value(lang);
    if (!c.translateArbitraryText) return;

    const auto& defaults = BuiltinTonePromptDefaults::values();
    for (auto it = defaults.begin(); it != defaults.end(); ++it) {
        if (stop.stop_requested()) return;
        const QString source = override(it.key()).value_or(it.value());
        const QString key = BuiltinTonePromptDefaults::cacheKey(it.key(), lang, source);
        if (cachedTranslation(key)) continue;
        const std::optional<QString> translation =
            c.translateArbitraryText(source, name, /*literal=*/true, /*isRetry=*/false);
        if (translation && *translation != source) setCachedTranslation(*translation, key);
    }
}

QString resolveEffectiveDictationTone() {
    return resolveEffectiveDictationTone(settings(), FrontmostApp::shared());
}

QString resolveEffectiveDictationTone(const SettingsStore& store, const FrontmostApp& frontmost) {
    const QString global = store.isString("toneStyle") ? *store.string("toneStyle") : "none";
    if (!store.boolean("perAppStylesEnabled")) return global;
    const std::optional<QJsonObject> rules = store.dictionary("perAppStyles");
    if (!rules || rules->isEmpty()) return global;
    for (const QJsonValue& v : *rules)
        if (!v.isString()) return global;
    const std::optional<QString> app = frontmost.bundleIdentifier();
    if (!app) return global;
    const QJsonValue tone = rules->value(*app);
    if (!tone.isString()) return global;
    debugLog("[PerApp] " + *app + " -> " + tone.toString() + " (overrides global " + global + ")");
    return tone.toString();
}
