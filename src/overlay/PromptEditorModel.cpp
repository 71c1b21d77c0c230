#include "overlay/PromptEditorModel.h"

#include <QPointer>

#include "core/L10n.h"
#include "pipeline/BuiltinTonePromptDefaults.h"
#include "pipeline/BuiltinTonePromptStore.h"
#include "platform/Threading.h"
#include "service/TranscriptionService.h"

namespace Store = BuiltinTonePromptStore;
namespace Defaults = BuiltinTonePromptDefaults;

namespace {

const QString kEnglish = QStringLiteral("English");

// The English name of the interface language, when prompts are translated
// into it (English itself and most languages are not).
std::optional<QString> languageName(const QString& lang) {
    const auto& names = Defaults::interfaceLanguageNames();
    if (lang == QLatin1String("en") || !names.contains(lang)) return std::nullopt;
    return names.value(lang);
}

}  // namespace

PromptEditorModel::Translator PromptEditorModel::serviceTranslator() {
    return [](const QString& text, const QString& target, TranslationDone done) {
        runAsync(
            QCoreApplication::instance(),
            [text, target] {
                return TranscriptionService::shared().translateArbitraryText(
                    text, target, /*literal=*/true, /*isRetry=*/false);
            },
            std::move(done));
    };
}

PromptEditorModel::PromptEditorModel(Translator translator, QObject* parent)
    : QObject(parent), m_translator(std::move(translator)) {}

QString PromptEditorModel::englishPrompt(const QString& tone) {
    if (std::optional<QString> text = Store::override(tone)) return *text;
    return Defaults::values().value(tone);
}

void PromptEditorModel::translate(const QString& text, const QString& target,
                                  std::function<void(std::optional<QString>)> apply) {
    QPointer<PromptEditorModel> self(this);
    m_translator(text, target, [self, apply = std::move(apply)](std::optional<QString> result) {
        // The card (and its model) may be gone by the time the answer comes.
        if (self) apply(std::move(result));
    });
}

void PromptEditorModel::load(const PromptEditorMode& mode) {
    ORMIL_ASSERT_MAIN_THREAD();
    m_mode = mode;
    switch (mode.kind) {
        case PromptEditorMode::Kind::builtinTone:
            loadBuiltinTone(mode.tone);
            return;
        case PromptEditorMode::Kind::editCustomStyle:
            setNameText(mode.name);
            setPromptText(mode.prompt);
            setSameLanguage(mode.sameLanguage);
            setDontChangeMeaning(mode.dontChangeMeaning);
            setWatermark(L10n::promptEditorPromptPlaceholderCustom());
            setShowToggleOriginal(false);
            setShowDeleteOrRestore(true);
            setDeleteButtonLabel(L10n::promptEditorDeleteTab());
            return;
        case PromptEditorMode::Kind::newCustomStyle:
            setNameText({});
            setPromptText({});
            setSameLanguage(true);
            setDontChangeMeaning(false);
            setWatermark(L10n::promptEditorPromptPlaceholderCustom());
            setShowToggleOriginal(false);
            setShowDeleteOrRestore(false);
            return;
    }
}

void PromptEditorModel::loadBuiltinTone(const QString& tone) {
    const QString english = englishPrompt(tone);
    setPromptText(english);
    m_boxIsEnglish = true;
    setShowToggleOriginal(false);
    setShowDeleteOrRestore(Store::override(tone).has_value());
    setDeleteButtonLabel(L10n::promptEditorRestoreDefault());

    const QString lang = L10n::currentLanguage();
    const std::optional<QString> name = languageName(lang);
    if (!name) {
        setWatermark(L10n::promptEditorPromptPlaceholderBuiltin());
        return;
    }
    const QString key = Defaults::cacheKey(tone, lang, english);
    auto showTranslation = [this](const QString& text) {
        setPromptText(text);
        m_boxIsEnglish = false;
        setWatermark(L10n::promptEditorTranslatedAutoHint());
        setToggleButtonLabel(L10n::promptEditorShowOriginal());
        setShowToggleOriginal(true);
    };
    if (std::optional<QString> cached = Store::cachedTranslation(key)) {
        showTranslation(*cached);
        return;
    }
    setWatermark(L10n::promptEditorTranslating());
    setIsBusy(true);
    translate(english, *name, [this, english, key, showTranslation](std::optional<QString> result) {
        setIsBusy(false);
        if (result && *result != english) {
            showTranslation(*result);
            Store::setCachedTranslation(*result, key);
        } else {
            setWatermark(L10n::promptEditorTranslateFailed());
        }
    });
}

