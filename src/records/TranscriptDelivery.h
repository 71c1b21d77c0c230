#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class AppState;
class OverlayControl;

// Puts a finished transcript where the user wants it: the text is cleaned,
// pasted into the focused window, kept in the history, the last text and the
// clipboard history, and the pill shows how it went. The dictation and a
// retry of a failed recording both end here; they differ only in Options.
class TranscriptDelivery : public QObject {
    Q_OBJECT
public:
    struct Options {
        // The dictation's own processing state ends here: the flag is
        // cleared and a transcript with nothing left shows the idle pill.
        bool endsProcessing = false;
        // The keyboard layout follows the language of the text.
        bool switchesLayout = false;
        // Without permission to send keys the text is left on the clipboard
        // for the user to paste, and the pill and the tone say it failed.
        bool leavesTextOnClipboardWhenUntrusted = false;

        static Options dictation() { return {true, true, true}; }
        static Options retry() { return {false, false, false}; }
    };

    // All are required.
    struct Collaborators {
        AppState* appState = nullptr;
        OverlayControl* overlay = nullptr;
        // The text filters; nothing when no text is left to insert.
        std::function<std::optional<QString>(const QString& text)> postProcess;
        // Whether synthetic key presses may be sent (insertion is possible).
        std::function<bool()> isProcessTrusted;
        std::function<void(const QString& text)> insertTextViaPasteboard;
        std::function<void(const QString& text)> copyToClipboard;
        std::function<void(const QString& text)> switchToMatchingLayout;
        std::function<void(const QString& text, const QString& language, double duration)>
            saveTranscription;
        std::function<void(const QString& text)> addClipboardTranscription;
        std::function<void()> playSuccessSound;
        std::function<void()> playErrorSound;
    };

    // Throws std::invalid_argument naming the first collaborator missing.
    explicit TranscriptDelivery(Collaborators collaborators, QObject* parent = nullptr);

    // Main thread.
    void deliver(const QString& text, const QString& language, double duration,
                 const Options& options);

public slots:
    // What the recorder and the retry queue signal connect to.
    void deliverDictation(const QString& text, const QString& language, double duration);
    void deliverRetry(const QString& text, const QString& language, double duration);

private:
    Collaborators m_c;
};
