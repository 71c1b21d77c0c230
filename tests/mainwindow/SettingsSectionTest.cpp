// The Settings page: what each control shows for stored, absent and broken
// values, what it writes (and that nothing else is written), the shortcut
// capture through the hotkey service, the microphone rule, launch at login
// and the push when the page goes.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "core/L10n.h"
#include "core/WindowOpener.h"
#include "fakes/FakeDesktopPortal.h"
#include "fakes/FakeInputAccess.h"
#include "fakes/FakeKeyEventSource.h"
#include "fakes/FakeOverlay.h"
#include "mainwindow/MainWindowFixture.h"
#include "mainwindow/MainWindowView.h"
#include "mainwindow/SettingsAppTab.h"
#include "mainwindow/SettingsKeysTab.h"
#include "mainwindow/SettingsSection.h"
#include "mainwindow/SettingsSoundTab.h"
#include "mainwindow/SettingsTextTab.h"
#include "pipeline/HotkeyService.h"
#include "platform/KeyCodes.h"
#include "platform/MicrophoneList.h"
#include "platform/Threading.h"
#include "platform/linux/Autostart.h"
#include "platform/linux/GlobalShortcutsPortal.h"
#include "records/HistoryService.h"
#include "records/SyncService.h"
#include "records/TextExpansionService.h"
#include "service/AuthTestFixture.h"
#include "support/Screenshots.h"
#include "ui/Badge.h"
#include "ui/SegmentedControl.h"
#include "ui/Switch.h"

using testsupport::waitUntil;

constexpr qint64 kF5 = 96;

namespace {

class FakeMicrophones : public MicrophoneList {
public:
    std::optional<QList<MicrophoneDevice>> list = QList<MicrophoneDevice>{};
    std::optional<QList<MicrophoneDevice>> devices() override { return list; }
    void set(QList<MicrophoneDevice> devices) { list = std::move(devices); }
};

class RecordingWindows : public WindowOpener {
public:
    QStringList calls;
    void openMainWindow() override {}
    void showLoginWindow() override {}
    void showOnboardingWindow() override {}
    void openEditorWindow() override {}
    void openBuiltinStyleEditor(const QString& tone, const QString& title) override {
        calls << tone + "|" + title;
    }
    void openSettings() override {}
    void restoreAccessoryModeIfNeeded() override {}
};

class SettingsPage : public MainWindowFixture {
public:
    SettingsStore& store = SettingsStore::shared();
    FakeKeyEventSource keys;
    FakeInputAccess access;
    FakeOverlay overlay;
    FakeMicrophones microphones;
    RecordingWindows windows;
    int pushes = 0;
    int menuRebuilds = 0;
    std::unique_ptr<HotkeyService> hotkeys;
    std::unique_ptr<SettingsSection> page;

    SettingsPage() {
        HotkeyService::Collaborators c;
        c.rebuildMenu = [this] { ++menuRebuilds; };
        hotkeys = std::make_unique<HotkeyService>(store, clock, keys, access, overlay, appState, c);
        hotkeys->setup();
        context.hotkeys = hotkeys.get();
        context.overlay = &overlay;
        context.microphones = &microphones;
        context.windows = &windows;
        context.pushSettings = [this] { ++pushes; };
        context.rebuildMenu = [this] { hotkeys->rebuildMenu(); };
    }
    ~SettingsPage() override {
        page.reset();
        hotkeys.reset();
    }

