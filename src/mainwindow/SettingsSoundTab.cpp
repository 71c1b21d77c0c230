#include "mainwindow/SettingsSoundTab.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <cmath>

#include "core/L10n.h"
#include "core/OverlayControl.h"
#include "mainwindow/SettingsBinding.h"
#include "mainwindow/SettingsLayout.h"
#include "platform/SettingsStore.h"
#include "platform/Threading.h"
#include "ui/Labels.h"
#include "ui/Metrics.h"
#include "ui/SegmentedControl.h"
#include "ui/Switch.h"
#include "ui/Texts.h"

namespace {
using SettingsBinding::Choice;

const QList<Choice>& qualities() {
    static const QList<Choice> list{
        {&L10n::audioQualityFast, QStringLiteral("fast")},
        {&L10n::audioQualityBalanced, QStringLiteral("balanced")},
        {&L10n::audioQualityHigh, QStringLiteral("high")},
        {&L10n::audioQualityBest, QStringLiteral("best")},
    };
    return list;
}

Switch* toggle(const QString& key, QWidget* parent) {
    auto* s = new Switch(parent);
    s->setObjectName(key);
    return s;
}

void showChecked(Switch* s, bool on) {
    const QSignalBlocker blocker(s);
    s->setChecked(on);
}
}  // namespace

SettingsSoundTab::SettingsSoundTab(const MainWindowContext& context, QWidget* parent)
    : QWidget(parent), m_context(context) {
    SettingsStore& store = *m_context.settings;
    auto* layout = SettingsLayout::tabStack(this);
    m_audio = new QGroupBox(this);
    auto* audio = SettingsLayout::groupStack(m_audio);

    auto* duckingRow = new QHBoxLayout;
    m_duckingLabel = SettingsLayout::rowLabel(m_audio);
    duckingRow->addWidget(m_duckingLabel);
    m_ducking = new SegmentedControl(m_audio);
    m_ducking->setObjectName(QStringLiteral("audioDucking"));
    duckingRow->addWidget(m_ducking);
    duckingRow->addStretch();
    audio->addLayout(duckingRow);
    m_duckingLevel = makeLevel(QStringLiteral("duckingLevel"), m_audio);
    audio->addWidget(m_duckingLevel.row);

    m_sound = toggle(QStringLiteral("soundEnabled"), m_audio);
    audio->addWidget(m_sound);
    m_volume = makeLevel(QStringLiteral("soundVolume"), m_audio);
    audio->addWidget(m_volume.row);

    m_overlay = toggle(QStringLiteral("overlayEnabled"), m_audio);
    audio->addWidget(m_overlay);
    m_hideWhenIdle = toggle(QStringLiteral("overlayHideWhenIdle"), m_audio);
    auto* hideRow = new QHBoxLayout;
    hideRow->addSpacing(Metrics::pageMargin);
    hideRow->addWidget(m_hideWhenIdle);
    audio->addLayout(hideRow);
    m_autoSwitch = toggle(QStringLiteral("autoSwitchLayout"), m_audio);
    audio->addWidget(m_autoSwitch);
    m_normalization = toggle(QStringLiteral("audioNormalization"), m_audio);
    audio->addWidget(m_normalization);

    auto* qualityStack = new QVBoxLayout;
    qualityStack->setSpacing(Metrics::tightGap);
    auto* qualityRow = new QHBoxLayout;
    qualityRow->setSpacing(Metrics::itemGap);
    m_qualityLabel = Labels::create({}, TextStyle::Body, m_audio);
    qualityRow->addWidget(m_qualityLabel);
    m_quality = new QComboBox(m_audio);
    m_quality->setObjectName(QStringLiteral("audioQuality"));
    m_quality->setFixedWidth(180);
    qualityRow->addWidget(m_quality);
    qualityRow->addStretch();
    qualityStack->addLayout(qualityRow);
    m_qualityHint = SettingsLayout::caption(m_audio);
    qualityStack->addWidget(m_qualityHint);
    audio->addLayout(qualityStack);

    auto* microphoneRow = new QHBoxLayout;
    m_microphoneLabel = SettingsLayout::rowLabel(m_audio);
    microphoneRow->addWidget(m_microphoneLabel);
    m_microphone = new QComboBox(m_audio);
    m_microphone->setObjectName(QStringLiteral("selectedMicrophone"));
    m_microphone->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    microphoneRow->addWidget(m_microphone);
    microphoneRow->addStretch();
    audio->addLayout(microphoneRow);

    layout->addWidget(m_audio);
    layout->addStretch();

    connect(m_ducking, &SegmentedControl::currentIndexChanged, this, [&store](int index) {
        if (index >= 0) store.set(QStringLiteral("audioDucking"), index);
    });
    // The slider moves in steps of 5: its positions are the multiples.
    connect(m_duckingLevel.slider, &QSlider::valueChanged, this, [&store](int position) {
        store.set(QStringLiteral("duckingLevel"), position * kSliderStep);
    });
    connect(m_volume.slider, &QSlider::valueChanged, this, [&store](int position) {
        store.set(QStringLiteral("soundVolume"), double(position * kSliderStep));
    });
    SettingsBinding::writeOnToggle(m_sound, store, QStringLiteral("soundEnabled"));
    SettingsBinding::writeOnToggle(m_overlay, store, QStringLiteral("overlayEnabled"));
    SettingsBinding::writeOnToggle(m_hideWhenIdle, store, QStringLiteral("overlayHideWhenIdle"));
    // The idle pill applies the new choice at once (hides or shows itself);
    // in any other state the overlay applies it when it returns to idle.
    connect(m_hideWhenIdle, &Switch::toggled, this, [this] {
        OverlayControl* overlay = m_context.overlay;
        if (overlay && overlay->modelState() == OverlayState::idle)
            overlay->show(OverlayState::idle);
    });
    SettingsBinding::writeOnToggle(m_autoSwitch, store, QStringLiteral("autoSwitchLayout"));
    SettingsBinding::writeOnToggle(m_normalization, store, QStringLiteral("audioNormalization"));
    SettingsBinding::writeOnPick(m_quality, store, QStringLiteral("audioQuality"));
    SettingsBinding::writeOnPick(m_microphone, store, QStringLiteral("selectedMicrophone"));

    if (m_context.microphones) {
        // Devices that come and go while the page is open show at once; the
        // stored choice is only reconciled when the page appears.
        connect(m_context.microphones, &MicrophoneList::devicesChanged, this, [this] {
            MicrophoneList* list = m_context.microphones;
            runAsync(this, [list] { return list->devices(); },
                     [this](const std::optional<QList<MicrophoneDevice>>& listed) {
                         if (listed) m_microphones = *listed;
                         refresh();
                     });
        });
    }
}

