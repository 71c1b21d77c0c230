#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <optional>
#include <vector>

#include "platform/Clock.h"
#include "platform/KeyEventSource.h"
#include "platform/ObservableProperty.h"
#include "records/TextExpansionItem.h"

class KeyboardSimulator;
class KeySynthesizer;
class Pasteboard;
class TextExpansionService;
class WindowWatcher;

// Watches what the user types anywhere and, when the last characters typed
// are an enabled snippet's trigger (as typed, or as the same keys come out on
// the other of the QWERTY and Russian layouts), erases them with BackSpaces
// and pastes the snippet's text the way a dictation's text goes in (the
// window's paste chord, PRIMARY for the xterm family, remote viewers, the
// clipboard put back afterwards).
//
// The typed buffer lives in memory only and is never logged: it also sees
// what goes into password fields. Main thread only.
class TextExpansionEngine : public QObject {
    Q_OBJECT
    ORMIL_PROPERTY(bool, isRunning, setIsRunning, false);

public:
    struct Collaborators {
        TextExpansionService& items;
        KeyEventSource& keys;
        KeySynthesizer& synthesizer;  // the BackSpaces
        Pasteboard* pasteboard;       // required
        KeyboardSimulator& inserter;  // the paste
        WindowWatcher& windows;
        Clock& clock;
    };

    static constexpr int maxBufferSize = 50;
    // After the BackSpaces, the paste.
    static constexpr double pasteDelay = 0.05;

    explicit TextExpansionEngine(Collaborators collaborators, QObject* parent = nullptr);
    ~TextExpansionEngine() override;

    static TextExpansionEngine& shared();

    void start();
    void stop();

    // True from a trigger's match until the clipboard is back.
    bool isExpanding() const { return m_expansion.has_value(); }
    // The characters typed since the last clear (tests).
    const QString& typedBuffer() const { return m_buffer; }

    void handleEvent(const KeyEvent& event);

    // The same keys on the other layout, QWERTY <-> Russian, keeping case;
    // characters outside the table stay as they are.
    static QString convertLayout(const QString& text);

private:
    struct Candidate {
        int index;        // in the item list
        QString trigger;  // in NFC
        int triggerLength;
        QString converted;  // in NFC; empty when it cannot match
        int convertedLength;
    };
    struct Expansion {
        QString trigger;
        QString text;
        int triggerLength = 0;
        ClockTimerPtr timer;
    };

    void rebuildCandidates();
    void clearBuffer() { m_buffer.clear(); }
    void removeLastCharacter();
    void appendText(const QString& text);
    void checkForTrigger();
    void performExpansion(const TextExpansionItem& item, int triggerLength);
    void eraseTrigger();
    void paste();
    void finishExpansion();
    Pasteboard& pasteboard() const;

    Collaborators m_c;
    QString m_buffer;
    std::vector<Candidate> m_candidates;
    // Candidates by the last code unit of either form, in list order: a key
    // only scans the snippets that can end with it.
    QHash<QChar, std::vector<int>> m_byLastUnit;
    bool m_candidatesStale = true;
    std::optional<Expansion> m_expansion;
    bool m_appSwitchObserved = false;
};
