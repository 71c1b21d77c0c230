#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include "platform/Clock.h"

class Pasteboard;

// Remembers, in memory only, the last texts copied through the clipboard or
// produced by dictation, newest first. Copies are noticed by polling the
// clipboard's change counter once a second. Main thread only.
class ClipboardHistoryService : public QObject {
    Q_OBJECT
public:
    struct ClipboardItem {
        QString text;
        QDateTime timestamp;
        bool isTranscription = false;
    };

    static constexpr int maxItems = 15;

    static ClipboardHistoryService& shared();

    // pasteboard nullptr: whatever Pasteboard::shared() is at each use, so the
    // order in which the application installs its facilities does not matter.
    ClipboardHistoryService(Pasteboard* pasteboard, Clock& clock, QObject* parent = nullptr);

    const QList<ClipboardItem>& history() const { return m_history; }

    // Takes the current contents as already seen and starts the 1 s poll.
    // Further calls do nothing.
    void start();
    // Adds a dictation result unless it is empty or equal to the newest item.
    void addTranscription(const QString& text);
    // Puts a history text back on the clipboard without recording it again.
    void copyToClipboard(const QString& text);

    // One poll step (the timer's tick).
    void checkClipboard();

private:
    void add(const QString& text, bool isTranscription);
    Pasteboard& pasteboard() const;

    Pasteboard* m_pasteboard;
    Clock& m_clock;
    QList<ClipboardItem> m_history;
    int m_lastChangeCount = 0;
    bool m_skipNextChange = false;
    ClockTimerPtr m_timer;
};