SettingsSoundTab::Level SettingsSoundTab::makeLevel(const QString& key, QWidget* parent) {
    Level level;
    level.row = new QWidget(parent);
    level.row->setObjectName(key + QStringLiteral("Row"));
    auto* row = new QHBoxLayout(level.row);
    row->setContentsMargins(0, 0, 0, 0);
    level.label = SettingsLayout::rowLabel(level.row);
    row->addWidget(level.label);
    level.slider = new QSlider(Qt::Horizontal, level.row);
    level.slider->setObjectName(key);
    level.slider->setRange(0, 100 / kSliderStep);
    level.slider->setPageStep(1);
    level.slider->setMinimumWidth(160);
    row->addWidget(level.slider, 1);
    level.value = Labels::create({}, TextStyle::Body, level.row, true);
    level.value->setObjectName(key + QStringLiteral("Value"));
    level.value->setFixedWidth(44);
    row->addWidget(level.value);
    return level;
}

void SettingsSoundTab::showLevel(Level& level, const QString& title, double value) {
    Texts::set(level.label, title);
    const QSignalBlocker blocker(level.slider);
    level.slider->setValue(int(std::lround(value / kSliderStep)));
    // The stored number, truncated toward zero: what was stored, not where
    // the slider snapped.
    Texts::set(level.value, QString::number(qint64(std::trunc(value))) + QLatin1Char('%'));
}