    // Builds the page and lets it appear as the frame does.
    SettingsSection& open() {
        page = std::make_unique<SettingsSection>(context);
        page->resize(760, 900);
        page->show();
        page->notifyAppeared();
        waitForListing();
        return *page;
    }
    // The microphones are listed off the main thread; their answer arrives
    // as a queued call.
    void waitForListing() {
        EXPECT_TRUE(waitForAsyncWork(20000));
        QCoreApplication::sendPostedEvents();
    }
    template <typename T>
    T* find(const QString& name) {
        T* w = page->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QString comboText(const QString& key) { return find<QComboBox>(key)->currentText(); }
    bool checked(const QString& key) { return find<QAbstractButton>(key)->isChecked(); }
    QString text(const QString& name) { return find<QLabel>(name)->text(); }
    void pick(const QString& key, const QString& title) {
        QComboBox* combo = find<QComboBox>(key);
        const int index = combo->findText(title);
        ASSERT_GE(index, 0) << title.toStdString();
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    // The tab a control sits on (the tab widget hides the other tabs).
    QWidget* tabOf(QWidget* w) {
        const QList<QWidget*> tabs{page->keysTab(), page->textTab(), page->soundTab(),
                                   page->appTab()};
        while (w && !tabs.contains(w)) w = w->parentWidget();
        return w;
    }
    // Clicks as a user would: on its tab, only when it can be seen and used.
    void click(const QString& name) {
        QAbstractButton* b = find<QAbstractButton>(name);
        QWidget* tab = tabOf(b);
        for (int i = 0; i < page->tabs()->count(); ++i)
            if (page->tabs()->widget(i)->isAncestorOf(tab)) page->tabs()->setCurrentIndex(i);
        ASSERT_TRUE(b->isVisibleTo(tab) && b->isEnabled()) << name.toStdString();
        b->click();
    }
    bool shown(const QString& name) {
        QWidget* w = find<QWidget>(name);
        return w->isVisibleTo(tabOf(w));
    }
    static QJsonObject storedSettings() { return SettingsStore::shared().snapshot(); }
};

// ------------------------------------------------------------ defaults, loading

TEST_F(SettingsPage, AnEmptyStoreShowsEveryDefaultAndStaysEmpty) {
    ASSERT_TRUE(storedSettings().isEmpty());
    open();
    // Each tab in turn, as a user would look at them.
    for (int i = 0; i < 4; ++i) page->tabs()->setCurrentIndex(i);

    EXPECT_EQ(page->tabs()->tabText(0), "Keys");
    EXPECT_EQ(page->tabs()->tabText(2), "Sound && view") << "a literal ampersand";
    EXPECT_EQ(find<SegmentedControl>("recordingMode")->currentIndex(), 0);
    EXPECT_EQ(text("recordingModeCaption"), "Hold key to record, release to stop");
    EXPECT_TRUE(checked("openWindowOnLaunch"));
    EXPECT_EQ(comboText("translateTargetLanguage"), "English");
    EXPECT_EQ(comboText("toneStyle"), "None");
    EXPECT_FALSE(shown("editPrompt"));
    EXPECT_FALSE(checked("replaceProfanity"));
    EXPECT_EQ(comboText("interfaceLanguage"), "English");
    EXPECT_EQ(comboText("recognitionLanguage"), "Russian");
    EXPECT_EQ(find<SegmentedControl>("audioDucking")->currentIndex(), 1);
    EXPECT_TRUE(shown("duckingLevelRow"));
    EXPECT_EQ(text("duckingLevelValue"), "50%");
    EXPECT_TRUE(checked("soundEnabled"));
    EXPECT_EQ(text("soundVolumeValue"), "50%");
    EXPECT_TRUE(checked("overlayEnabled"));
    EXPECT_TRUE(checked("overlayHideWhenIdle"));
    EXPECT_TRUE(checked("autoSwitchLayout"));
    EXPECT_TRUE(checked("audioNormalization"));
    EXPECT_EQ(comboText("audioQuality"), "Balanced");
    EXPECT_EQ(comboText("selectedMicrophone"), "System Default");
    EXPECT_FALSE(checked("launchAtLogin"));
    EXPECT_TRUE(checked("sendErrorReports"));
    EXPECT_FALSE(QFile::exists(Autostart::entryPath())) << "opening registers nothing";

    page->notifyDisappeared();
    EXPECT_EQ(pushes, 1);
    EXPECT_TRUE(storedSettings().isEmpty()) << "showing the page wrote no default back";
}

TEST_F(SettingsPage, StoredValuesShowAndUnusableOnesShowTheDefaultWithoutBeingRewritten) {
    struct Case {
        const char* key;
        QJsonValue stored;
        const char* control;
        QString shown;  // combo text, label text, or "on"/"off"
    };
    const Case cases[] = {
        {"soundEnabled", false, "soundEnabled", "off"},
        {"overlayHideWhenIdle", 0, "overlayHideWhenIdle", "off"},
        {"autoSwitchLayout", "banana", "autoSwitchLayout", "on"},  // not a Boolean: default
        {"audioNormalization", QJsonArray{}, "audioNormalization", "on"},
        {"replaceProfanity", "yes", "replaceProfanity", "on"},
        {"sendErrorReports", false, "sendErrorReports", "off"},
        {"audioQuality", "best", "audioQuality", "Maximum"},
        {"audioQuality", 3, "audioQuality", "Balanced"},  // a number: default
        {"audioQuality", "ultra", "audioQuality", ""},    // unknown: no entry
        {"toneStyle", "cultured", "toneStyle", ""},
        {"toneStyle", "theses", "toneStyle", "Bullet points"},
        {"interfaceLanguage", "de", "interfaceLanguage", "Deutsch"},
        {"recognitionLanguage", "ko", "recognitionLanguage", "Korean"},
        {"translateTargetLanguage", "ja", "translateTargetLanguage", "Japanese"},
        {"duckingLevel", "abc", "duckingLevelValue", "50%"},
        {"duckingLevel", 35, "duckingLevelValue", "35%"},
        {"soundVolume", 47.9, "soundVolumeValue", "47%"},
        {"soundVolume", "nan", "soundVolumeValue", "50%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            std::string(c.key) + " = " +
            QJsonDocument(QJsonArray{c.stored}).toJson(QJsonDocument::Compact).toStdString());
        store.setMany({}, store.snapshot().keys());
        store.set(c.key, c.stored);
        open();
        if (auto* combo = page->findChild<QComboBox*>(c.control)) {
            EXPECT_EQ(combo->currentText(), c.shown);
        } else if (auto* label = page->findChild<QLabel*>(c.control)) {
            EXPECT_EQ(label->text(), c.shown);
        } else {
            EXPECT_EQ(checked(c.control), c.shown == "on");
        }
        page->notifyDisappeared();
        EXPECT_EQ(store.value(c.key), c.stored) << "the page rewrote the stored value";
        EXPECT_EQ(storedSettings().size(), 1);
    }
}

TEST_F(SettingsPage, AnUnknownToneMarksNothingShowsNoEditButtonAndIsKept) {
    store.set("toneStyle", "grammar");
    open();
    EXPECT_EQ(find<QComboBox>("toneStyle")->currentIndex(), -1);
    EXPECT_FALSE(shown("editPrompt"));
    // A language change redraws the tab; the unknown tone is still not written.
    store.set("interfaceLanguage", "ru");
    EXPECT_EQ(store.value("toneStyle"), "grammar");
}

// ------------------------------------------------------------ writing

TEST_F(SettingsPage, EachControlWritesItsKeyAndNothingElse) {
    struct Case {
        const char* key;
        std::function<void(SettingsPage&)> act;
        QJsonValue written;
    };
    const Case cases[] = {
        {"recordingMode",
         [](SettingsPage& t) { t.find<SegmentedControl>("recordingMode")->setCurrentIndex(1); },
         "toggle"},
        {"openWindowOnLaunch", [](SettingsPage& t) { t.click("openWindowOnLaunch"); }, false},
        {"translateTargetLanguage",
         [](SettingsPage& t) { t.pick("translateTargetLanguage", "Chinese"); }, "zh"},
        {"toneStyle", [](SettingsPage& t) { t.pick("toneStyle", "Condensed"); }, "summary"},
        {"replaceProfanity", [](SettingsPage& t) { t.click("replaceProfanity"); }, true},
        {"interfaceLanguage", [](SettingsPage& t) { t.pick("interfaceLanguage", "Türkçe"); }, "tr"},
        {"recognitionLanguage",
         [](SettingsPage& t) { t.pick("recognitionLanguage", "Portuguese"); }, "pt"},
        {"audioDucking",
         [](SettingsPage& t) { t.find<SegmentedControl>("audioDucking")->setCurrentIndex(2); }, 2},
        {"duckingLevel", [](SettingsPage& t) { t.find<QSlider>("duckingLevel")->setValue(7); }, 35},
        {"soundEnabled", [](SettingsPage& t) { t.click("soundEnabled"); }, false},
        {"soundVolume", [](SettingsPage& t) { t.find<QSlider>("soundVolume")->setValue(20); },
         100.0},
        {"overlayEnabled", [](SettingsPage& t) { t.click("overlayEnabled"); }, false},
        {"overlayHideWhenIdle", [](SettingsPage& t) { t.click("overlayHideWhenIdle"); }, false},
        {"autoSwitchLayout", [](SettingsPage& t) { t.click("autoSwitchLayout"); }, false},
        {"audioNormalization", [](SettingsPage& t) { t.click("audioNormalization"); }, false},
        {"audioQuality", [](SettingsPage& t) { t.pick("audioQuality", "Faster"); }, "fast"},
        {"sendErrorReports", [](SettingsPage& t) { t.click("sendErrorReports"); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        store.setMany({}, store.snapshot().keys());
        open();
        c.act(*this);
        EXPECT_EQ(store.value(c.key), c.written);
        EXPECT_EQ(storedSettings().size(), 1) << "one control, one key";
        page.reset();
    }
}

TEST_F(SettingsPage, TheMicrophonePickerWritesTheDeviceIdentifier) {
    microphones.set({{"alsa_input.usb-mic", "USB Mic"}, {"alsa_input.pci", "Built-in"}});
    open();
    QComboBox* combo = find<QComboBox>("selectedMicrophone");
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), "System Default");
    pick("selectedMicrophone", "Built-in");
    EXPECT_EQ(store.value("selectedMicrophone"), "alsa_input.pci");
    pick("selectedMicrophone", "System Default");
    EXPECT_EQ(store.value("selectedMicrophone"), "");
}

// ------------------------------------------------------------ sound & view

TEST_F(SettingsPage, LevelRowsFollowTheirSwitchesAndKeepTheirValues) {
    store.set("duckingLevel", 35);
    store.set("soundVolume", 80.0);
    open();
    auto* ducking = find<SegmentedControl>("audioDucking");
    for (int mode : {0, 2}) {
        ducking->setCurrentIndex(mode);
        EXPECT_FALSE(shown("duckingLevelRow")) << mode;
    }
    ducking->setCurrentIndex(1);
    EXPECT_TRUE(shown("duckingLevelRow"));
    EXPECT_EQ(text("duckingLevelValue"), "35%");
    EXPECT_EQ(find<QSlider>("duckingLevel")->value(), 7);

    click("soundEnabled");
    EXPECT_FALSE(shown("soundVolumeRow"));
    click("soundEnabled");
    EXPECT_TRUE(shown("soundVolumeRow"));
    EXPECT_EQ(text("soundVolumeValue"), "80%");
    EXPECT_EQ(store.value("soundVolume"), 80.0);

    // An out-of-range stored ducking value marks no segment and hides the row.
    store.set("audioDucking", 7);
    EXPECT_EQ(ducking->currentIndex(), -1);
    EXPECT_FALSE(shown("duckingLevelRow"));
}

TEST_F(SettingsPage, SlidersMoveInStepsOfFive) {
    open();
    QSlider* slider = find<QSlider>("soundVolume");
    EXPECT_EQ(slider->maximum() * SettingsSoundTab::kSliderStep, 100);
    slider->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(store.value("soundVolume"), 55.0);
    EXPECT_EQ(text("soundVolumeValue"), "55%");
    find<QSlider>("duckingLevel")->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(store.value("duckingLevel"), 45);
    EXPECT_TRUE(store.value("duckingLevel").isDouble());
}

TEST_F(SettingsPage, HideWhenIdleReappliesTheIdlePillOnly) {
    open();
    overlay.current = OverlayState::idle;
    click("overlayHideWhenIdle");
    ASSERT_EQ(overlay.states.size(), 1u);
    EXPECT_EQ(overlay.states[0], OverlayState::idle);

    overlay.current = OverlayState::recording;
    click("overlayHideWhenIdle");
    EXPECT_EQ(overlay.states.size(), 1u) << "a recording pill is left alone";

    // Turning the overlay off dims the switch and keeps its value.
    click("overlayEnabled");
    EXPECT_FALSE(find<Switch>("overlayHideWhenIdle")->isEnabled());
    EXPECT_TRUE(checked("overlayHideWhenIdle"));
    EXPECT_EQ(overlay.states.size(), 1u) << "the overlay switch itself shows nothing";
}

TEST_F(SettingsPage, AStoredMicrophoneThatIsAbsentWhenThePageOpensGoesBackToTheDefault) {
    struct Case {
        QString stored;
        std::optional<QList<MicrophoneDevice>> devices;
        QJsonValue after;
        QString shown;
    };
    const QList<MicrophoneDevice> two{{"mic.a", "Mic A"}, {"mic.b", "Mic B"}};
    const Case cases[] = {
        {"mic.b", two, "mic.b", "Mic B"},
        {"mic.gone", two, "", "System Default"},
        {"mic.a", QList<MicrophoneDevice>{}, "", "System Default"},
        {"", two, "", "System Default"},
        // The audio server could not be asked: that is no sign the device is gone.
        {"mic.a", std::nullopt, "mic.a", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        store.set("selectedMicrophone", c.stored);
        microphones.list = c.devices;
        open();
        EXPECT_EQ(store.value("selectedMicrophone"), c.after);
        EXPECT_EQ(comboText("selectedMicrophone"), c.shown);
        page.reset();
    }
    // The device coming back later does not bring the choice back.
    microphones.set(two);
    store.set("selectedMicrophone", "");
    open();
    EXPECT_EQ(store.value("selectedMicrophone"), "");
}

TEST_F(SettingsPage, DevicesThatComeAndGoShowWhileThePageIsOpen) {
    microphones.set({{"mic.a", "Mic A"}});
    store.set("selectedMicrophone", "mic.a");
    open();
    microphones.set({{"mic.a", "Mic A"}, {"mic.usb", "USB Headset"}});
    emit microphones.devicesChanged();
    waitForListing();
    QComboBox* combo = find<QComboBox>("selectedMicrophone");
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(2), "USB Headset");
    EXPECT_EQ(combo->currentText(), "Mic A");
}

TEST_F(SettingsPage, AnAudioServerThatIsSlowToAnswerDoesNotHoldUpThePage) {
    // Answers when released, or after 20 s.
    class SlowMicrophones : public MicrophoneList {
    public:
        std::optional<QList<MicrophoneDevice>> devices() override {
            std::unique_lock lock(m_mutex);
            m_cv.wait_for(lock, std::chrono::seconds(20), [this] { return m_answer; });
            return QList<MicrophoneDevice>{{"mic.usb", "USB Headset"}};
        }
        void answer() {
            {
                std::lock_guard lock(m_mutex);
                m_answer = true;
            }
            m_cv.notify_all();
        }

    private:
        std::mutex m_mutex;
        std::condition_variable m_cv;
        bool m_answer = false;
    } slow;
    context.microphones = &slow;
    page = std::make_unique<SettingsSection>(context);
    page->show();
    QElapsedTimer shown;
    shown.start();
    page->notifyAppeared();
    EXPECT_LT(shown.elapsed(), 5000);
    QComboBox* combo = find<QComboBox>("selectedMicrophone");
    EXPECT_EQ(combo->count(), 1);  // the default only, until the server answers
    slow.answer();
    waitForListing();
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(1), "USB Headset");
    page.reset();
}

// ------------------------------------------------------------ keys

TEST_F(SettingsPage, ResetShowsOnlyWhenItWouldChangeSomething) {
    struct Case {
        const char* what;
        std::function<void(HotkeyService&)> set;
        bool dictationReset;
        bool translateReset;
    };
    const Case cases[] = {
        {"defaults", [](HotkeyService&) {}, false, false},
        {"right Ctrl alone", [](HotkeyService& h) { h.setHotkey(62, true, 0); }, true, false},
        {"Right Alt with Shift", [](HotkeyService& h) { h.setHotkey(61, true, KeyFlags::shift); },
         true, false},
        {"Right Alt as a plain key", [](HotkeyService& h) { h.setHotkey(61, false, 0); }, true,
         false},
        {"translate set", [](HotkeyService& h) { h.setTranslateHotkey(54, true); }, false, true},
        {"translate key code 0", [](HotkeyService& h) { h.setTranslateHotkey(0, false); }, false,
         true},
        {"capturing dictation",
         [](HotkeyService& h) {
             h.setHotkey(62, true, 0);
             h.setIsRecordingHotkey(true);
         },
         false, false},
        {"capturing translate",
         [](HotkeyService& h) {
             h.setTranslateHotkey(54, true);
             h.startRecordingTranslateHotkey();
         },
         false, false},
    };
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        hotkeys->cancelRecordingHotkey();
        hotkeys->setHotkey(61, true, 0);
        hotkeys->clearTranslateHotkey();
        c.set(*hotkeys);
        EXPECT_EQ(shown("dictationReset"), c.dictationReset);
        EXPECT_EQ(shown("translateReset"), c.translateReset);
        EXPECT_EQ(page->findChild<QPushButton*>("pasteLastReset"), nullptr);
    }
}

TEST_F(SettingsPage, StartingOneCaptureEndsTheOthers) {
    open();
    auto capturing = [&] {
        return QString("%1%2%3")
            .arg(hotkeys->isRecordingHotkey())
            .arg(hotkeys->isRecordingTranslateHotkey())
            .arg(hotkeys->isRecordingPasteLastHotkey());
    };
    auto badges = [&] {
        QStringList out;
        for (const char* g : {"dictationBadge", "translateBadge", "pasteLastBadge"})
            out << (find<Badge>(g)->text() == "Press any key..." ? "1" : "0");
        return out.join("");
    };
    const std::pair<const char*, const char*> steps[] = {
        {"pasteLastChange", "001"}, {"dictationChange", "100"}, {"translateChange", "010"},
        {"pasteLastChange", "001"}, {"translateChange", "010"}, {"dictationChange", "100"},
    };
    for (const auto& [button, expected] : steps) {
        click(button);
        EXPECT_EQ(capturing(), expected) << button;
        EXPECT_EQ(badges(), expected) << button;
    }
    EXPECT_EQ(find<QPushButton>("dictationChange")->text(), "Cancel");
    click("dictationChange");
    EXPECT_EQ(capturing(), "000");
    EXPECT_EQ(find<QPushButton>("dictationChange")->text(), "Change Hotkey");
}

TEST_F(SettingsPage, ACapturedKeyIsStoredByTheServiceAndShownInItsBadge) {
    open();
    click("dictationChange");
    keys.press(kF5);
    keys.release(kF5);
    ASSERT_TRUE(waitUntil([&] { return !hotkeys->isRecordingHotkey(); }));
    EXPECT_EQ(store.value("hotkeyKeyCode"), double(kF5));
    EXPECT_EQ(find<Badge>("dictationBadge")->text(), HotkeyService::displayName(kF5, 0, false));
    EXPECT_TRUE(shown("dictationReset"));

    click("dictationReset");
    EXPECT_EQ(store.value("hotkeyKeyCode"), 61);
    EXPECT_EQ(find<Badge>("dictationBadge")->text(), HotkeyService::displayName(61, 0, true));
    EXPECT_FALSE(shown("dictationReset"));
    EXPECT_EQ(menuRebuilds, 2) << "the capture and the reset each rebuild the menu";
}

// Where the desktop lets no application hear keys, each group shows the
// commands to bind in the desktop's settings, and nothing to capture.
TEST_F(SettingsPage, ADesktopWithoutKeysShowsTheCommandsInPlaceOfTheCapture) {
    context.hotkeysByCommands = true;
    store.set("interfaceLanguage", "en");
    open();
    EXPECT_EQ(find<Badge>("dictationBadge")->text(),
              "ormil --start-dictation\normil --stop-dictation");
    EXPECT_EQ(find<Badge>("translateBadge")->text(),
              "ormil --start-translation\normil --stop-translation");
    EXPECT_EQ(find<Badge>("pasteLastBadge")->text(), "Not available on this desktop");
    for (const char* name : {"dictationChange", "translateChange", "pasteLastChange",
                             "dictationReset", "translateReset"})
        EXPECT_FALSE(shown(name)) << name;
    // A key set earlier on X11 does not bring the capture back.
    hotkeys->setHotkey(kF5, false, 0);
    EXPECT_EQ(find<Badge>("dictationBadge")->text(),
              "ormil --start-dictation\normil --stop-dictation");
    EXPECT_FALSE(shown("dictationReset"));
    testsupport::saveScreenshot(page.get(), "settings-keys-commands-en");
}

TEST_F(SettingsPage, TranslateResetRemovesItsKeysAndRebuildsTheMenuOnce) {
    hotkeys->setTranslateHotkey(54, true, 0);
    ASSERT_TRUE(store.contains("translateKeyCode"));
    open();
    EXPECT_EQ(find<Badge>("translateBadge")->text(), HotkeyService::displayName(54, 0, true));
    const int before = menuRebuilds;
    click("translateReset");
    for (const char* key : {"translateKeyCode", "translateModifiers", "translateIsModifier"})
        EXPECT_FALSE(store.contains(key)) << key;
    EXPECT_EQ(menuRebuilds - before, 1);
    EXPECT_EQ(find<Badge>("translateBadge")->text(), "Not set");
    EXPECT_FALSE(shown("translateReset"));
    EXPECT_TRUE(testsupport::debugLogText().contains("[Hotkey] Translate hotkey cleared"));
}

TEST_F(SettingsPage, TheModeCaptionFollowsTheRecordingMode) {
    open();
    find<SegmentedControl>("recordingMode")->setCurrentIndex(1);
    EXPECT_EQ(text("recordingModeCaption"), "Press once to start, press again to stop");
    EXPECT_TRUE(hotkeys->isToggleMode());
    find<SegmentedControl>("recordingMode")->setCurrentIndex(0);
    EXPECT_EQ(text("recordingModeCaption"), "Hold key to record, release to stop");
}

// ------------------------------------------------------------ text

TEST_F(SettingsPage, EditPromptOpensTheToneEditorTitledInTheCurrentLanguage) {
    open();
    pick("toneStyle", "Formal");
    ASSERT_TRUE(shown("editPrompt"));
    EXPECT_EQ(find<QToolButton>("editPrompt")->toolTip(), "Edit prompt");
    click("editPrompt");
    // After a language change the picker and the editor's title follow it.
    store.set("interfaceLanguage", "ru");
    EXPECT_EQ(comboText("toneStyle"), L10n::toneFormal());
    EXPECT_NE(comboText("toneStyle"), "Formal");
    click("editPrompt");
    EXPECT_EQ(windows.calls, QStringList({"formal|Formal", "formal|" + L10n::toneFormal()}));
    EXPECT_EQ(page->tabs()->tabText(0), L10n::settingsTabKeys());
    EXPECT_EQ(comboText("interfaceLanguage"), "Русский");
    EXPECT_EQ(comboText("recognitionLanguage"), "Russian") << "language names stay fixed";

    pick("toneStyle", L10n::toneNone());
    EXPECT_FALSE(shown("editPrompt"));
}

// ------------------------------------------------------------ app

TEST_F(SettingsPage, LaunchAtLoginWritesAndRemovesTheAutostartEntry) {
    open();
    const QString entry = Autostart::entryPath();
    EXPECT_TRUE(entry.startsWith(testsupport::root())) << entry.toStdString();
    click("launchAtLogin");
    ASSERT_TRUE(QFile::exists(entry));
    const QString text = QString::fromUtf8(testsupport::readFile(entry));
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(text.contains("\nExec=\"" + QCoreApplication::applicationFilePath() + "\"\n"))
        << text.toStdString();
    EXPECT_EQ(store.value("launchAtLogin"), true);
    // Redraws (a language change relabels the whole page) write nothing more.
    QFile::remove(entry);
    store.set("interfaceLanguage", "ru");
    store.set("interfaceLanguage", "en");
    EXPECT_FALSE(QFile::exists(entry)) << "the entry was written a second time";
    EXPECT_TRUE(checked("launchAtLogin"));
    testsupport::writeFile(entry, "[Desktop Entry]\n");

    click("launchAtLogin");
    EXPECT_FALSE(QFile::exists(entry));
    EXPECT_EQ(store.value("launchAtLogin"), false);
    testsupport::writeFile(entry, "kept");
    store.set("interfaceLanguage", "de");
    EXPECT_TRUE(QFile::exists(entry)) << "the entry was removed a second time";
    EXPECT_FALSE(testsupport::debugLogText().contains("[Settings]"));
}

TEST_F(SettingsPage, AFailedLaunchAtLoginChangeIsLoggedAndUndone) {
    // The autostart folder cannot be made (a file stands in its place),
    // whoever runs the test.
    const QString folder = QFileInfo(Autostart::entryPath()).path();
    QDir().mkpath(QFileInfo(folder).path());
    testsupport::writeFile(folder, "not a folder");
    open();
    click("launchAtLogin");
    EXPECT_FALSE(checked("launchAtLogin"));
    EXPECT_FALSE(store.contains("launchAtLogin")) << "a failure is not stored as success";
    EXPECT_EQ(testsupport::debugLogText().count("[Settings] SMAppService error: "), 1);

    // Removal that fails: the entry is a folder that cannot be removed as a file.
    QFile::remove(folder);
    QDir().mkpath(Autostart::entryPath() + "/stuck");
    store.set("launchAtLogin", true);
    click("launchAtLogin");
    EXPECT_TRUE(checked("launchAtLogin"));
    EXPECT_EQ(store.value("launchAtLogin"), true);
    EXPECT_EQ(testsupport::debugLogText().count("[Settings] SMAppService error: "), 2);
}

TEST_F(SettingsPage, AboutShowsTheVersionAndTheServiceHost) {
    qputenv("ORMIL_API_BASE", "http://127.0.0.1:4567");
    const QString saved = QCoreApplication::applicationVersion();
    QCoreApplication::setApplicationVersion({});
    open();
    EXPECT_EQ(text("version"), "?");
    EXPECT_EQ(text("backend"), "127.0.0.1");
    page.reset();
    QCoreApplication::setApplicationVersion("2.4.1");
    open();
    EXPECT_EQ(text("version"), "2.4.1");
    QCoreApplication::setApplicationVersion(saved);
}

// ------------------------------------------------------------ leaving

class SettingsPush : public SettingsPage {
protected:
    AuthTestFixture account;
    HistoryService history{testsupport::root() + "/push/Ormil.sqlite", clock};
    TextExpansionService expansions{testsupport::root() + "/push/text_expansions.json"};
    std::unique_ptr<SyncService> sync;

