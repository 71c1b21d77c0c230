#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>
#include <atomic>
#include <mutex>

#include "pipeline/BuiltinTonePromptDefaults.h"
#include "pipeline/BuiltinTonePromptStore.h"
#include "fakes/FakeClock.h"
#include "platform/FrontmostApp.h"
#include "platform/SettingsStore.h"
#include "support/TestSupport.h"
#include "fakes/FakeFrontmostApp.h"

namespace Store = BuiltinTonePromptStore;
namespace Defaults = BuiltinTonePromptDefaults;

TEST(BuiltinTonePromptDefaults, CacheKeyVectors) {
    const struct {
        const char* tone;
        const char* lang;
        const char* source;
        const char* key;
    } cases[] = {
        {"neutral", "ru", "", "neutral|ru|811c9dc5"},
        {"neutral", "ru", "a", "neutral|ru|e40c292c"},
        {"formal", "de", "foobar", "formal|de|bf9cf968"},
        // Multi-byte text hashes its UTF-8 bytes, not its UTF-16 units.
        {"casual", "tr", "é", "casual|tr|1e9de8c1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Defaults::cacheKey(c.tone, c.lang, QString::fromUtf8(c.source)), c.key)
            << c.source;
}

TEST(BuiltinTonePromptDefaults, PromptsAndLanguages) {
    const auto& v = Defaults::values();
    const QStringList tones{"neutral", "cultured", "formal",  "casual",  "concise",
                            "summary", "theses",   "grammar", "readable"};
    EXPECT_EQ(v.size(), tones.size());
    for (const QString& tone : tones) {
        ASSERT_TRUE(v.contains(tone)) << tone.toStdString();
        // A first line, a blank line, then capitalised sections of rules.
        const QStringList lines = v.value(tone).split('\n');
        ASSERT_GT(lines.size(), 3) << tone.toStdString();
        EXPECT_TRUE(lines[0].startsWith("You are a")) << tone.toStdString();
        EXPECT_TRUE(lines[1].isEmpty()) << tone.toStdString();
        EXPECT_TRUE(v.value(tone).contains("\n- ")) << tone.toStdString();
    }
    EXPECT_TRUE(v.value("theses").contains("— "));
    EXPECT_EQ(Defaults::interfaceLanguageNames().keys(),
              (QStringList{"de", "es", "fr", "ru", "tr"}));
}

namespace {
// A private settings store and counting collaborators for each test.
class TonePromptStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        Store::Collaborators c;
        c.settings = &settings;
        c.clock = &clock;
        c.pushSettings = [this] { ++pushes; };
        c.hasAccessToken = [this] { return hasToken; };
        c.translateArbitraryText = [this](const QString& text, const QString& target, bool literal,
                                          bool isRetry) -> std::optional<QString> {
            std::lock_guard lock(mutex);
            requests.push_back({text, target});
            EXPECT_TRUE(literal);
            EXPECT_FALSE(isRetry);
            if (failTranslation) return std::nullopt;
            if (echoTranslation) return text;
            return "[" + target + "] " + text.left(10);
        };
        Store::setCollaborators(c);
    }
    void TearDown() override { Store::setCollaborators({}); }

    SettingsStore settings;
    FakeClock clock;
    std::atomic<int> pushes{0};
    bool hasToken = true;
    bool failTranslation = false;
    bool echoTranslation = false;
    std::mutex mutex;
    std::vector<std::pair<QString, QString>> requests;
};
}  // namespace

TEST_F(TonePromptStoreTest, OverridesAndTheirPush) {
    EXPECT_EQ(Store::override("formal"), std::nullopt);
    Store::setOverride("Be formal.", "formal");
    EXPECT_EQ(Store::override("formal"), QString("Be formal."));
    Store::setOverride("", "casual");
    EXPECT_EQ(Store::override("casual"), std::nullopt) << "an empty override is no override";
    EXPECT_EQ(Store::overrides().size(), 2);
    Store::removeOverride("formal");
    EXPECT_EQ(Store::override("formal"), std::nullopt);
    EXPECT_TRUE(testsupport::waitUntil([&] { return pushes == 3; }));

    // A dictionary holding anything but strings reads as no overrides.
    settings.set("builtinToneOverrides", QJsonObject{{"formal", "x"}, {"casual", 3}});
    EXPECT_TRUE(Store::overrides().isEmpty());
    EXPECT_EQ(Store::override("formal"), std::nullopt);
}

TEST_F(TonePromptStoreTest, HideAndRestore) {
    Store::hide("summary");
    Store::hide("summary");
    EXPECT_EQ(settings.stringArray("hiddenBuiltinTones"), QStringList{"summary"});
    settings.set("hiddenBuiltinTones", QJsonArray{"summary", "grammar", "summary"});
    Store::restore("summary");
    EXPECT_EQ(settings.stringArray("hiddenBuiltinTones"), QStringList{"grammar"});
    EXPECT_TRUE(testsupport::waitUntil([&] { return pushes == 3; }));
}

TEST_F(TonePromptStoreTest, TranslationCacheOnlyGrows) {
    EXPECT_EQ(Store::cachedTranslation("k"), std::nullopt);
    settings.set("builtinTonePromptTranslationCache", "not a dictionary");
    Store::setCachedTranslation("one", "k1");
    Store::setCachedTranslation("two", "k2");
    EXPECT_EQ(Store::cachedTranslation("k1"), QString("one"));
    EXPECT_EQ(Store::cachedTranslation("k2"), QString("two"));
}

