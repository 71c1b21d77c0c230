#include <gtest/gtest.h>

#include <QJsonObject>
#include <memory>

#include "core/L10n.h"
#include "overlay/PromptEditorModel.h"
#include "overlay/PromptEditorTestKit.h"
#include "pipeline/BuiltinTonePromptDefaults.h"
#include "pipeline/BuiltinTonePromptStore.h"

namespace Store = BuiltinTonePromptStore;
namespace Defaults = BuiltinTonePromptDefaults;

namespace {

const QString kTone = QStringLiteral("formal");

QString defaultPrompt() {
    return Defaults::values().value(kTone);
}
QString keyFor(const QString& english, const QString& lang = "ru") {
    return Defaults::cacheKey(kTone, lang, english);
}

class PromptEditorModelTest : public ::testing::Test {
protected:
    PromptSettings env;
    FakeTranslator translator;
    std::unique_ptr<PromptEditorModel> model = std::make_unique<PromptEditorModel>(translator.fn());

    void loadTone() { model->load(PromptEditorMode::builtinTone(kTone, "Formal")); }
    // Opens the tone in Russian with its translation already cached.
    void openCachedRussian(const QString& translation = "Официальный промпт") {
        env.setLanguage("ru");
        Store::setCachedTranslation(translation, keyFor(defaultPrompt()));
        loadTone();
    }
    std::optional<bool> save() {
        std::optional<bool> answer;
        model->saveBuiltinTone(kTone, [&answer](bool ok) { answer = ok; });
        return answer;
    }
    bool overridesStored() const { return env.settings.contains("builtinToneOverrides"); }
};

}  // namespace

TEST_F(PromptEditorModelTest, LanguagesWithoutTranslationShowTheEnglishPromptWithoutARequest) {
    for (const char* lang : {"", "en", "it", "ja"}) {
        SCOPED_TRACE(lang);
        if (*lang) env.setLanguage(lang);
        model = std::make_unique<PromptEditorModel>(translator.fn());
        loadTone();
        EXPECT_TRUE(translator.requests.empty());
        EXPECT_EQ(model->promptText(), defaultPrompt());
        EXPECT_TRUE(model->boxIsEnglish());
        EXPECT_FALSE(model->showToggleOriginal());
        EXPECT_FALSE(model->showDeleteOrRestore());
        EXPECT_EQ(model->deleteButtonLabel(), L10n::promptEditorRestoreDefault());
        EXPECT_EQ(model->watermark(), L10n::promptEditorPromptPlaceholderBuiltin());
        EXPECT_FALSE(model->isBusy());
    }
}

TEST_F(PromptEditorModelTest, AnOverrideIsShownWithTheRestoreButton) {
    Store::setOverride("My formal prompt", kTone);
    loadTone();
    EXPECT_EQ(model->promptText(), "My formal prompt");
    EXPECT_TRUE(model->showDeleteOrRestore());
}

TEST_F(PromptEditorModelTest, RussianWithACachedTranslationShowsItAtOnce) {
    openCachedRussian();
    EXPECT_TRUE(translator.requests.empty());
    EXPECT_EQ(model->promptText(), "Официальный промпт");
    EXPECT_FALSE(model->boxIsEnglish());
    EXPECT_TRUE(model->showToggleOriginal());
    EXPECT_EQ(model->toggleButtonLabel(), L10n::promptEditorShowOriginal());
    EXPECT_EQ(model->watermark(), L10n::promptEditorTranslatedAutoHint());
}

TEST_F(PromptEditorModelTest, RussianWithoutCacheTranslatesAndCaches) {
    env.setLanguage("ru");
    loadTone();
    ASSERT_EQ(translator.requests.size(), 1u);
    EXPECT_EQ(translator.requests[0].text, defaultPrompt());
    EXPECT_EQ(translator.requests[0].target, "Russian");
    EXPECT_TRUE(model->isBusy());
    EXPECT_EQ(model->watermark(), L10n::promptEditorTranslating());
    EXPECT_EQ(model->promptText(), defaultPrompt());

    translator.reply(0, QString("Перевод"));
    EXPECT_FALSE(model->isBusy());
    EXPECT_EQ(model->promptText(), "Перевод");
    EXPECT_FALSE(model->boxIsEnglish());
    EXPECT_TRUE(model->showToggleOriginal());
    EXPECT_EQ(model->watermark(), L10n::promptEditorTranslatedAutoHint());
    EXPECT_EQ(Store::cachedTranslation(keyFor(defaultPrompt())), "Перевод");
}

