#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStringList>
#include <set>

#include "core/L10nTexts.h"
#include "core/TextTable.h"
#include "mainwindow/SnippetTexts.h"

namespace {

// The style prompt editor is translated only into these; the others show English.
const std::set<QString> kPromptEditorLanguages = {"en", "ru", "es", "fr", "de", "tr"};

QString str(std::u16string_view text) {
    return QStringView(text.data(), qsizetype(text.size())).toString();
}

QStringList placeholders(const QString& text) {
    QStringList found;
    for (const auto& m : QRegularExpression(QStringLiteral("%[0-9]")).globalMatch(text))
        found << m.captured();
    found.sort();
    return found;
}

void checkEntry(const char* file, const TextTable::Entry& entry) {
    SCOPED_TRACE(std::string(file) + ": " + str(entry.key).toStdString());
    const QString english = str(entry.texts[0]);
    ASSERT_FALSE(english.trimmed().isEmpty());
    std::set<QString> present;
    for (size_t i = 0; i < entry.texts.size(); ++i) {
        if (!entry.texts[i].data()) continue;
        const QString lang = str(TextTable::languages[i]), text = str(entry.texts[i]);
        present.insert(lang);
        EXPECT_FALSE(text.trimmed().isEmpty()) << lang.toStdString();
        EXPECT_EQ(placeholders(text), placeholders(english)) << lang.toStdString();
    }
    EXPECT_TRUE(present.size() == TextTable::languages.size() || present == kPromptEditorLanguages)
        << present.size() << " languages";
}

// The data files as a translator edits them: a language left out by mistake
// would quietly show English, and a lost or extra placeholder would show
// "%1" or drop a number.
TEST(L10nData, EveryKeyHasAWholeLanguageSetAndTheSamePlaceholdersAsEnglish) {
    const struct {
        const char* file;
        const TextTable& table;
    } tables[] = {
        {"L10nTexts.json", l10nTexts()},
        {"SnippetTexts.json", SnippetTexts::table()},
    };
    for (const auto& [file, table] : tables) {
        ASSERT_FALSE(table.entries().empty()) << file;
        for (const TextTable::Entry& entry : table.entries()) checkEntry(file, entry);
    }
}

}  // namespace
