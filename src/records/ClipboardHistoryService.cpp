#include "records/ClipboardHistoryService.h"

#include "platform/Characters.h"
#include "platform/DebugLog.h"
#include "platform/Pasteboard.h"
#include "records/ClipboardMarkers.h"
#include "platform/Threading.h"
#include "platform/Required.h"

ClipboardHistoryService& ClipboardHistoryService::shared() {
    static ClipboardHistoryService* instance =
        new ClipboardHistoryService(&Pasteboard::forwarding(), Clock::system());
    return *instance;
}

ClipboardHistoryService::ClipboardHistoryService(Pasteboard* pasteboard, Clock& clock,
                                                 QObject* parent)
    : QObject(parent), m_pasteboard(pasteboard), m_clock(clock) {
    requireCollaborator(m_pasteboard, "ClipboardHistoryService", "pasteboard");
}

Pasteboard& ClipboardHistoryService::pasteboard() const {
    return *m_pasteboard;
}

void ClipboardHistoryService::start() {
    ORMIL_ASSERT_MAIN_THREAD();
    if (m_timer) return;
    // Whatever is on the clipboard at launch is not a copy the user made now.
    m_lastChangeCount = pasteboard().changeCount();
    m_timer = m_clock.repeat(1.0, this, [this] { checkClipboard(); });
    debugLog(QStringLiteral("[ClipboardHistory] Started monitoring"));
}

void ClipboardHistoryService::checkClipboard() {
    ORMIL_ASSERT_MAIN_THREAD();
    const int count = pasteboard().changeCount();
    if (count == m_lastChangeCount) return;
    m_lastChangeCount = count;
    if (m_skipNextChange) {
        m_skipNextChange = false;
        return;
    }
    if (ClipboardMarkers::shouldSkipHistory(pasteboard())) return;
    const QString text = pasteboard().string();
    if (text.isEmpty()) return;
    if (!m_history.isEmpty() && m_history.first().text == text) return;
    add(text, false);
}

void ClipboardHistoryService::addTranscription(const QString& text) {
    ORMIL_ASSERT_MAIN_THREAD();
    if (text.isEmpty()) return;
    if (!m_history.isEmpty() && m_history.first().text == text) return;
    add(text, true);
    debugLog(QStringLiteral("[ClipboardHistory] Added transcription (") +
             Characters::leading(text, 30) + QStringLiteral("...)"));
}

void ClipboardHistoryService::copyToClipboard(const QString& text) {
    ORMIL_ASSERT_MAIN_THREAD();
    m_skipNextChange = true;
    pasteboard().clearContents();
    pasteboard().setString(text);
}

void ClipboardHistoryService::add(const QString& text, bool isTranscription) {
    m_history.prepend(ClipboardItem{text, m_clock.currentDateTime(), isTranscription});
    if (m_history.size() > maxItems) m_history.resize(maxItems);
}
