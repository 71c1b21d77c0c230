#pragma once

#include <QMap>
#include <QString>

// The English instruction prompts of the built-in tones and the languages
// they are translated into for the interface.
namespace BuiltinTonePromptDefaults {

// Tone identifier -> English prompt ("neutral", "cultured", "formal",
// "casual", "concise", "summary", "theses", "grammar", "readable").
const QMap<QString, QString>& values();

// Interface language code -> English name of the language, the target of
// prompt translation. English is the prompts' own language.
const QMap<QString, QString>& interfaceLanguageNames();

// tone + "|" + lang + "|" + FNV-1a (32 bit) of the UTF-8 bytes of sourceText
// as eight lower-case hex digits: a key that changes with the prompt.
QString cacheKey(const QString& tone, const QString& lang, const QString& sourceText);

}  // namespace BuiltinTonePromptDefaults