TEST_F(TonePromptStoreTest, WarmUpTranslatesEachToneOnce) {
    settings.set("interfaceLanguage", "ru");
    Store::setOverride("Мой формальный стиль", "formal");
    Store::warmUp();
    EXPECT_EQ(clock.sleeps(), std::vector<double>{2.0});
    ASSERT_EQ(requests.size(), 9u);
    for (const auto& r : requests) EXPECT_EQ(r.second, "Russian");
    // The user's replacement is what gets translated, under its own key.
    const QString key = Defaults::cacheKey("formal", "ru", "Мой формальный стиль");
    EXPECT_EQ(Store::cachedTranslation(key), QString("[Russian] Мой формал"));

    // Everything is cached now: a second launch asks for nothing.
    Store::warmUp();
    EXPECT_EQ(requests.size(), 9u);

    // An edited replacement has a new key and is translated afresh.
    Store::setOverride("Другой стиль", "formal");
    Store::warmUp();
    ASSERT_EQ(requests.size(), 10u);
    EXPECT_EQ(requests.back().first, "Другой стиль");
}

TEST_F(TonePromptStoreTest, WarmUpSkipsWhatItMust) {
    const struct {
        const char* name;
        std::optional<const char*> lang;
        bool token;
        bool fail;
        bool echo;
        size_t requestsFirst;
        size_t requestsSecond;  // on the next launch: uncached tones are asked again
    } cases[] = {
        {"English interface", "en", true, false, false, 0, 0},
        {"no interface language", std::nullopt, true, false, false, 0, 0},
        {"language without translations", "it", true, false, false, 0, 0},
        {"signed out", "de", false, false, false, 0, 0},
        {"failed translation is retried", "de", true, true, false, 9, 18},
        {"unchanged translation is not cached", "de", true, false, true, 9, 18},
        {"Turkish", "tr", true, false, false, 9, 9},
    };
    for (const auto& c : cases) {
        settings.remove("builtinTonePromptTranslationCache");
        if (c.lang)
            settings.set("interfaceLanguage", *c.lang);
        else
            settings.remove("interfaceLanguage");
        hasToken = c.token;
        failTranslation = c.fail;
        echoTranslation = c.echo;
        requests.clear();
        Store::warmUp();
        EXPECT_EQ(requests.size(), c.requestsFirst) << c.name;
        Store::warmUp();
        EXPECT_EQ(requests.size(), c.requestsSecond) << c.name;
    }
}

TEST_F(TonePromptStoreTest, WarmUpEndsWhenCancelled) {
    settings.set("interfaceLanguage", "ru");
    std::stop_source stop;
    stop.request_stop();
    Store::warmUp(stop.get_token());
    EXPECT_TRUE(requests.empty());
}

TEST(ResolveEffectiveDictationTone, PerAppTable) {
    const struct {
        const char* name;
        QJsonObject settings;
        std::optional<const char*> frontmost;
        const char* tone;
        bool logged;
    } cases[] = {
        {"nothing set", {}, "Firefox", "none", false},
        {"global only", {{"toneStyle", "neutral"}}, "Firefox", "neutral", false},
        {"rule for the frontmost app",
         {{"toneStyle", "neutral"},
          {"perAppStylesEnabled", true},
          {"perAppStyles", QJsonObject{{"Firefox", "formal"}}}},
         "Firefox",
         "formal",
         true},
        {"rules switched off",
         {{"toneStyle", "neutral"},
          {"perAppStylesEnabled", false},
          {"perAppStyles", QJsonObject{{"Firefox", "formal"}}}},
         "Firefox",
         "neutral",
         false},
        {"rule of another app",
         {{"toneStyle", "neutral"},
          {"perAppStylesEnabled", true},
          {"perAppStyles", QJsonObject{{"Slack", "casual"}}}},
         "Firefox",
         "neutral",
         false},
        {"no frontmost app",
         {{"toneStyle", "casual"},
          {"perAppStylesEnabled", true},
          {"perAppStyles", QJsonObject{{"Firefox", "formal"}}}},
         std::nullopt,
         "casual",
         false},
        {"rule saying none wins",
         {{"toneStyle", "concise"},
          {"perAppStylesEnabled", true},
          {"perAppStyles", QJsonObject{{"Firefox", "none"}}}},
         "Firefox",
         "none",
         true},
        {"rules of another type",
         {{"toneStyle", "concise"},
          {"perAppStylesEnabled", true},
          {"perAppStyles", QJsonObject{{"Firefox", 5}}}},
         "Firefox",
         "concise",
         false},
        {"tone of another type", {{"toneStyle", 7}}, "Firefox", "none", false},
    };
    for (const auto& c : cases) {
        SettingsStore settings;
        settings.setMany(c.settings);
        FakeFrontmostApp app;
        if (c.frontmost) app.setClass(*c.frontmost);
        const QString before = testsupport::debugLogText();
        EXPECT_EQ(resolveEffectiveDictationTone(settings, app), c.tone) << c.name;
        const QString added = testsupport::debugLogText().mid(before.size());
        EXPECT_EQ(added.contains("[PerApp] Firefox -> "), c.logged) << c.name;
    }
}

TEST(ResolveEffectiveDictationTone, LogLine) {
    SettingsStore settings;
    settings.setMany({{"toneStyle", "neutral"},
                      {"perAppStylesEnabled", true},
                      {"perAppStyles", QJsonObject{{"Code", "grammar"}}}});
    FakeFrontmostApp app;
    app.setClass("Code");
    EXPECT_EQ(resolveEffectiveDictationTone(settings, app), "grammar");
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[PerApp] Code -> grammar (overrides global neutral)"));
}
