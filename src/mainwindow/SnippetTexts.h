#pragma once

#include <QString>

class TextTable;

// The texts of the Dictionary and Snippets pages and of their sheets, in the
// interface language.
namespace SnippetTexts {
QString dictionary();
QString addEntry();
QString editEntry();
QString searchDictionary();
QString dictionaryEmpty();
QString dictionaryEmptyHint();
QString triggerWord();
QString replacement();
QString cancel();
QString add();
QString save();
QString deleteDictionaryEntry();
QString shortcutPlaceholder();
QString text();
QString textForLinux();
QString differentTextForWindows();
QString textForWindows();
QString sameShortcutNote();
QString snippets();
QString keyboard();
QString voice();
QString keyboardHint();
QString voiceHint();
QString searchSnippets();
QString nothingFound();
QString noSnippetsYet();
QString keyboardEmptyHint();
QString noVoiceSnippetsYet();
QString voiceEmptyHint();
QString addSnippet();
QString editSnippet();
QString deleteTextExpansion();
QString deleteSnippet();

// The table behind these texts, generated from SnippetTexts.json.
const TextTable& table();
}  // namespace SnippetTexts
