// The snippet list and its file: the JSON the account also speaks, the
// editing operations, and what happens to a file that cannot be read whole.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "records/RecordsTestSupport.h"
#include "records/TextExpansionService.h"

namespace {

const char* kGoodItem = R"({"id":"0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0","trigger":"addr",
  "expanded_text":"1 Main St","match_both_layouts":false,"is_enabled":true})";

QString filePath(const QString& dirName) {
    return recordstest::freshDir(dirName) + "/Ormil/text_expansions.json";
}

void writeFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    testsupport::writeFile(path, data);
}

QJsonArray fileArray(const QString& path) {
    return QJsonDocument::fromJson(testsupport::readFile(path)).array();
}

}  // namespace

TEST(TextExpansionFile, RoundTripWritesSortedKeysUpperCaseIdsAndOmitsAbsentOptionals) {
    const QString path = filePath("roundtrip");
    TextExpansionService service(path);
    EXPECT_TRUE(testsupport::debugLogText().contains("[TextExpansion] No file at " + path +
                                                     ", starting with empty list"));
    service.addItem("sig", "Best regards,\nAnn", std::nullopt);
    service.addItem("addr", "1 Main St", QString("1 Main St, Windows"));
    QList<TextExpansionItem> items = service.items();
    items[0].description = "note";
    items[0].isEnabled = false;
    service.setItems(items);
    service.saveToFile();

    const QByteArray raw = testsupport::readFile(path);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    const QJsonArray array = QJsonDocument::fromJson(raw).array();
    ASSERT_EQ(array.size(), 2);
    const QJsonObject first = array[0].toObject();
    EXPECT_EQ(first.keys(), QStringList({"description", "expanded_text", "id", "is_enabled",
                                         "match_both_layouts", "trigger"}));
    const QString id = first["id"].toString();
    EXPECT_EQ(id, id.toUpper());
    EXPECT_EQ(id.size(), 36);
    EXPECT_TRUE(array[1].toObject().contains("expanded_text_windows"));
    EXPECT_FALSE(array[1].toObject().contains("description"));
    // Keys appear in the file in sorted order.
    EXPECT_LT(raw.indexOf("\"description\""), raw.indexOf("\"expanded_text\""));
    EXPECT_LT(raw.indexOf("\"is_enabled\""), raw.indexOf("\"match_both_layouts\""));

    TextExpansionService reloaded(path);
    EXPECT_EQ(reloaded.items(), service.items());
    EXPECT_TRUE(testsupport::debugLogText().contains("[TextExpansion] Loaded 2 items from file"));
}

TEST(TextExpansionFile, TheListIsWrittenItemByItemAsTheIndentedDocument) {
    TextExpansionItem plain;
    plain.id = QUuid("{0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0}");
    plain.trigger = "sig";
    plain.expandedText = "Best regards,\nAnn \"A\" \\ Привет\t!";
    TextExpansionItem full = plain;
    full.trigger = "addr";
    full.expandedTextWindows = "1 Main St\r\n";
    full.description = "";
    full.matchBothLayouts = false;
    const QList<QList<TextExpansionItem>> lists{{}, {plain}, {plain, full, plain}};
    for (const QList<TextExpansionItem>& list : lists) {
        QBuffer written;
        written.open(QIODevice::WriteOnly);
        ASSERT_TRUE(TextExpansionItem::writeIndentedList(written, list));
        EXPECT_EQ(
            written.data(),
            QJsonDocument(TextExpansionItem::listToJson(list)).toJson(QJsonDocument::Indented))
            << list.size();
    }
}

TEST(TextExpansionFile, OptionalKeysMayBeNullOrAbsent) {
    const QString path = filePath("optionals");
    writeFile(path, R"([{"id":"0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0","trigger":"a",
        "expanded_text":"b","expanded_text_windows":null,"match_both_layouts":true,
        "is_enabled":false}])");
    TextExpansionService service(path);
    ASSERT_EQ(service.items().size(), 1);
    const TextExpansionItem& item = service.items()[0];
    EXPECT_EQ(item.idString(), "0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0");
    EXPECT_FALSE(item.expandedTextWindows.has_value());
    EXPECT_FALSE(item.description.has_value());
    EXPECT_TRUE(item.matchBothLayouts);
    EXPECT_FALSE(item.isEnabled);
}

