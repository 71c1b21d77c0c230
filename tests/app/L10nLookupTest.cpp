#include <gtest/gtest.h>

#include "app/L10n.h"
#include "platform/SettingsStore.h"

TEST(L10nLookup, LanguageRuleTable) {
    SettingsStore settings;
    SettingsStore::setSharedForTesting(&settings);
    struct Case {
        QJsonValue lang;
        QString expected;
    };
    const Case cases[] = {
        {QJsonValue(QJsonValue::Undefined), "Session expired"},
        {"ru", "Сессия истекла"},
        {"de", "Sitzung abgelaufen"},
        {"xx", "Session expired"},
        {"pt-BR", "Session expired"},
        {"RU", "Session expired"},
        {QJsonValue(7), "Session expired"},
    };
    for (const Case& c : cases) {
        settings.set("interfaceLanguage", c.lang);
        EXPECT_EQ(L10n::sessionExpiredTitle(), c.expected) << c.lang.toVariant().toString().toStdString();
    }
    settings.set("interfaceLanguage", "ja");
    EXPECT_EQ(L10n::t({{"ru", "только русский"}}), "");
    settings.set("interfaceLanguage", "ru");
    EXPECT_EQ(L10n::longRecordingWarning(24), "Запись уже >24 мин. Качество результата может снизиться!");
    settings.set("interfaceLanguage", "en");
    EXPECT_EQ(L10n::longRecordingWarning(24),
              "Recording has been going for over 24 min. The result may be less accurate!");
    EXPECT_EQ(L10n::stepHoldDesc("%2"), "Press and hold\n%2");
    SettingsStore::setSharedForTesting(nullptr);
}
