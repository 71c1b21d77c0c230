#pragma once

#include <QList>
#include <QWidget>

#include "mainwindow/MainWindowContext.h"
#include "platform/MicrophoneList.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QSlider;
class SegmentedControl;
class Switch;

// The Settings page's "Sound & view" tab: ducking, feedback tones, the
// overlay, layout switching, normalisation, recognition quality and the
// microphone.
class SettingsSoundTab : public QWidget {
    Q_OBJECT
public:
    explicit SettingsSoundTab(const MainWindowContext& context, QWidget* parent = nullptr);
    void refresh();

    // Lists the microphones (the audio server is asked off the main thread;
    // the list shows when it answers); a stored choice that is not among
    // them goes back to the system default. Run each time the page appears.
    void loadMicrophones();
    const QList<MicrophoneDevice>& availableMicrophones() const { return m_microphones; }

    // A percentage slider moves in steps of 5.
    static constexpr int kSliderStep = 5;

private:
    void applyMicrophones(const std::optional<QList<MicrophoneDevice>>& listed);
    // A slider row of the label column: the slider and its "N%" text.
    struct Level {
        QWidget* row = nullptr;
        QLabel* label = nullptr;
        QSlider* slider = nullptr;
        QLabel* value = nullptr;
    };
    Level makeLevel(const QString& key, QWidget* parent);
    void showLevel(Level& level, const QString& title, double value);

    MainWindowContext m_context;
    QList<MicrophoneDevice> m_microphones;
    QGroupBox* m_audio = nullptr;
    QLabel* m_duckingLabel = nullptr;
    SegmentedControl* m_ducking = nullptr;
    Level m_duckingLevel;
    Switch* m_sound = nullptr;
    Level m_volume;
    Switch* m_overlay = nullptr;
    Switch* m_hideWhenIdle = nullptr;
    Switch* m_autoSwitch = nullptr;
    Switch* m_normalization = nullptr;
    QLabel* m_qualityLabel = nullptr;
    QComboBox* m_quality = nullptr;
    QLabel* m_qualityHint = nullptr;
    QLabel* m_microphoneLabel = nullptr;
    QComboBox* m_microphone = nullptr;
};