void SettingsSoundTab::loadMicrophones() {
    // The audio server is asked off the main thread: a hung one must not
    // freeze the window.
    MicrophoneList* list = m_context.microphones;
    if (!list) {
        applyMicrophones(std::nullopt);
        return;
    }
    runAsync(this, [list] { return list->devices(); },
             [this](const std::optional<QList<MicrophoneDevice>>& listed) {
                 applyMicrophones(listed);
             });
}

void SettingsSoundTab::applyMicrophones(const std::optional<QList<MicrophoneDevice>>& listed) {
    m_microphones = listed.value_or(QList<MicrophoneDevice>{});
    SettingsStore& store = *m_context.settings;
    const QString selected = SettingsBinding::string(store, QStringLiteral("selectedMicrophone"));
    // A list the audio server did not give says nothing about the chosen
    // device: the choice is kept until a listing shows it gone.
    if (listed && !selected.isEmpty() &&
        std::none_of(m_microphones.begin(), m_microphones.end(),
                     [&](const MicrophoneDevice& d) { return d.uniqueID == selected; }))
        store.set(QStringLiteral("selectedMicrophone"), QString());
    refresh();
}

void SettingsSoundTab::refresh() {
    const SettingsStore& store = *m_context.settings;
    if (m_audio->title() != L10n::audio()) m_audio->setTitle(L10n::audio());

    Texts::set(m_duckingLabel, L10n::audioDucking());
    const QStringList duckingTitles{L10n::duckNone(), L10n::duckPartial(), L10n::duckFull()};
    if (m_ducking->titles() != duckingTitles) m_ducking->setTitles(duckingTitles);
    const qint64 ducking = SettingsBinding::integer(store, QStringLiteral("audioDucking"));
    {
        const QSignalBlocker blocker(m_ducking);
        m_ducking->setCurrentIndex(ducking >= 0 && ducking <= 2 ? int(ducking) : -1);
    }
    m_duckingLevel.row->setVisible(ducking == 1);
    showLevel(m_duckingLevel, L10n::duckLevel(),
              double(SettingsBinding::integer(store, QStringLiteral("duckingLevel"))));

    const bool sound = SettingsBinding::boolean(store, QStringLiteral("soundEnabled"));
    showChecked(m_sound, sound);
    Texts::set(m_sound, L10n::soundFeedback());
    m_volume.row->setVisible(sound);
    showLevel(m_volume, L10n::volume(),
              SettingsBinding::real(store, QStringLiteral("soundVolume")));

    const bool overlay = SettingsBinding::boolean(store, QStringLiteral("overlayEnabled"));
    showChecked(m_overlay, overlay);
    Texts::set(m_overlay, L10n::showOverlay());
    showChecked(m_hideWhenIdle,
                SettingsBinding::boolean(store, QStringLiteral("overlayHideWhenIdle")));
    Texts::set(m_hideWhenIdle, L10n::hideOverlayIdle());
    m_hideWhenIdle->setEnabled(overlay);
    showChecked(m_autoSwitch, SettingsBinding::boolean(store, QStringLiteral("autoSwitchLayout")));
    Texts::set(m_autoSwitch, L10n::autoSwitchLayout());
    showChecked(m_normalization,
                SettingsBinding::boolean(store, QStringLiteral("audioNormalization")));
    Texts::set(m_normalization, L10n::audioNormalization());

    Texts::set(m_qualityLabel, L10n::audioQuality());
    SettingsBinding::showChoices(m_quality, qualities(),
                                 SettingsBinding::string(store, QStringLiteral("audioQuality")));
    Texts::set(m_qualityHint, L10n::audioQualityDesc());

    Texts::set(m_microphoneLabel, L10n::microphone());
    QList<Choice> microphones{{&L10n::systemDefault, QString()}};
    for (const MicrophoneDevice& d : m_microphones) {
        const QString name = d.localizedName;
        microphones.append({[name] { return name; }, d.uniqueID});
    }
    SettingsBinding::showChoices(
        m_microphone, microphones,
        SettingsBinding::string(store, QStringLiteral("selectedMicrophone")));
}
