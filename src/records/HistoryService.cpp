#include "records/HistoryService.h"

#include <QDateTime>
#include <QStandardPaths>

#include "platform/Clock.h"
#include "platform/Threading.h"

using Kind = CollectionStore::Kind;

HistoryService& HistoryService::shared() {
    static HistoryService* instance = new HistoryService(defaultDatabasePath(), Clock::system());
    return *instance;
}

QString HistoryService::defaultDatabasePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Ormil/Ormil.sqlite");
}

HistoryService::HistoryService(QString databasePath, Clock& clock)
    : m_database(std::move(databasePath)),
      m_transcriptions(m_database, clock),
      m_collections(m_database, clock) {}

HistoryService::~HistoryService() = default;

bool HistoryService::isStoreLoaded() {
    ORMIL_ASSERT_MAIN_THREAD();
    return m_database.ensureOpen();
}

// ---- transcriptions ----

void HistoryService::saveTranscription(const QString& text, const QString& language,
                                       double duration) {
    ORMIL_ASSERT_MAIN_THREAD();
    m_transcriptions.save(text, language, duration);
}

QList<HistoryRecord> HistoryService::fetchTranscriptions(int limit, int offset) {
    ORMIL_ASSERT_MAIN_THREAD();
    return m_transcriptions.fetch(limit, offset);
}

QList<HistoryRecord> HistoryService::searchTranscriptions(const QString& query) {
    ORMIL_ASSERT_MAIN_THREAD();
    return m_transcriptions.search(query);
}

QList<HistoryRecord> HistoryService::searchStore(const QString& databasePath, const QString& query,
                                                 const QDateTime& now, int limit) {
    return TranscriptionStore::searchStore(databasePath, query, now, limit);
}

void HistoryService::deleteTranscription(const QUuid& id) {
    ORMIL_ASSERT_MAIN_THREAD();
    m_transcriptions.remove(id);
}

void HistoryService::clearAllTranscriptions() {
    ORMIL_ASSERT_MAIN_THREAD();
    m_transcriptions.clearAll();
}

int HistoryService::wordCount(const QString& text) {
    return TranscriptionStore::wordCount(text);
}

QString HistoryService::foldForSearch(const QString& text) {
    return TranscriptionStore::foldForSearch(text);
}

// ---- dictionary ----

void HistoryService::saveDictionaryEntry(const QString& trigger, const QString& replacement) {
    ORMIL_ASSERT_MAIN_THREAD();
    m_collections.insert(Kind::Dictionary, trigger, replacement);
}
QList<HistoryRecord> HistoryService::fetchDictionary() {
    ORMIL_ASSERT_MAIN_THREAD();
    return m_collections.fetch(Kind::Dictionary);
}
void HistoryService::deleteDictionaryEntry(const QUuid& id) {
    ORMIL_ASSERT_MAIN_THREAD();
    m_collections.remove(Kind::Dictionary, id);
}
void HistoryService::updateDictionaryEntry(const QUuid& id, const QString& trigger,
                                           const QString& replacement) {
    ORMIL_ASSERT_MAIN_THREAD();
    m_collections.update(Kind::Dictionary, id, trigger, replacement);
}
void HistoryService::replaceAllDictionaryEntries(const QList<QPair<QString, QString>>& entries) {
    ORMIL_ASSERT_MAIN_THREAD();
    m_collections.replaceAll(Kind::Dictionary, entries);
}
QString HistoryService::applyDictionary(const QString& text) {
    ORMIL_ASSERT_MAIN_THREAD();
    return m_collections.apply(Kind::Dictionary, text);
}

// ---- snippets ----

void HistoryService::saveSnippet(const QString& shortcut, const QString& text) {
    ORMIL_ASSERT_MAIN_THREAD();
    m_collections.insert(Kind::Snippets, shortcut, text);
}
QList<HistoryRecord> HistoryService::fetchSnippets() {
    ORMIL_ASSERT_MAIN_THREAD();
    return m_collections.fetch(Kind::Snippets);
}
void HistoryService::deleteSnippet(const QUuid& id) {
    ORMIL_ASSERT_MAIN_THREAD();
    m_collections.remove(Kind::Snippets, id);
}
void HistoryService::updateSnippet(const QUuid& id, const QString& shortcut, const QString& text) {
    ORMIL_ASSERT_MAIN_THREAD();
    m_collections.update(Kind::Snippets, id, shortcut, text);
}
void HistoryService::replaceAllSnippets(const QList<QPair<QString, QString>>& entries) {
    ORMIL_ASSERT_MAIN_THREAD();
    m_collections.replaceAll(Kind::Snippets, entries);
}
QString HistoryService::applySnippets(const QString& text) {
    ORMIL_ASSERT_MAIN_THREAD();
    return m_collections.apply(Kind::Snippets, text);
}
