#pragma once

#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <optional>

#include "platform/ObservableProperty.h"
#include "records/SavedPromptTab.h"
#include "windows/EditorTab.h"

class Pasteboard;
class SettingsStore;
class TranscriptionService;

// The state behind the AI text editor: the source text, the row of preset
// tabs (built-in tones and saved custom prompts), one result per tab and a
// status line. Runs a tab or a one-off instruction through the service's
// post-processing. All its texts are Russian. Main thread only; one model
// per editor window.
class TextEditorModel : public QObject {
    Q_OBJECT
public:
    // One post-processing request as the service takes it.
    struct PostProcessRequest {
        QString text;
        QString toneStyle;
        std::optional<QString> customPrompt;
        bool culturedFilter = false;
        QString language;
        std::optional<bool> sameLanguage;
        std::optional<bool> dontChangeMeaning;
        bool operator==(const PostProcessRequest&) const = default;
    };
    // The answer: the text, or else the error's user-facing description.
    struct PostProcessOutcome {
        std::optional<QString> text;
        QString error;
    };
    // Sends a request; done runs later on the main thread.
    using PostProcessor = std::function<void(const PostProcessRequest& request,
                                             std::function<void(PostProcessOutcome)> done)>;
    // The service's post-processing through the client, run on a worker
    // thread.
    static PostProcessor servicePostProcessor(TranscriptionService& client);

    // A saved custom prompt, in the one stored form the account's settings
    // synchronisation also reads and writes.
    using SavedPrompt = SavedPromptTab;

    // All are required.
    struct Collaborators {
        SettingsStore* settings = nullptr;
        PostProcessor postProcess;
        // The newest history records.
        std::function<QList<QVariantMap>(int limit, int offset)> fetchHistory;
    };

    explicit TextEditorModel(Collaborators collaborators, QObject* parent = nullptr);

    // The built-in tabs, in strip order.
    static const QList<EditorTab>& builtins();
    // Longest text sent in one request, in characters.
    static constexpr int maxRequestCharacters = 10000;

    ORMIL_PROPERTY(QString, source, setSource, {});
    ORMIL_PROPERTY(QList<EditorTab>, tabs, setTabs, {});
    ORMIL_PROPERTY(std::optional<QString>, activeKey, setActiveKey, {});
    ORMIL_PROPERTY(QString, result, setResult, {});
    ORMIL_PROPERTY(bool, hasResult, setHasResult, false);
    ORMIL_PROPERTY(bool, busy, setBusy, false);
    ORMIL_PROPERTY(QString, status, setStatus, {});
    ORMIL_PROPERTY(bool, showHistory, setShowHistory, false);
    ORMIL_PROPERTY(QList<QVariantMap>, historyItems, setHistoryItems, {});

public:
    const QMap<QString, QString>& resultsCache() const { return m_resultsCache; }
    // Raised while the window replaces the source itself, so that the
    // replacement does not count as the user's edit.
    bool suppressReset = false;

    // A new source from the window's opener: trimmed, then the tabs are read
    // again and every result is cleared.
    void handOverSource(const QString& text);

    void loadTabs();
    void resetResults();
    void persistTabs();
    void stashActiveResultEdits();
    void activateTab(const QString& key);
    void runCustomPrompt(const QString& instruction);
    void appendToSource(const QString& text);
    void moveTab(const QString& key, const QString& target, bool after);
    void deleteTab(const QString& key);
    void hideBuiltinTab(const EditorTab& tab);
    void restoreHiddenBuiltin(const QString& tone);
    // Creates or replaces a custom tab; a returned message is an error for
    // the form, and nothing changed.
    std::optional<QString> upsertCustomTab(const std::optional<QString>& editingKey,
                                           const QString& name, const QString& prompt,
                                           bool sameLanguage, bool dontChangeMeaning);
    void loadHistory();
    // (tone, title) of the hidden built-in tabs, in built-in order.
    QList<QPair<QString, QString>> hiddenBuiltinTitles() const;

    // Puts the result on the clipboard as it stands.
    void copyResult(Pasteboard& pasteboard);
    // Hands a non-blank result to apply (untrimmed); a blank one is dropped.
    void applyResult(const std::function<void(const QString&)>& apply) const;

    static QList<SavedPrompt> loadSavedPrompts(const SettingsStore& settings);
    static void saveSavedPrompts(SettingsStore& settings, const QList<SavedPrompt>& prompts);

private:
    void onSourceChanged();
    // Drops the tab, its cached result and, when it is active, the result shown.
    void removeTab(const QString& key);
    void send(const PostProcessRequest& request,
              std::function<void(const PostProcessOutcome&)> apply);

    Collaborators m_c;
    SettingsStore& m_settings;
    QMap<QString, QString> m_resultsCache;
    // Raised by every reset: an answer to an older generation is stale.
    quint64 m_generation = 0;
};
