#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// A start, stop or toggle of a dictation asked for on the command line
// (`ormil --start-dictation`), so that a desktop's own key binding can drive
// the recording where the application cannot hear the keys itself.
struct DictationCommand {
    enum class Action { start, stop, toggle };
    Action action = Action::start;
    // The translate variant (`--start-translation` ...): the text comes back
    // translated, as with the translate key.
    bool translate = false;

    // The first command among a launch's arguments; none when there is no
    // command (other arguments, such as links, are left to their handlers).
    static std::optional<DictationCommand> fromArguments(const QStringList& arguments);
    // The option that asks for this command ("--stop-translation").
    QString option() const;

    bool operator==(const DictationCommand&) const = default;
};
