#pragma once

#include <QDateTime>
#include <QString>

// Fills "{DATE}", "{TIME}", "{CLIPBOARD}" and the other placeholders of a
// snippet's text at the moment it is typed. Month and weekday names come out
// in Russian (genitive month names: "10 декабря 2026"); the purely numeric
// forms follow `currentLocale`. Unknown placeholders stay as they are.
namespace TextExpansionPlaceholders {

// `now` is one instant for every placeholder; dates are shown in the
// process's time zone. `currentLocale` is an ICU locale name such as
// "en_US"; empty means the process's default locale. The clipboard text is
// put in last, so placeholders inside it are left alone.
QString expand(const QString& text, const QDateTime& now, const QString& clipboardText,
               const QString& currentLocale = {});

}  // namespace TextExpansionPlaceholders
