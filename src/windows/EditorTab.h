#pragma once

#include <QString>
#include <optional>

// One tab of the text editor: a built-in tone (key = the tone) or a saved
// custom prompt (key = "custom:" + its title).
struct EditorTab {
    QString key;
    QString title;
    // The built-in tone; absent on custom tabs.
    std::optional<QString> tone;
    // A custom tab's prompt, or a built-in tab's override when there is one.
    std::optional<QString> prompt;
    bool isCustom = false;
    bool sameLanguage = true;
    bool dontChangeMeaning = false;

    bool operator==(const EditorTab&) const = default;
};
