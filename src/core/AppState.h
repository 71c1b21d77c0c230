#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "platform/ObservableProperty.h"

class SettingsStore;

// What the token store answers: the token (when one is stored) and a status
// code (0 found, -25300 not found, -25308 locked/needs interaction, other).
struct TokenReadResult {
    std::optional<QString> token;
    int status = -25300;
};
using TokenReader = std::function<TokenReadResult(const QString& key)>;

// The file-transcription limits as the service reports them.
struct FileLimits {
    bool featureEnabled = false;
    int dailyMinutesLimit = 0;
    int dailyMinutesUsed = 0;
    int dailyMinutesRemaining = 0;
    int maxFileSizeMb = 0;
    bool serviceAvailable = false;
};

// The one observable state object the interface draws from. Lives on the
// main thread; each property has its own signal, sent on every assignment.
class AppState : public QObject {
    Q_OBJECT
public:
    static AppState& shared();
    // The token store that shared() asks at creation (the account service
    // registers itself here at start-up).
    static void setDefaultTokenReader(TokenReader reader);

    AppState(SettingsStore& settings, TokenReader tokenReader);

    ORMIL_PUBLISHED(bool, isRecording, setIsRecording, false);
    ORMIL_PUBLISHED(double, recordingDuration, setRecordingDuration, 0);
    ORMIL_PUBLISHED(bool, isAuthenticated, setIsAuthenticated, false);
    ORMIL_PUBLISHED(QString, userEmail, setUserEmail, {});
    ORMIL_PUBLISHED(QString, userName, setUserName, {});
    ORMIL_PUBLISHED(QString, userPlan, setUserPlan, QStringLiteral("Free"));
    ORMIL_PUBLISHED(bool, isAdmin, setIsAdmin, false);
    ORMIL_PUBLISHED(int, wordsUsed, setWordsUsed, 0);
    ORMIL_PUBLISHED(int, wordsLimit, setWordsLimit, 2000);
    ORMIL_PUBLISHED(bool, filesFeatureEnabled, setFilesFeatureEnabled, false);
    ORMIL_PUBLISHED(int, filesMaxSizeMb, setFilesMaxSizeMb, 100);
    ORMIL_PUBLISHED(int, filesDailyMinutesLimit, setFilesDailyMinutesLimit, -1);
    ORMIL_PUBLISHED(int, filesDailyMinutesRemaining, setFilesDailyMinutesRemaining, -1);
    ORMIL_PUBLISHED(bool, filesServiceAvailable, setFilesServiceAvailable, true);
    ORMIL_PUBLISHED(bool, isProcessing, setIsProcessing, false);
    ORMIL_PUBLISHED(QString, processingStatus, setProcessingStatus, {});
    ORMIL_PUBLISHED(std::optional<QString>, lastError, setLastError, {});

public:
    // Persisted under "lastTranscribedText"; signals every assignment, but an
    // equal value writes nothing.
    const QString& lastTranscribedText() const { return m_lastTranscribedText; }
    void setLastTranscribedText(const QString& text);
    Q_SIGNAL void lastTranscribedTextChanged();

    bool isUnlimitedWords() const { return m_wordsLimit < 0 || m_wordsLimit > 999999; }
    void applyFileLimits(const FileLimits& limits);
    // Sets isAuthenticated when a non-empty access token is stored or the
    // store is locked; never sets it to false.
    void loadAuthState();

    void updateUsageStats(int wordsUsed, int wordsLimit);
    void setRecording(bool recording) { setIsRecording(recording); }
    void setError(const std::optional<QString>& error) { setLastError(error); }

private:
    SettingsStore& m_settings;
    TokenReader m_tokenReader;
    QString m_lastTranscribedText;
};