    void SetUp() override {
        account.signIn();
        SyncService::Collaborators c;
        c.history = &history;
        c.textExpansions = &expansions;
        c.baseURL = account.apiBase();
        c.send = [this](const HttpRequest& r) { return account.client.send(r); };
        c.account.accessToken = [this] { return account.auth->readToken("access_token").token; };
        c.settings = &store;
        sync = std::make_unique<SyncService>(std::move(c));
        context.pushSettings = [this] {
            ++pushes;
            sync->pushSettings();
        };
    }
    void TearDown() override { sync.reset(); }
    int settingsPuts() {
        int n = 0;
        for (const auto& r : account.service.requests("/sync/settings")) n += r.method == "PUT";
        return n;
    }
};

TEST_F(SettingsPush, LeavingThePageOrARebuildPushesTheSettingsOnce) {
    MainWindowView view(context);
    view.resize(900, 700);
    view.show();
    view.setSelectedSection(SidebarSection::settings);
    EXPECT_EQ(pushes, 0);

    // A rebuild for changed data leaves the page too.
    QPointer<Page> first = view.currentPage();
    NotificationCenter::shared().postDataChanged();
    ASSERT_TRUE(waitUntil([&] { return first.isNull(); }));
    ASSERT_TRUE(waitUntil([&] { return settingsPuts() == 1; }));
    EXPECT_EQ(pushes, 1);

    view.setSelectedSection(SidebarSection::home);
    ASSERT_TRUE(waitUntil([&] { return settingsPuts() == 2; }));
    EXPECT_EQ(pushes, 2);
    testsupport::processEvents(50);
    EXPECT_EQ(settingsPuts(), 2);
}

// On a Wayland session the desktop holds the shortcuts: the page shows what
// it bound, and Change opens the desktop's own settings instead of capturing.
class SettingsOnWayland : public SettingsPage {
public:
    PrivateBus bus{testsupport::root()};
    std::unique_ptr<FakeDesktopPortal> portal;
    std::unique_ptr<GlobalShortcutsPortal> desktop;

