#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "overlay/PromptEditorMode.h"
#include "platform/ObservableProperty.h"

// The state of the style prompt editor card. A built-in tone's prompt is
// edited in English or, for interface languages that have a translation,
// in a machine translation that is translated back to English on save; a
// custom style is only edited here and stored by the card's host.
// Main thread only; one model per card, owned by it.
class PromptEditorModel : public QObject {
    Q_OBJECT
public:
    using TranslationDone = std::function<void(std::optional<QString>)>;
    // Translates text into the language named in English ("Russian",
    // "English"); done receives the translation, or nothing on any failure,
    // later on the main thread.
    using Translator = std::function<void(const QString& text, const QString& targetLanguage,
                                          TranslationDone done)>;
    // The service's free-text translation, run on a worker thread.
    static Translator serviceTranslator();

    explicit PromptEditorModel(Translator translator = serviceTranslator(),
                               QObject* parent = nullptr);

    ORMIL_PROPERTY(QString, nameText, setNameText, {});
    ORMIL_PROPERTY(QString, promptText, setPromptText, {});
    ORMIL_PROPERTY(bool, sameLanguage, setSameLanguage, true);
    ORMIL_PROPERTY(bool, dontChangeMeaning, setDontChangeMeaning, false);
    ORMIL_PROPERTY(bool, isBusy, setIsBusy, false);
    ORMIL_PROPERTY(QString, watermark, setWatermark, {});
    ORMIL_PROPERTY(std::optional<QString>, errorText, setErrorText, {});
    ORMIL_PROPERTY(bool, showToggleOriginal, setShowToggleOriginal, false);
    ORMIL_PROPERTY(QString, toggleButtonLabel, setToggleButtonLabel, {});
    ORMIL_PROPERTY(bool, showDeleteOrRestore, setShowDeleteOrRestore, false);
    ORMIL_PROPERTY(QString, deleteButtonLabel, setDeleteButtonLabel, {});

public:
    const PromptEditorMode& mode() const { return m_mode; }
    // Whether the prompt box holds the English original (not a translation).
    bool boxIsEnglish() const { return m_boxIsEnglish; }

    // Fills the state for mode; a built-in prompt may still be translating
    // when this returns (isBusy).
    void load(const PromptEditorMode& mode);
    // Switches the box between the English original and the translation.
    void toggleOriginal();
    // Stores the box as the tone's prompt; done(true) when stored (the card
    // may close), done(false) when nothing was stored.
    void saveBuiltinTone(const QString& tone, std::function<void(bool)> done);

    // The tone's current English prompt: the user's override, else the default.
    static QString englishPrompt(const QString& tone);

private:
    void loadBuiltinTone(const QString& tone);
    // Runs a translation whose result reaches this model only while it exists.
    void translate(const QString& text, const QString& target,
                   std::function<void(std::optional<QString>)> apply);

    Translator m_translator;
    PromptEditorMode m_mode;
    bool m_boxIsEnglish = true;
};
