#include <gtest/gtest.h>

#include <QFile>

#include "platform/InputSources.h"
#include "support/TestSupport.h"

TEST(InputSources, LanguageTableFromRulesFile) {
    const QString path = testsupport::root() + "/rules.xml";
    testsupport::writeFile(path, R"(<?xml version="1.0" encoding="UTF-8"?>
<xkbConfigRegistry version="1.1">
  <layoutList>
    <layout>
      <configItem>
        <name>ru</name>
        <description>Russian</description>
        <countryList><iso3166Id>RU</iso3166Id></countryList>
        <languageList><iso639Id>rus</iso639Id></languageList>
      </configItem>
      <variantList>
        <variant><configItem><name>phonetic</name><description>Phonetic</description></configItem></variant>
        <variant><configItem><name>tt</name>
          <languageList><iso639Id>tat</iso639Id></languageList></configItem></variant>
      </variantList>
    </layout>
    <layout>
      <configItem><name>cn</name><languageList><iso639Id>zho</iso639Id></languageList></configItem>
    </layout>
    <layout>
      <configItem><name>xx</name><languageList><iso639Id>qqq</iso639Id></languageList></configItem>
    </layout>
  </layoutList>
</xkbConfigRegistry>
)");
    const InputSources::LanguageTable table = InputSources::readLanguageTable(path);
    EXPECT_EQ(table.value("ru"), QStringList{"ru"});
    EXPECT_EQ(table.value("ru(phonetic)"), QStringList{"ru"}) << "inherits its layout's languages";
    EXPECT_EQ(table.value("ru(tt)"), QStringList{"tt"});
    EXPECT_EQ(table.value("cn"), QStringList{"zh"});
    EXPECT_EQ(table.value("xx"), QStringList{"qqq"}) << "no two-letter code: kept as listed";
    EXPECT_TRUE(InputSources::readLanguageTable(path + ".missing").isEmpty());
}

TEST(InputSources, SystemRulesNameTheCommonLayouts) {
    const QString evdev = "/usr/share/X11/xkb/rules/evdev.xml";
    if (!QFile::exists(evdev)) GTEST_SKIP() << "xkeyboard-config not installed";
    const InputSources::LanguageTable table = InputSources::readLanguageTable(evdev);
    const std::pair<const char*, const char*> cases[] = {
        {"us", "en"}, {"ru", "ru"}, {"ru(phonetic)", "ru"}, {"de", "de"},
        {"ua", "uk"}, {"cn", "zh"}, {"jp", "ja"},           {"fr", "fr"},
    };
    for (const auto& [layout, lang] : cases)
        EXPECT_TRUE(table.value(layout).contains(lang))
            << layout << ": " << table.value(layout).join(',').toStdString();
}
