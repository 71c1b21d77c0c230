#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>
#include <optional>

#include "platform/ObservableProperty.h"
#include "records/TextExpansionItem.h"

// The user's typed-trigger snippets, in the user's order, kept in
// "text_expansions.json". The Snippets page edits them, the account sync
// replaces them after a pull, and the typing engine reads them on every key.
// Main thread only.
class TextExpansionService : public QObject {
    Q_OBJECT
    // Settable from outside: the Snippets page flips `isEnabled` in place and
    // then calls saveToFile().
    ORMIL_PROPERTY(QList<TextExpansionItem>, items, setItems, {});

public:
    // Loads the file at `filePath` at once.
    explicit TextExpansionService(QString filePath, QObject* parent = nullptr);

    static TextExpansionService& shared();
    // "~/.local/share/Ormil/text_expansions.json"
    static QString defaultFilePath();
    const QString& filePath() const { return m_filePath; }

    void loadFromFile();
    void saveToFile();

    void replaceAll(const QList<TextExpansionItem>& items);
    void addItem(const QString& trigger, const QString& expandedText,
                 const std::optional<QString>& expandedTextWindows);
    void updateItem(const QUuid& id, const QString& trigger, const QString& expandedText,
                    const std::optional<QString>& expandedTextWindows);
    void deleteItem(const QUuid& id);

private:
    QString m_filePath;
    // The file on disk held something we could not read in full; it is
    // copied aside before the first write replaces it.
    bool m_keepBadFile = false;
};