// A bad object costs only itself; the file as it was is kept aside before
// the first write replaces it.
TEST(TextExpansionFile, MalformedItemsAreSkippedAndTheFileKeptAside) {
    const struct {
        const char* name;
        const char* object;
    } bad[] = {
        {"no is_enabled", R"({"id":"11111111-2222-3333-4444-555555555555","trigger":"x",
            "expanded_text":"y","match_both_layouts":true})"},
        {"malformed id", R"({"id":"nope","trigger":"x","expanded_text":"y",
            "match_both_layouts":true,"is_enabled":true})"},
        {"braced id", R"({"id":"{11111111-2222-3333-4444-555555555555}","trigger":"x",
            "expanded_text":"y","match_both_layouts":true,"is_enabled":true})"},
        {"number for a Boolean", R"({"id":"11111111-2222-3333-4444-555555555555",
            "trigger":"x","expanded_text":"y","match_both_layouts":1,"is_enabled":true})"},
        {"null trigger", R"({"id":"11111111-2222-3333-4444-555555555555","trigger":null,
            "expanded_text":"y","match_both_layouts":true,"is_enabled":true})"},
        {"number description", R"({"id":"11111111-2222-3333-4444-555555555555","trigger":"x",
            "expanded_text":"y","description":5,"match_both_layouts":true,"is_enabled":true})"},
        {"not an object", R"("text")"},
    };
    for (const auto& c : bad) {
        const QString path = filePath("bad-item");
        const QByteArray original = QByteArray("[") + c.object + "," + kGoodItem + "]";
        writeFile(path, original);
        TextExpansionService service(path);
        ASSERT_EQ(service.items().size(), 1) << c.name;
        EXPECT_EQ(service.items()[0].trigger, "addr") << c.name;
        EXPECT_FALSE(QFile::exists(path + ".bad")) << "nothing written yet: " << c.name;
        service.addItem("new", "text", std::nullopt);
        EXPECT_EQ(testsupport::readFile(path + ".bad"), original) << c.name;
        EXPECT_EQ(fileArray(path).size(), 2) << c.name;
    }
    EXPECT_TRUE(testsupport::debugLogText().contains("[TextExpansion] Skipped a malformed item 0: "
                                                     "\"is_enabled\" is not a Boolean"));
}

TEST(TextExpansionFile, AFileThatIsNoListIsKeptAsideBeforeTheFirstWrite) {
    for (const QByteArray& contents : {QByteArray("{not json"), QByteArray(R"({"id":"x"})")}) {
        const QString path = filePath("bad-file");
        writeFile(path, contents);
        TextExpansionService service(path);
        EXPECT_TRUE(service.items().isEmpty());
        EXPECT_TRUE(testsupport::debugLogText().contains("[TextExpansion] Failed to load: "));
        service.addItem("a", "b", std::nullopt);
        EXPECT_EQ(testsupport::readFile(path + ".bad"), contents);
        // Only the first write copies: the .bad file keeps the user's data.
        service.addItem("c", "d", std::nullopt);
        EXPECT_EQ(testsupport::readFile(path + ".bad"), contents);
        EXPECT_EQ(fileArray(path).size(), 2);
    }
}

TEST(TextExpansionFile, EditingOperations) {
    const QString path = filePath("edits");
    TextExpansionService service(path);
    service.addItem("a", "A", std::nullopt);
    service.addItem("b", "B", std::nullopt);
    service.addItem("c", "C", std::nullopt);
    const TextExpansionItem added = service.items()[1];
    EXPECT_TRUE(added.matchBothLayouts);
    EXPECT_TRUE(added.isEnabled);
    EXPECT_FALSE(added.description.has_value());
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[TextExpansion] Added item trigger=\"c\" (3 total)"));

    // update keeps description, layouts and the enabled flag
    QList<TextExpansionItem> items = service.items();
    items[1].description = "kept";
    items[1].matchBothLayouts = false;
    items[1].isEnabled = false;
    service.setItems(items);
    service.updateItem(added.id, "bb", "BB", QString("W"));
    const TextExpansionItem updated = service.items()[1];
    EXPECT_EQ(updated.trigger, "bb");
    EXPECT_EQ(updated.expandedText, "BB");
    EXPECT_EQ(updated.expandedTextWindows, QString("W"));
    EXPECT_EQ(updated.description, QString("kept"));
    EXPECT_FALSE(updated.matchBothLayouts);
    EXPECT_FALSE(updated.isEnabled);
    EXPECT_EQ(TextExpansionService(path).items(), service.items());

    // an unknown id: update neither saves nor logs; delete does both
    QFile::remove(path);
    const QUuid unknown = QUuid::createUuid();
    service.updateItem(unknown, "x", "y", std::nullopt);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(testsupport::debugLogText().contains("Updated item id=" +
                                                      TextExpansionItem::idString(unknown)));
    service.deleteItem(unknown);
    EXPECT_EQ(fileArray(path).size(), 3);
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[TextExpansion] Deleted item id=" + TextExpansionItem::idString(unknown) +
        " (3 remaining)"));

    service.deleteItem(added.id);
    QStringList triggers;
    for (const auto& i : service.items()) triggers << i.trigger;
    EXPECT_EQ(triggers, QStringList({"a", "c"}));

    QList<TextExpansionItem> replacement{service.items()[1]};
    service.replaceAll(replacement);
    EXPECT_EQ(TextExpansionService(path).items(), replacement);
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[TextExpansion] Replaced all items (1 total)"));
}

TEST(TextExpansionFile, ASaveThatFailsKeepsTheListInMemory) {
    const QString dir = recordstest::freshDir("unwritable");
    // The file's folder is a plain file: nothing can be written below it.
    testsupport::writeFile(dir + "/Ormil", "x");
    TextExpansionService service(dir + "/Ormil/text_expansions.json");
    service.addItem("a", "b", std::nullopt);
    EXPECT_EQ(service.items().size(), 1);
    EXPECT_TRUE(testsupport::debugLogText().contains("[TextExpansion] Failed to save: "));
}
