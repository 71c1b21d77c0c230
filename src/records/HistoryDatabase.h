#pragma once

#include <QString>
#include <QVariantList>
#include <functional>

class QSqlDatabase;

// The SQLite file behind the history store and its one connection: opened
// and built on first use, one transaction per write. Main thread only (the
// connection belongs to the thread that opened it).
class HistoryDatabase {
public:
    explicit HistoryDatabase(QString path);
    ~HistoryDatabase();
    HistoryDatabase(const HistoryDatabase&) = delete;
    HistoryDatabase& operator=(const HistoryDatabase&) = delete;

    QString path() const { return m_path; }
    // Opens the store on first use; a failed open is not retried.
    bool ensureOpen();
    bool isLoaded() const { return m_loaded; }
    // Whether the connection has ormil_contains (see registerContains).
    bool hasContains() const { return m_hasContains; }
    QSqlDatabase connection() const;

    // Runs body inside one transaction; commits when it returns true. Posts
    // ormilDataChanged when the commit succeeded and rows changed.
    bool write(const std::function<bool(int& changes, QString& error)>& body);
    // write() of one statement; the rows it touched are the changes.
    bool writeStatement(const QString& sql, const QVariantList& values);

    // SQLite's count of commits by other connections; -1 when unknown.
    qint64 dataVersion() const;

    // A connection name no other connection of the process has.
    static QString uniqueConnectionName(const QString& prefix);
    // Gives the connection ormil_contains(text, part): whether the UTF-8
    // bytes of part occur in text. False when it cannot be added.
    static bool registerContains(const QSqlDatabase& db);

private:
    bool createSchema(QString* error);

    QString m_path;
    QString m_connection;
    bool m_built = false;
    bool m_loaded = false;
    bool m_hasContains = false;
};