    // Binds through the stand-in portal; none: the desktop has no portal.
    void bind(const QMap<QString, QString>& descriptions, bool withPortal = true) {
        ASSERT_FALSE(bus.address().isEmpty());
        if (withPortal) {
            portal = std::make_unique<FakeDesktopPortal>(bus);
            portal->descriptions = descriptions;
        }
        desktop = std::make_unique<GlobalShortcutsPortal>(bus.connect("settings-client"), [this] {
            return QList<GlobalShortcutsPortal::Shortcut>{
                {"dictation", "Hold to dictate", hotkeys->currentKeyCode(),
                 hotkeys->currentModifiers(), hotkeys->currentIsModifierOnly()},
                {"translation", "Translate", hotkeys->translateKeyCode(),
                 hotkeys->translateModifiers(), hotkeys->translateIsModifierOnly()},
                {"paste-last", "Paste last", hotkeys->pasteLastKeyCode(),
                 hotkeys->pasteLastModifiers(), hotkeys->pasteLastIsModifierOnly()}};
        });
        desktop->start([](const KeyEvent&) {});
        context.desktopShortcuts = desktop.get();
        if (withPortal) {
            ASSERT_TRUE(waitUntil([&] { return portal->calls.contains("ListShortcuts"); }));
        }
    }
    ~SettingsOnWayland() override {
        page.reset();
        desktop.reset();
        portal.reset();
        bus.disconnect("settings-client");
    }
    QString badge(const char* name) { return find<Badge>(name)->text(); }
};

TEST_F(SettingsOnWayland, TheDesktopsBindingIsShownAndChangeOpensItsSettings) {
    hotkeys->setTranslateHotkey(54, true, 0);
    // A lone modifier comes back described by a stray symbol on some desktops.
    bind({{"dictation", QString::fromUtf8("\u17c0?")}, {"paste-last", "Ctrl+Alt+V"}});
    open();
    EXPECT_EQ(badge("dictationBadge"), HotkeyService::displayName(61, 0, true));
    EXPECT_EQ(badge("pasteLastBadge"), "Ctrl+Alt+V");
    EXPECT_EQ(badge("translateBadge"), L10n::desktopShortcutNotBound());
    const auto captionOf = [&](const char* group) { return text(group + QString("Caption")); };
    EXPECT_TRUE(captionOf("dictation").contains(L10n::desktopShortcutCaption()));
    EXPECT_TRUE(captionOf("dictation").contains(L10n::loneModifierWayland()));
    EXPECT_TRUE(captionOf("translate").contains(L10n::loneModifierWayland()));
    EXPECT_FALSE(captionOf("pasteLast").contains(L10n::loneModifierWayland()));
    EXPECT_FALSE(shown("dictationReset"));
    EXPECT_FALSE(shown("translateReset"));

    // The desktop changes a binding: the page follows.
    portal->descriptions["translation"] = "Meta+T";
    portal->calls.clear();
    click("translateChange");
    EXPECT_FALSE(hotkeys->isRecordingTranslateHotkey());
    ASSERT_TRUE(waitUntil([&] { return badge("translateBadge") == "Meta+T"; }));
    EXPECT_TRUE(portal->calls.contains("BindShortcuts"));
    click("dictationChange");
    click("pasteLastChange");
    EXPECT_FALSE(hotkeys->isRecordingHotkey() || hotkeys->isRecordingPasteLastHotkey());
    EXPECT_FALSE(store.contains("hotkeyKeyCode"));

    for (const char* language : {"en", "ru"}) {
        store.set("interfaceLanguage", language);
        open();
        testsupport::saveScreenshot(page.get(), QString("settings-wayland-keys-%1").arg(language));
    }
}

TEST_F(SettingsOnWayland, AMissingPortalShowsTheCommandsToBind) {
    bind({}, false);
    open();
    ASSERT_TRUE(
        waitUntil([&] { return desktop->state() == GlobalShortcutsPortal::State::failed; }));
    EXPECT_EQ(badge("dictationBadge"), "ormil --start-dictation\normil --stop-dictation");
    EXPECT_FALSE(shown("dictationChange"));
    EXPECT_FALSE(shown("pasteLastChange"));
}

// Where the desktop does not tell which application is in front, the
// per-app styles row says they keep to X11 applications; the row still
// works.
TEST_F(SettingsOnWayland, PerAppStylesSayWhereTheDesktopDoesNotTellTheFocusedApp) {
    for (const bool unknown : {false, true}) {
        SCOPED_TRACE(unknown ? "focused app unknown" : "focused app told");
        context.focusedAppUnknown = unknown;
        store.remove("perAppStylesEnabled");
        open();
        page->tabs()->setCurrentIndex(1);
        const QString caption = text("perAppStylesCaption");
        EXPECT_TRUE(caption.startsWith(L10n::perAppStylesHint())) << caption.toStdString();
        EXPECT_EQ(caption.contains(L10n::perAppStylesWaylandNote()), unknown)
            << caption.toStdString();
        find<QCheckBox>("perAppStylesEnabled")->click();
        EXPECT_EQ(store.boolean("perAppStylesEnabled"), true);
    }
    for (const char* language : {"en", "ru"}) {
        store.set("interfaceLanguage", language);
        EXPECT_TRUE(text("perAppStylesCaption").contains(L10n::perAppStylesWaylandNote()))
            << "follows the language";
        testsupport::saveScreenshot(find<QGroupBox>("perAppStylesGroup"),
                                    QString("settings-wayland-per-app-%1").arg(language));
    }
}

// ------------------------------------------------------------ screenshots

TEST_F(SettingsPage, ScreenshotsOfEveryTab) {
    microphones.set({{"mic.a", "Built-in Audio Analog Stereo"}, {"mic.usb", "USB Headset"}});
    hotkeys->setTranslateHotkey(54, true, 0);
    store.set("toneStyle", "readable");
    QCoreApplication::setApplicationVersion("1.0.0");
    for (const char* language : {"en", "ru"}) {
        store.set("interfaceLanguage", language);
        open();
        const char* names[] = {"keys", "text", "sound", "app"};
        for (int i = 0; i < 4; ++i) {
            page->tabs()->setCurrentIndex(i);
            testsupport::saveScreenshot(page.get(),
                                        QString("settings-%1-%2").arg(names[i], language));
        }
        page->tabs()->setCurrentIndex(0);
        click("pasteLastChange");
        testsupport::saveScreenshot(page.get(), QString("settings-capturing-%1").arg(language));
        hotkeys->cancelRecordingHotkey();
        page.reset();
    }
}

}  // namespace
