#include "core/AppState.h"

#include <QCoreApplication>

#include "platform/SettingsStore.h"

namespace {
TokenReader& defaultReader() {
    static TokenReader reader;
    return reader;
}
}  // namespace

void AppState::setDefaultTokenReader(TokenReader reader) {
    defaultReader() = std::move(reader);
}

AppState& AppState::shared() {
    static AppState* instance = new AppState(SettingsStore::shared(), defaultReader());
    return *instance;
}

AppState::AppState(SettingsStore& settings, TokenReader tokenReader)
    : m_settings(settings), m_tokenReader(std::move(tokenReader)) {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        if (thread() != app->thread()) moveToThread(app->thread());
    }
    m_lastTranscribedText = m_settings.string("lastTranscribedText").value_or(QString());
    loadAuthState();
}

void AppState::setLastTranscribedText(const QString& text) {
    if (text != m_lastTranscribedText) {
        m_lastTranscribedText = text;
        m_settings.set("lastTranscribedText", text);
    }
    emit lastTranscribedTextChanged();
}

void AppState::applyFileLimits(const FileLimits& limits) {
    setFilesFeatureEnabled(limits.featureEnabled);
    setFilesMaxSizeMb(limits.maxFileSizeMb);
    setFilesDailyMinutesLimit(limits.dailyMinutesLimit);
    setFilesDailyMinutesRemaining(limits.dailyMinutesRemaining);
    setFilesServiceAvailable(limits.serviceAvailable);
}

void AppState::loadAuthState() {
    if (!m_tokenReader) return;
    const TokenReadResult r = m_tokenReader(QStringLiteral("access_token"));
    if ((r.token && !r.token->isEmpty()) || r.status == -25308) setIsAuthenticated(true);
}

void AppState::updateUsageStats(int wordsUsed, int wordsLimit) {
    setWordsUsed(wordsUsed);
    setWordsLimit(wordsLimit);
}
