#pragma once

#include <utility>
#include <vector>

// The languages the speech service recognises, in the order the status menu
// and the settings page offer them: the stored code and the name shown for
// it (the same in every interface language).
inline const std::vector<std::pair<const char*, const char*>>& recognitionLanguageNames() {
    static const std::vector<std::pair<const char*, const char*>> names = {
        {"ru", "Russian"}, {"en", "English"},    {"de", "German"},  {"fr", "French"},
        {"es", "Spanish"}, {"it", "Italian"},    {"pt", "Portuguese"}, {"zh", "Chinese"},
        {"ja", "Japanese"}, {"ko", "Korean"}};
    return names;
}
