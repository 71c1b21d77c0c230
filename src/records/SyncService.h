#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <array>
#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <optional>

#include "service/AuthService.h"

class HistoryService;
class SerialQueue;
class SettingsStore;
class TextExpansionService;

// Keeps four collections of the signed-in user in step with the account:
// the synchronised settings, the dictionary, the voice snippets and the text
// expansions. Each exchange moves a whole collection: a push PUTs the local
// one, a pull GETs the remote one and overwrites the local one.
//
// Every operation starts at once and returns a future that is ready when the
// exchange has ended; none throws, failures are "[Sync] " log lines. The
// exchanges of one collection run one at a time in the order they were
// asked for (a slow pull can never land after a push asked later); different
// collections run side by side. Local data is read for a push and written
// after a pull on the main thread, so never wait on a future there.
class SyncService {
public:
    struct Account {
        // The stored access token, read at the start of every attempt.
        std::function<std::optional<QString>()> accessToken;
        // The account's one shared refresh; its failure is ignored.
        std::function<void()> refreshAccessToken;
        // The account's record and usage into AppState; failures ignored.
        std::function<void()> loadUserInfo;
        std::function<void()> loadUsageStats;
    };
    struct Collaborators {
        // The API base, scheme and host, no trailing slash.
        QString baseURL;
        HttpSend send;
        Account account;
        SettingsStore* settings = nullptr;               // default: the shared store
        HistoryService* history = nullptr;               // default: the shared store
        TextExpansionService* textExpansions = nullptr;  // default: the shared list
        // Rebuilds the status menu after pulled settings (main thread).
        std::function<void()> rebuildMenu;
    };
    using Done = std::shared_future<void>;
    // What tells the dictionary and the voice snippets apart (internal).
    struct EntryCollection;

    static SyncService& shared();
    // What shared() is built with; call once at start-up before first use.
    static void setSharedCollaborators(Collaborators collaborators);

    explicit SyncService(Collaborators collaborators);
    // Waits for the exchanges already asked for (their main-thread steps
    // need the event loop: let every future become ready first).
    ~SyncService();
    SyncService(const SyncService&) = delete;
    SyncService& operator=(const SyncService&) = delete;

    const QString& baseURL() const { return m_c.baseURL; }

    // With a stored token: the account's record and usage, then the pulls
    // of settings, dictionary, snippets and text expansions in this order.
    // Without one: nothing at all.
    Done pullAll();
    Done pullSettings();
    Done pushSettings();
    Done pullDictionary();
    Done pushDictionary();
    Done pullSnippets();
    Done pushSnippets();
    Done pullTextExpansions();
    Done pushTextExpansions();

    // The value sent as a text expansion's "expanded_text_windows".
    QJsonValue windowsFieldValueForSync(const std::optional<QString>& windowsText) const;

private:
    enum Lane {
        settingsLane,
        dictionaryLane,
        snippetsLane,
        expansionsLane,
        accountLane,
        laneCount
    };

    using PullStep = void (SyncService::*)(quint64 pushesSeen);
    Done enqueue(Lane lane, std::function<void()> job);
    Done push(Lane lane, void (SyncService::*step)());
    // A pull queued behind `previous` (none: at once). It remembers how many
    // pushes of its lane were asked for so far: when one more was asked by
    // the time the pulled data arrives, the local collection holds a change
    // newer than the account's copy, and the pull leaves it alone.
    Done pull(Lane lane, PullStep step, std::optional<Done> previous = std::nullopt);
    bool newerPushAsked(Lane lane, quint64 pushesSeen, const char* what) const;

    std::optional<QByteArray> httpGet(const QString& path, bool isRetry = false);
    std::optional<QByteArray> httpPut(const QString& path, const QByteArray& body,
                                      bool isRetry = false);
    std::optional<QByteArray> exchange(const QByteArray& method, const QString& path,
                                       const QByteArray& body, bool isRetry);
    // The top-level object of a pull's answer, if there is one.
    std::optional<QJsonObject> getObject(const QString& path);

    void runPullSettings(quint64 pushesSeen);
    void runPushSettings();
    void runPullDictionary(quint64 pushesSeen);
    void runPushDictionary();
    void runPullSnippets(quint64 pushesSeen);
    void runPushSnippets();
    void pullEntries(const EntryCollection& c, quint64 pushesSeen);
    void pushEntries(const EntryCollection& c);
    void runPullTextExpansions(quint64 pushesSeen);
    void runPushTextExpansions();

    QJsonObject settingsForPush() const;
    // None when the stored value is unreadable as a whole: then the key is
    // left out of the push rather than sent as an empty list.
    std::optional<QJsonArray> currentSavedPromptsForPush() const;
    void applyPulledSettings(const QJsonObject& remote);

    Collaborators m_c;
    SettingsStore& m_settings;
    HistoryService& m_history;
    TextExpansionService& m_expansions;
    std::array<std::unique_ptr<SerialQueue>, laneCount> m_lanes;
    std::array<std::atomic<quint64>, laneCount> m_pushesAsked{};
};
