#include "records/TextExpansionService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

#include "platform/DebugLog.h"
#include "platform/PrivateFiles.h"
#include "platform/Threading.h"

namespace {
const QString kLog = QStringLiteral("[TextExpansion] ");

QString quoted(const QString& s) {
    return QLatin1Char('"') + s + QLatin1Char('"');
}
}  // namespace

TextExpansionService::TextExpansionService(QString filePath, QObject* parent)
    : QObject(parent), m_filePath(std::move(filePath)) {
    loadFromFile();
}

TextExpansionService& TextExpansionService::shared() {
    static TextExpansionService* instance = new TextExpansionService(defaultFilePath());
    return *instance;
}

QString TextExpansionService::defaultFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Ormil/text_expansions.json");
}

void TextExpansionService::loadFromFile() {
    ORMIL_ASSERT_MAIN_THREAD();
    if (!QFileInfo::exists(m_filePath)) {
        debugLog(kLog + "No file at " + m_filePath + ", starting with empty list");
        return;
    }
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        debugLog(kLog + "Failed to load: " + file.errorString());
        return;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!doc.isArray()) {
        m_keepBadFile = true;
        debugLog(kLog + "Failed to load: " +
                 (parseError.error != QJsonParseError::NoError ? parseError.errorString()
                                                               : QStringLiteral("not a list")));
        return;
    }
    // One bad object costs only itself; the file is kept aside before it is
    // rewritten without it.
    QStringList skipped;
    QList<TextExpansionItem> loaded = TextExpansionItem::listFromJson(doc.array(), &skipped);
    for (const QString& why : skipped) debugLog(kLog + "Skipped a malformed " + why);
    if (!skipped.isEmpty()) m_keepBadFile = true;
    setItems(loaded);
    debugLog(kLog + "Loaded " + QString::number(loaded.size()) + " items from file");
}

void TextExpansionService::saveToFile() {
    ORMIL_ASSERT_MAIN_THREAD();
    const QFileInfo info(m_filePath);
    PrivateFiles::ensureDir(info.absolutePath());
    if (m_keepBadFile) {
        m_keepBadFile = false;
        const QString bad = m_filePath + QStringLiteral(".bad");
        QFile::remove(bad);
        if (QFile::copy(m_filePath, bad)) debugLog(kLog + "Kept the unreadable file as " + bad);
    }
    QSaveFile file(m_filePath);
    const bool written = file.open(QIODevice::WriteOnly) &&
                         file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
                         TextExpansionItem::writeIndentedList(file, items()) && file.commit();
    if (written)
        debugLog(kLog + "Saved " + QString::number(items().size()) + " items to file");
    else
        debugLog(kLog + "Failed to save: " + file.errorString());
}

void TextExpansionService::replaceAll(const QList<TextExpansionItem>& newItems) {
    ORMIL_ASSERT_MAIN_THREAD();
    setItems(newItems);
    saveToFile();
    debugLog(kLog + "Replaced all items (" + QString::number(newItems.size()) + " total)");
}

void TextExpansionService::addItem(const QString& trigger, const QString& expandedText,
                                   const std::optional<QString>& expandedTextWindows) {
    ORMIL_ASSERT_MAIN_THREAD();
    TextExpansionItem item;
    item.id = QUuid::createUuid();
    item.trigger = trigger;
    item.expandedText = expandedText;
    item.expandedTextWindows = expandedTextWindows;
    item.matchBothLayouts = true;
    item.isEnabled = true;
    QList<TextExpansionItem> list = items();
    list.append(item);
    setItems(list);
    saveToFile();
    debugLog(kLog + "Added item trigger=" + quoted(trigger) + " (" + QString::number(list.size()) +
             " total)");
}

void TextExpansionService::updateItem(const QUuid& id, const QString& trigger,
                                      const QString& expandedText,
                                      const std::optional<QString>& expandedTextWindows) {
    ORMIL_ASSERT_MAIN_THREAD();
    QList<TextExpansionItem> list = items();
    auto it = std::find_if(list.begin(), list.end(),
                           [&](const TextExpansionItem& i) { return i.id == id; });
    if (it == list.end()) return;
    it->trigger = trigger;
    it->expandedText = expandedText;
    it->expandedTextWindows = expandedTextWindows;
    setItems(list);
    saveToFile();
    debugLog(kLog + "Updated item id=" + TextExpansionItem::idString(id));
}

void TextExpansionService::deleteItem(const QUuid& id) {
    ORMIL_ASSERT_MAIN_THREAD();
    QList<TextExpansionItem> list = items();
    list.removeIf([&](const TextExpansionItem& i) { return i.id == id; });
    setItems(list);
    saveToFile();
    debugLog(kLog + "Deleted item id=" + TextExpansionItem::idString(id) + " (" +
             QString::number(list.size()) + " remaining)");
}
