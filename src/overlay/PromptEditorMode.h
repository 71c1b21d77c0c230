#pragma once

#include <QString>

// What the style prompt editor edits: the prompt of a built-in tone, an
// existing custom style (a saved prompt of its host) or a new custom style.
// Only the fields of its own kind are set; two modes are equal when the kind
// and every field are equal.
struct PromptEditorMode {
    enum class Kind { builtinTone, editCustomStyle, newCustomStyle };

    Kind kind = Kind::newCustomStyle;
    // builtinTone
    QString tone;
    QString title;
    // editCustomStyle
    QString key;
    QString name;
    QString prompt;
    bool sameLanguage = false;
    bool dontChangeMeaning = false;

    static PromptEditorMode builtinTone(const QString& tone, const QString& title) {
        PromptEditorMode m;
        m.kind = Kind::builtinTone;
        m.tone = tone;
        m.title = title;
        return m;
    }
    static PromptEditorMode editCustomStyle(const QString& key, const QString& name,
                                            const QString& prompt, bool sameLanguage,
                                            bool dontChangeMeaning) {
        PromptEditorMode m;
        m.kind = Kind::editCustomStyle;
        m.key = key;
        m.name = name;
        m.prompt = prompt;
        m.sameLanguage = sameLanguage;
        m.dontChangeMeaning = dontChangeMeaning;
        return m;
    }
    static PromptEditorMode newCustomStyle() { return {}; }

    bool isBuiltin() const { return kind == Kind::builtinTone; }
    bool isCustom() const { return kind != Kind::builtinTone; }

    bool operator==(const PromptEditorMode&) const = default;
};