TEST_F(PromptEditorModelTest, AMissingOrUnchangedTranslationKeepsEnglishAndCachesNothing) {
    env.setLanguage("de");
    for (const std::optional<QString>& reply :
         {std::optional<QString>{}, std::optional(defaultPrompt())}) {
        SCOPED_TRACE(reply ? "identical" : "missing");
        translator.requests.clear();
        model = std::make_unique<PromptEditorModel>(translator.fn());
        loadTone();
        ASSERT_EQ(translator.requests.size(), 1u);
        EXPECT_EQ(translator.requests[0].target, "German");
        translator.reply(0, reply);
        EXPECT_FALSE(model->isBusy());
        EXPECT_EQ(model->promptText(), defaultPrompt());
        EXPECT_TRUE(model->boxIsEnglish());
        EXPECT_FALSE(model->showToggleOriginal());
        EXPECT_EQ(model->watermark(), L10n::promptEditorTranslateFailed());
        EXPECT_FALSE(env.settings.contains("builtinTonePromptTranslationCache"));
    }
}

TEST_F(PromptEditorModelTest, AnAnswerAfterTheCardClosedIsDropped) {
    env.setLanguage("ru");
    loadTone();
    ASSERT_EQ(translator.requests.size(), 1u);
    model.reset();
    translator.reply(0, QString("Перевод"));  // must not touch the deleted model
    EXPECT_FALSE(env.settings.contains("builtinTonePromptTranslationCache"));
}

TEST_F(PromptEditorModelTest, ToggleWithoutEditsSwitchesBetweenCachedTexts) {
    openCachedRussian();
    model->toggleOriginal();
    EXPECT_EQ(model->promptText(), defaultPrompt());
    EXPECT_TRUE(model->boxIsEnglish());
    EXPECT_EQ(model->toggleButtonLabel(), L10n::promptEditorShowTranslation());
    model->toggleOriginal();
    EXPECT_EQ(model->promptText(), "Официальный промпт");
    EXPECT_FALSE(model->boxIsEnglish());
    EXPECT_EQ(model->toggleButtonLabel(), L10n::promptEditorShowOriginal());
    EXPECT_TRUE(translator.requests.empty());
}

TEST_F(PromptEditorModelTest, ToggleAfterAnEditTranslatesTheEditedTextWithoutCaching) {
    struct Case {
        bool fromEnglish;
        const char* edited;
        const char* target;
        const char* reply;
        bool englishAfter;
    };
    const Case cases[] = {
        {true, "Edited English", "Russian", "Изменённый", false},
        {false, "Изменённый перевод", "English", "Edited translation", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edited);
        translator.requests.clear();
        model = std::make_unique<PromptEditorModel>(translator.fn());
        openCachedRussian();
        if (c.fromEnglish) model->toggleOriginal();  // show the original first
        const QJsonObject cacheBefore =
            *env.settings.dictionary("builtinTonePromptTranslationCache");
        model->setPromptText(c.edited);
        model->toggleOriginal();
        ASSERT_EQ(translator.requests.size(), 1u);
        EXPECT_EQ(translator.requests[0].text, c.edited);
        EXPECT_EQ(translator.requests[0].target, c.target);
        EXPECT_TRUE(model->isBusy());
        translator.reply(0, QString(c.reply));
        EXPECT_FALSE(model->isBusy());
        EXPECT_EQ(model->promptText(), c.reply);
        EXPECT_EQ(model->boxIsEnglish(), c.englishAfter);
        EXPECT_EQ(model->toggleButtonLabel(), c.englishAfter ? L10n::promptEditorShowTranslation()
                                                             : L10n::promptEditorShowOriginal());
        EXPECT_EQ(*env.settings.dictionary("builtinTonePromptTranslationCache"), cacheBefore);
    }
}

