#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <span>
#include <string_view>

// Interface texts by key and language, as constant data generated at build
// time from a JSON file (scripts/generate-texts), so a lookup reads no file
// and parses nothing. Any thread may look texts up.
class TextTable {
public:
    // The interface languages, English first.
    static constexpr std::array<std::u16string_view, 15> languages = {
        u"en", u"ru", u"es", u"fr", u"de", u"tr", u"it", u"pt",
        u"pl", u"uk", u"ja", u"ko", u"zh", u"hi", u"ar"};

    // One key and its texts in the order of `languages`; a text the key does
    // not have is a null view.
    struct Entry {
        std::u16string_view key;
        std::array<std::u16string_view, languages.size()> texts;
    };

    // `entries` sorted by key.
    constexpr explicit TextTable(std::span<const Entry> entries) : m_entries(entries) {}

    // The text of `key` in `language`, else its English text, else empty.
    QString text(QStringView key, QStringView language) const;

    std::span<const Entry> entries() const { return m_entries; }

private:
    std::span<const Entry> m_entries;
};
