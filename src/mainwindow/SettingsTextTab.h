#pragma once

#include <QString>
#include <QWidget>

#include "mainwindow/MainWindowContext.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QToolButton;
class QVBoxLayout;

// The Settings page's "Text" tab: the tone the service rewrites the text
// in (with the way into that tone's prompt editor), profanity replacement,
// the per-app styles and the two languages.
class SettingsTextTab : public QWidget {
    Q_OBJECT
public:
    explicit SettingsTextTab(const MainWindowContext& context, QWidget* parent = nullptr);
    void refresh();

    // The tones whose prompt can be edited: every tone but "none".
    static bool isEditableTone(const QString& tag);
    // The title of a tone in the current interface language (the tag itself
    // for a tag no tone has).
    static QString toneTitle(const QString& tag);

private:
    void editPrompt();

    MainWindowContext m_context;
    QGroupBox* m_transcription = nullptr;
    QLabel* m_toneLabel = nullptr;
    QComboBox* m_tone = nullptr;
    QToolButton* m_editPrompt = nullptr;
    QCheckBox* m_profanity = nullptr;
    QLabel* m_profanityHint = nullptr;
    // Where the "Styles per app" group sits, between the two others.
    QVBoxLayout* m_perAppSlot = nullptr;
    QGroupBox* m_language = nullptr;
    QLabel* m_interfaceLabel = nullptr;
    QComboBox* m_interface = nullptr;
    QLabel* m_recognitionLabel = nullptr;
    QComboBox* m_recognition = nullptr;
};
