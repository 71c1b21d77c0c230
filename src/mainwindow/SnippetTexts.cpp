#include "mainwindow/SnippetTexts.h"

#include "core/L10n.h"
#include "core/TextTable.h"

namespace {

QString lookup(const QString& key) {
    return SnippetTexts::table().text(key, L10n::currentLanguage());
}

}  // namespace

// Each text is the one stored under the function's own name, so the two
// cannot drift apart.
#define ORMIL_SNIPPET_TEXT(name)              \
    QString SnippetTexts::name() {            \
        return lookup(QStringLiteral(#name)); \
    }

ORMIL_SNIPPET_TEXT(dictionary)
ORMIL_SNIPPET_TEXT(addEntry)
ORMIL_SNIPPET_TEXT(editEntry)
ORMIL_SNIPPET_TEXT(searchDictionary)
ORMIL_SNIPPET_TEXT(dictionaryEmpty)
ORMIL_SNIPPET_TEXT(dictionaryEmptyHint)
ORMIL_SNIPPET_TEXT(triggerWord)
ORMIL_SNIPPET_TEXT(replacement)
ORMIL_SNIPPET_TEXT(cancel)
ORMIL_SNIPPET_TEXT(add)
ORMIL_SNIPPET_TEXT(save)
ORMIL_SNIPPET_TEXT(deleteDictionaryEntry)
ORMIL_SNIPPET_TEXT(shortcutPlaceholder)
ORMIL_SNIPPET_TEXT(text)
ORMIL_SNIPPET_TEXT(textForLinux)
ORMIL_SNIPPET_TEXT(differentTextForWindows)
ORMIL_SNIPPET_TEXT(textForWindows)
ORMIL_SNIPPET_TEXT(sameShortcutNote)
ORMIL_SNIPPET_TEXT(snippets)
ORMIL_SNIPPET_TEXT(keyboard)
ORMIL_SNIPPET_TEXT(voice)
ORMIL_SNIPPET_TEXT(keyboardHint)
ORMIL_SNIPPET_TEXT(voiceHint)
ORMIL_SNIPPET_TEXT(searchSnippets)
ORMIL_SNIPPET_TEXT(nothingFound)
ORMIL_SNIPPET_TEXT(noSnippetsYet)
ORMIL_SNIPPET_TEXT(keyboardEmptyHint)
ORMIL_SNIPPET_TEXT(noVoiceSnippetsYet)
ORMIL_SNIPPET_TEXT(voiceEmptyHint)
ORMIL_SNIPPET_TEXT(addSnippet)
ORMIL_SNIPPET_TEXT(editSnippet)
ORMIL_SNIPPET_TEXT(deleteTextExpansion)
ORMIL_SNIPPET_TEXT(deleteSnippet)
