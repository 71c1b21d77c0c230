#pragma once

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStringList>
#include <set>

#include "core/TextTable.h"

// Checks of a table of interface texts as a translator edits its JSON file:
// a language left out by mistake would quietly show English, and a lost or
// extra placeholder would show "%1" or drop a number.
namespace texttablecheck {

// The style prompt editor is translated only into these; the others show English.
inline const std::set<QString> kPromptEditorLanguages = {"en", "ru", "es", "fr", "de", "tr"};

inline QString str(std::u16string_view text) {
    return QStringView(text.data(), qsizetype(text.size())).toString();
}

inline QStringList placeholders(const QString& text) {
    QStringList found;
    for (const auto& m : QRegularExpression(QStringLiteral("%[0-9]")).globalMatch(text))
        found << m.captured();
    found.sort();
    return found;
}

inline void checkEntry(const char* file, const TextTable::Entry& entry) {
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

// Every entry of the table: the whole language set (or the prompt editor's)
// and the placeholders of the English text.
inline void checkTable(const char* file, const TextTable& table) {
    ASSERT_FALSE(table.entries().empty()) << file;
    for (const TextTable::Entry& entry : table.entries()) checkEntry(file, entry);
}

}  // namespace texttablecheck