TEST_F(PromptEditorModelTest, AFailedToggleLeavesTheBoxAndLabel) {
    openCachedRussian();
    model->setPromptText("Мой текст");
    model->toggleOriginal();
    ASSERT_EQ(translator.requests.size(), 1u);
    translator.reply(0, std::nullopt);
    EXPECT_FALSE(model->isBusy());
    EXPECT_EQ(model->promptText(), "Мой текст");
    EXPECT_FALSE(model->boxIsEnglish());
    EXPECT_EQ(model->toggleButtonLabel(), L10n::promptEditorShowOriginal());
}

TEST_F(PromptEditorModelTest, ToggleDoesNothingOutsideATranslatedBuiltinTone) {
    Store::setCachedTranslation("Перевод", keyFor(defaultPrompt(), "en"));
    loadTone();  // English interface
    model->toggleOriginal();
    EXPECT_EQ(model->promptText(), defaultPrompt());
    env.setLanguage("ru");
    model->load(PromptEditorMode::newCustomStyle());
    model->setPromptText("custom");
    model->toggleOriginal();
    EXPECT_EQ(model->promptText(), "custom");
    EXPECT_TRUE(translator.requests.empty());
}

TEST_F(PromptEditorModelTest, SavingBlankOrAFailedBackTranslationStoresNothing) {
    loadTone();
    model->setPromptText("  \n\t ");
    EXPECT_EQ(save(), false);

    openCachedRussian();
    model->setPromptText("Мой новый текст");
    std::optional<bool> answer;
    model->saveBuiltinTone(kTone, [&answer](bool ok) { answer = ok; });
    ASSERT_EQ(translator.requests.size(), 1u);
    EXPECT_EQ(translator.requests[0].target, "English");
    EXPECT_TRUE(model->isBusy());
    EXPECT_EQ(answer, std::nullopt);
    translator.reply(0, std::nullopt);
    EXPECT_EQ(answer, false);
    EXPECT_FALSE(model->isBusy());
    EXPECT_FALSE(overridesStored());
    EXPECT_EQ(*env.pushes, 0);
    EXPECT_EQ(model->promptText(), "Мой новый текст");
}

TEST_F(PromptEditorModelTest, SavingTheDefaultTextRemovesTheOverride) {
    Store::setOverride("Old override", kTone);
    loadTone();
    model->setPromptText("\n  " + defaultPrompt() + "  \n");
    EXPECT_EQ(save(), true);
    EXPECT_EQ(Store::override(kTone), std::nullopt);
    EXPECT_TRUE(Store::overrides().isEmpty());
}

TEST_F(PromptEditorModelTest, SavingEnglishStoresItAndFillsTheCacheInTheBackground) {
    env.setLanguage("ru");
    Store::setCachedTranslation("Официальный", keyFor(defaultPrompt()));
    loadTone();
    model->toggleOriginal();  // English shown
    model->setPromptText("  New English prompt ");
    EXPECT_EQ(save(), true);
    EXPECT_EQ(Store::override(kTone), "New English prompt");
    ASSERT_EQ(translator.requests.size(), 1u);
    EXPECT_EQ(translator.requests[0].text, "New English prompt");
    EXPECT_EQ(translator.requests[0].target, "Russian");
    model.reset();  // the card has closed; the cache is still filled
    translator.reply(0, QString("Новый промпт"));
    EXPECT_EQ(Store::cachedTranslation(keyFor("New English prompt")), "Новый промпт");

    // With the new text's translation cached, the next save asks nothing.
    model = std::make_unique<PromptEditorModel>(translator.fn());
    loadTone();
    model->toggleOriginal();
    EXPECT_EQ(model->promptText(), "New English prompt");
    EXPECT_EQ(save(), true);
    EXPECT_EQ(translator.requests.size(), 1u);
}

