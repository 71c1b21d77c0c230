// The saved prompts' stored and synchronised forms.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

#include "platform/SettingsStore.h"
#include "records/SavedPromptTab.h"
#include "support/TestSupport.h"

namespace {

QByteArray json(const QJsonValue& v) {
    return v.isArray() ? QJsonDocument(v.toArray()).toJson(QJsonDocument::Compact)
                       : QJsonDocument(v.toObject()).toJson(QJsonDocument::Compact);
}

}  // namespace

TEST(SavedPromptTab, StoredElementsReadWithTheirDefaults) {
    struct Case {
        const char* element;
        std::optional<SavedPromptTab> expected;
    };
    const Case cases[] = {
        {R"({"name":"A","prompt":"p"})", SavedPromptTab{"A", "p", true, false}},
        {R"({"name":"A","prompt":"p","sameLanguage":null,"dontChangeMeaning":null})",
         SavedPromptTab{"A", "p", true, false}},
        {R"({"name":"A","prompt":"p","sameLanguage":false,"dontChangeMeaning":true,"x":1})",
         SavedPromptTab{"A", "p", false, true}},
        {R"({"name":"","prompt":""})", SavedPromptTab{"", "", true, false}},
        {R"({"name":"A"})", std::nullopt},
        {R"({"name":7,"prompt":"p"})", std::nullopt},
        {R"({"name":"A","prompt":"p","sameLanguage":"yes"})", std::nullopt},
        {R"({"name":"A","prompt":"p","dontChangeMeaning":1})", std::nullopt},
        {R"("just text")", std::nullopt},
    };
    for (const Case& c : cases) {
        const QByteArray bytes = QByteArray("[") + c.element + "]";
        const auto list = SavedPrompts::decode(bytes);
        ASSERT_TRUE(list.has_value()) << c.element;
        if (c.expected) {
            ASSERT_EQ(list->size(), 1) << c.element;
            EXPECT_EQ(list->first(), *c.expected) << c.element;
        } else {
            EXPECT_TRUE(list->isEmpty()) << c.element;
        }
    }
}

TEST(SavedPromptTab, WriterEmitsAllFourKeysCompactly) {
    EXPECT_EQ(
        SavedPrompts::encode({{"Письмо", "Be \"kind\"", true, false}, {"b", "", false, true}}),
        QByteArray(R"([{"dontChangeMeaning":false,"name":"Письмо","prompt":"Be \"kind\"",)"
                   R"("sameLanguage":true},{"dontChangeMeaning":true,"name":"b",)"
                   R"("prompt":"","sameLanguage":false}])"));
    EXPECT_EQ(SavedPrompts::encode({}), QByteArray("[]"));

    SettingsStore s;
    const QList<SavedPromptTab> tabs{{"one", "first", false, true},
                                     {"two", "second\n", true, false}};
    SavedPrompts::save(s, tabs);
    EXPECT_TRUE(s.isData("savedPrompts"));
    EXPECT_EQ(SavedPrompts::load(s), tabs);
}

TEST(SavedPromptTab, DamagedElementsAreDroppedOneByOne) {
    SettingsStore s;
    s.setData("savedPrompts", R"([{"name":"keep","prompt":"1"},{"name":"lost"},)"
                              R"({"name":"also","prompt":"2","sameLanguage":false}])");
    const auto list = SavedPrompts::load(s);
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(*list,
              (QList<SavedPromptTab>{{"keep", "1", true, false}, {"also", "2", false, false}}));
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[SavedPrompts] Dropped saved prompt #1: \"prompt\" is not a string"));
}

TEST(SavedPromptTab, UnreadableValueIsToldApartFromAnEmptyList) {
    SettingsStore s;
    EXPECT_EQ(SavedPrompts::load(s), QList<SavedPromptTab>{});  // absent: empty

    const QJsonValue unreadable[] = {
        SettingsStore::dataValue("not json"),
        SettingsStore::dataValue(R"({"name":"A","prompt":"p"})"),
        QJsonValue(QString("not json")),
        QJsonArray{QJsonObject{{"name", "A"}, {"prompt", "p"}}},
    };
    for (const QJsonValue& v : unreadable) {
        s.set("savedPrompts", v);
        EXPECT_FALSE(SavedPrompts::load(s).has_value()) << json(v).toStdString();
        EXPECT_TRUE(SavedPrompts::loadOrEmpty(s).isEmpty());
    }
}

TEST(SavedPromptTab, WireObjectsConvertWithTheirDefaults) {
    const QJsonArray pulled{
        QJsonObject{{"Name", "a"}, {"Prompt", "x"}},
        QJsonObject{
            {"Name", "b"}, {"Prompt", "y"}, {"SameLanguage", "no"}, {"DontChangeMeaning", 1}},
        QJsonObject{
            {"Name", "c"}, {"Prompt", "z"}, {"SameLanguage", false}, {"DontChangeMeaning", true}},
        QJsonObject{{"Name", "no prompt"}},
        QJsonObject{{"Name", QJsonValue::Null}, {"Prompt", "w"}},
    };
    const QList<SavedPromptTab> tabs = SavedPrompts::fromWire(pulled);
    EXPECT_EQ(tabs,
              (QList<SavedPromptTab>{
                  {"a", "x", true, false}, {"b", "y", true, false}, {"c", "z", false, true}}));
    EXPECT_EQ(
        SavedPrompts::toWire(tabs).at(2).toObject(),
        (QJsonObject{
            {"Name", "c"}, {"Prompt", "z"}, {"SameLanguage", false}, {"DontChangeMeaning", true}}));
}

TEST(SavedPromptTab, EditorTextValueIsConvertedToTheStoredBytes) {
    struct Case {
        const char* name;
        QJsonValue stored;
        bool converted;
        QList<SavedPromptTab> tabs;  // read before and after
    };
    const QString text =
        R"([{"name":"Mail","prompt":"Write","sameLanguage":false,)"
        R"("dontChangeMeaning":true},{"name":"broken"},{"name":"Post","prompt":""}])";
    const Case cases[] = {
        {"text of the earlier editor",
         text,
         true,
         {{"Mail", "Write", false, true}, {"Post", "", true, false}}},
        {"empty text list", QString("[]"), true, {}},
        {"bytes already",
         SettingsStore::dataValue(R"([{"name":"A","prompt":"p"}])"),
         false,
         {{"A", "p", true, false}}},
        {"absent", QJsonValue(QJsonValue::Undefined), false, {}},
        {"text that is no list", QString("nope"), false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsStore s;
        if (!c.stored.isUndefined()) s.set("savedPrompts", c.stored);
        EXPECT_EQ(SavedPrompts::loadOrEmpty(s), c.tabs);
        EXPECT_EQ(SavedPrompts::convertStoredText(s), c.converted);
        EXPECT_EQ(SavedPrompts::loadOrEmpty(s), c.tabs);
        if (c.converted) {
            EXPECT_EQ(s.data("savedPrompts"), SavedPrompts::encode(c.tabs));
            EXPECT_FALSE(SavedPrompts::convertStoredText(s));  // once
        } else {
            EXPECT_EQ(s.value("savedPrompts"), c.stored);
        }
    }
}
