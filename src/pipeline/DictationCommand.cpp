#include "pipeline/DictationCommand.h"

#include <array>

namespace {

struct Option {
    const char* name;
    DictationCommand command;
};

using A = DictationCommand::Action;
constexpr std::array<Option, 6> kOptions{{
    {"--start-dictation", {A::start, false}},
    {"--stop-dictation", {A::stop, false}},
    {"--toggle-dictation", {A::toggle, false}},
    {"--start-translation", {A::start, true}},
    {"--stop-translation", {A::stop, true}},
    {"--toggle-translation", {A::toggle, true}},
}};

}  // namespace

std::optional<DictationCommand> DictationCommand::fromArguments(const QStringList& arguments) {
    for (const QString& argument : arguments)
        for (const Option& o : kOptions)
            if (argument == QLatin1String(o.name)) return o.command;
    return std::nullopt;
}

QString DictationCommand::option() const {
    for (const Option& o : kOptions)
        if (o.command == *this) return QLatin1String(o.name);
    return {};
}