void PromptEditorModel::toggleOriginal() {
    ORMIL_ASSERT_MAIN_THREAD();
    if (!m_mode.isBuiltin()) return;
    const QString lang = L10n::currentLanguage();
    const std::optional<QString> name = languageName(lang);
    if (!name) return;
    const QString tone = m_mode.tone;
    const QString english = englishPrompt(tone);
    const std::optional<QString> cached =
        Store::cachedTranslation(Defaults::cacheKey(tone, lang, english));

    if (m_boxIsEnglish && promptText() == english && cached) {
        setPromptText(*cached);
        m_boxIsEnglish = false;
        setToggleButtonLabel(L10n::promptEditorShowOriginal());
        return;
    }
    if (!m_boxIsEnglish && cached && promptText() == *cached) {
        setPromptText(english);
        m_boxIsEnglish = true;
        setToggleButtonLabel(L10n::promptEditorShowTranslation());
        return;
    }
    // The user edited the box: translate what is there now.
    const QString target = m_boxIsEnglish ? *name : kEnglish;
    setIsBusy(true);
    translate(promptText(), target, [this](std::optional<QString> result) {
        setIsBusy(false);
        if (!result) return;
        setPromptText(*result);
        m_boxIsEnglish = !m_boxIsEnglish;
        setToggleButtonLabel(m_boxIsEnglish ? L10n::promptEditorShowTranslation()
                                            : L10n::promptEditorShowOriginal());
    });
}

void PromptEditorModel::saveBuiltinTone(const QString& tone, std::function<void(bool)> done) {
    ORMIL_ASSERT_MAIN_THREAD();
    const QString trimmed = promptText().trimmed();
    if (trimmed.isEmpty()) {
        done(false);
        return;
    }
    const bool boxWasEnglish = m_boxIsEnglish;

    // Stores english as the tone's prompt and the box's wording as its
    // translation; returns what the card is told.
    auto store = [tone, trimmed, boxWasEnglish, translator = m_translator](const QString& english) {
        const auto& defaults = Defaults::values();
        if (defaults.contains(tone) && english == defaults.value(tone).trimmed())
            Store::removeOverride(tone);
        else
            Store::setOverride(english, tone);

        const QString lang = L10n::currentLanguage();
        const std::optional<QString> name = languageName(lang);
        if (!name) return;
        const QString key = Defaults::cacheKey(tone, lang, english);
        if (!boxWasEnglish) {
            Store::setCachedTranslation(trimmed, key);
            return;
        }
        if (Store::cachedTranslation(key)) return;
        // Fills the cache for the next opening; it may finish after the card
        // has closed and touches nothing but the cache.
        translator(english, *name, [english, key](std::optional<QString> result) {
            if (result && *result != english) Store::setCachedTranslation(*result, key);
        });
    };

    if (boxWasEnglish) {
        store(trimmed);
        done(true);
        return;
    }

    // The machine translation shown unedited: translating it back would
    // replace the English prompt by a paraphrase of itself. Keep it.
    const QString lang = L10n::currentLanguage();
    const QString currentEnglish = englishPrompt(tone);
    const std::optional<QString> cached =
        Store::cachedTranslation(Defaults::cacheKey(tone, lang, currentEnglish));
    if (cached && cached->trimmed() == trimmed) {
        done(true);
        return;
    }

    setIsBusy(true);
    translate(trimmed, kEnglish, [this, store, done](std::optional<QString> english) {
        setIsBusy(false);
        if (!english) {
            done(false);
            return;
        }
        store(*english);
        done(true);
    });
}