TEST_F(PromptEditorModelTest, ABackgroundTranslationEqualToTheTextIsNotCached) {
    env.setLanguage("ru");
    Store::setCachedTranslation("Официальный", keyFor(defaultPrompt()));
    loadTone();
    model->toggleOriginal();
    model->setPromptText("Plain");
    EXPECT_EQ(save(), true);
    ASSERT_EQ(translator.requests.size(), 1u);
    translator.reply(0, QString("Plain"));
    EXPECT_EQ(Store::cachedTranslation(keyFor("Plain")), std::nullopt);
}

TEST_F(PromptEditorModelTest, SavingAnEditedTranslationCachesTheUsersWording) {
    openCachedRussian();
    model->setPromptText(" Мой деловой стиль ");
    std::optional<bool> answer;
    model->saveBuiltinTone(kTone, [&answer](bool ok) { answer = ok; });
    ASSERT_EQ(translator.requests.size(), 1u);
    EXPECT_EQ(translator.requests[0].text, "Мой деловой стиль");
    translator.reply(0, QString("My business style"));
    EXPECT_EQ(answer, true);
    EXPECT_EQ(Store::override(kTone), "My business style");
    EXPECT_EQ(Store::cachedTranslation(keyFor("My business style")), "Мой деловой стиль");
    EXPECT_EQ(translator.requests.size(), 1u);  // no further translation
}

TEST_F(PromptEditorModelTest, SavingAnUneditedTranslationKeepsTheEnglishPrompt) {
    for (bool withOverride : {false, true}) {
        SCOPED_TRACE(withOverride);
        translator.requests.clear();
        env.settings.remove("builtinToneOverrides");
        if (withOverride) Store::setOverride("Custom English", kTone);
        const QString english = withOverride ? "Custom English" : defaultPrompt();
        env.setLanguage("ru");
        Store::setCachedTranslation("Машинный перевод", keyFor(english));
        model = std::make_unique<PromptEditorModel>(translator.fn());
        loadTone();
        ASSERT_FALSE(model->boxIsEnglish());
        const QJsonObject before = env.settings.snapshot();
        EXPECT_EQ(save(), true);
        EXPECT_TRUE(translator.requests.empty());
        EXPECT_EQ(env.settings.snapshot(), before);
        EXPECT_EQ(PromptEditorModel::englishPrompt(kTone), english);
    }
}

TEST_F(PromptEditorModelTest, SavingInEnglishInterfaceTranslatesNothing) {
    loadTone();
    model->setPromptText("Another prompt");
    EXPECT_EQ(save(), true);
    EXPECT_EQ(Store::override(kTone), "Another prompt");
    EXPECT_TRUE(translator.requests.empty());
    EXPECT_FALSE(env.settings.contains("builtinTonePromptTranslationCache"));
}

TEST_F(PromptEditorModelTest, CustomModesFillTheirFields) {
    model->load(
        PromptEditorMode::editCustomStyle("custom:Mail", "Mail", "Write a mail", false, true));
    EXPECT_EQ(model->nameText(), "Mail");
    EXPECT_EQ(model->promptText(), "Write a mail");
    EXPECT_FALSE(model->sameLanguage());
    EXPECT_TRUE(model->dontChangeMeaning());
    EXPECT_EQ(model->watermark(), L10n::promptEditorPromptPlaceholderCustom());
    EXPECT_TRUE(model->showDeleteOrRestore());
    EXPECT_EQ(model->deleteButtonLabel(), L10n::promptEditorDeleteTab());
    EXPECT_FALSE(model->showToggleOriginal());

    model->load(PromptEditorMode::newCustomStyle());
    EXPECT_EQ(model->nameText(), "");
    EXPECT_EQ(model->promptText(), "");
    EXPECT_TRUE(model->sameLanguage());
    EXPECT_FALSE(model->dontChangeMeaning());
    EXPECT_FALSE(model->showDeleteOrRestore());
    EXPECT_TRUE(translator.requests.empty());
}
