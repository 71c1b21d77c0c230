#include "mainwindow/SettingsKeysTab.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "core/L10n.h"
#include "mainwindow/SettingsBinding.h"
#include "mainwindow/SettingsLayout.h"
#include "pipeline/HotkeyService.h"
#include "platform/DebugLog.h"
#include "platform/SettingsStore.h"
#include "platform/linux/GlobalShortcutsPortal.h"
#include "ui/Badge.h"
#include "ui/Colors.h"
#include "ui/Labels.h"
#include "ui/Metrics.h"
#include "ui/SegmentedControl.h"
#include "ui/Switch.h"
#include "ui/Texts.h"
#include "ui/Typography.h"

namespace {
const QList<SettingsBinding::Choice>& translateTargets() {
    // Language names are fixed texts, the same in every interface language.
    static const QList<SettingsBinding::Choice> list =
        SettingsBinding::fixedChoices({{"en", "English"},
                                       {"ru", "Russian"},
                                       {"de", "German"},
                                       {"fr", "French"},
                                       {"es", "Spanish"},
                                       {"zh", "Chinese"},
                                       {"ja", "Japanese"}});
    return list;
}
const QStringList kModes{QStringLiteral("pushToTalk"), QStringLiteral("toggle")};
}  // namespace

SettingsKeysTab::SettingsKeysTab(const MainWindowContext& context, QWidget* parent)
    : QWidget(parent), m_context(context) {
    auto* layout = SettingsLayout::tabStack(this);

    // Dictation.
    m_dictation = makeGroup(QStringLiteral("dictation"), true, this);
    auto* dictationStack = static_cast<QVBoxLayout*>(m_dictation.box->layout());
    dictationStack->addWidget(Labels::divider(m_dictation.box));
    auto* modeRow = new QHBoxLayout;
    m_modeLabel = SettingsLayout::rowLabel(m_dictation.box);
    modeRow->addWidget(m_modeLabel);
    m_mode = new SegmentedControl(m_dictation.box);
    m_mode->setObjectName(QStringLiteral("recordingMode"));
    modeRow->addWidget(m_mode);
    modeRow->addStretch();
    dictationStack->addLayout(modeRow);
    m_modeCaption = SettingsLayout::caption(m_dictation.box);
    m_modeCaption->setObjectName(QStringLiteral("recordingModeCaption"));
    dictationStack->addWidget(m_modeCaption);
    layout->addWidget(m_dictation.box);

    layout->addWidget(Labels::divider(this));

    auto* openStack = new QVBoxLayout;
    openStack->setSpacing(Metrics::lineGap);
    m_openWindow = new Switch(this);
    m_openWindow->setObjectName(QStringLiteral("openWindowOnLaunch"));
    openStack->addWidget(m_openWindow);
    m_openWindowCaption = SettingsLayout::caption(this);
    openStack->addWidget(m_openWindowCaption);
    layout->addLayout(openStack);

    // Translate.
    m_translate = makeGroup(QStringLiteral("translate"), true, this);
    auto* translateRow = new QHBoxLayout;
    m_translateToLabel = SettingsLayout::rowLabel(m_translate.box);
    translateRow->addWidget(m_translateToLabel);
    m_translateTo = new QComboBox(m_translate.box);
    m_translateTo->setObjectName(QStringLiteral("translateTargetLanguage"));
    translateRow->addWidget(m_translateTo);
    translateRow->addStretch();
    static_cast<QVBoxLayout*>(m_translate.box->layout())->addLayout(translateRow);
    layout->addWidget(m_translate.box);

    // Paste last.
    m_pasteLast = makeGroup(QStringLiteral("pasteLast"), false, this);
    layout->addWidget(m_pasteLast.box);
    layout->addStretch();

    SettingsStore& store = *m_context.settings;
    connect(m_mode, &SegmentedControl::currentIndexChanged, this, [&store](int index) {
        if (index >= 0 && index < kModes.size())
            store.set(QStringLiteral("recordingMode"), kModes[index]);
    });
    SettingsBinding::writeOnToggle(m_openWindow, store, QStringLiteral("openWindowOnLaunch"));
    SettingsBinding::writeOnPick(m_translateTo, store, QStringLiteral("translateTargetLanguage"));

    connect(m_dictation.change, &QPushButton::clicked, this,
            &SettingsKeysTab::toggleDictationCapture);
    connect(m_translate.change, &QPushButton::clicked, this,
            &SettingsKeysTab::toggleTranslateCapture);
    connect(m_pasteLast.change, &QPushButton::clicked, this,
            &SettingsKeysTab::togglePasteLastCapture);
    connect(m_dictation.reset, &QPushButton::clicked, this, &SettingsKeysTab::resetDictation);
    connect(m_translate.reset, &QPushButton::clicked, this, &SettingsKeysTab::resetTranslate);

    if (GlobalShortcutsPortal* desktop = m_context.desktopShortcuts) {
        connect(desktop, &GlobalShortcutsPortal::boundChanged, this, &SettingsKeysTab::refresh);
        connect(desktop, &GlobalShortcutsPortal::failed, this, &SettingsKeysTab::refresh);
    }
    if (HotkeyService* h = m_context.hotkeys) {
        for (auto signal :
             {&HotkeyService::currentKeyCodeChanged, &HotkeyService::currentModifiersChanged,
              &HotkeyService::currentIsModifierOnlyChanged,
              &HotkeyService::isRecordingHotkeyChanged, &HotkeyService::translateKeyCodeChanged,
              &HotkeyService::translateModifiersChanged,
              &HotkeyService::translateIsModifierOnlyChanged,
              &HotkeyService::isRecordingTranslateHotkeyChanged,
              &HotkeyService::pasteLastKeyCodeChanged, &HotkeyService::pasteLastModifiersChanged,
              &HotkeyService::pasteLastIsModifierOnlyChanged,
              &HotkeyService::isRecordingPasteLastHotkeyChanged})
            connect(h, signal, this, &SettingsKeysTab::refresh);
    }
}

SettingsKeysTab::Group SettingsKeysTab::makeGroup(const QString& name, bool withReset,
                                                  QWidget* parent) {
    Group g;
    g.box = new QGroupBox(parent);
    g.box->setObjectName(name + QStringLiteral("Group"));
    auto* stack = SettingsLayout::groupStack(g.box, 8);
    g.caption = SettingsLayout::caption(g.box);
    g.caption->setObjectName(name + QStringLiteral("Caption"));
    stack->addWidget(g.caption);

    auto* keyRow = new QHBoxLayout;
    g.currentLabel = Labels::create({}, TextStyle::Body, g.box, true);
    keyRow->addWidget(g.currentLabel);
    keyRow->addStretch();
    g.badge = new Badge({}, g.box);
    g.badge->setObjectName(name + QStringLiteral("Badge"));
    g.badge->setFont(Typography::monospaced());
    g.badge->setPadding(12, 6);
    g.badge->setRadius(6);
    keyRow->addWidget(g.badge);
    stack->addLayout(keyRow);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    g.change = new QPushButton(g.box);
    g.change->setObjectName(name + QStringLiteral("Change"));
    buttons->addWidget(g.change);
    if (withReset) {
        g.reset = new QPushButton(g.box);
        g.reset->setObjectName(name + QStringLiteral("Reset"));
        Labels::setSecondary(g.reset);
        buttons->addWidget(g.reset);
    }
    stack->addLayout(buttons);
    return g;
}

void SettingsKeysTab::refresh() {
    const SettingsStore& store = *m_context.settings;
    HotkeyService* h = m_context.hotkeys;
    // The desktop's portal turned out to be missing: as on a desktop without
    // one, the commands are the way to bind keys.
    const bool byCommands =
        m_context.hotkeysByCommands ||
        (m_context.desktopShortcuts &&
         m_context.desktopShortcuts->state() == GlobalShortcutsPortal::State::failed);
    if (h) {
        const bool dictationIsDefault = h->currentKeyCode() == kDefaultKeyCode &&
                                        h->currentIsModifierOnly() && h->currentModifiers() == 0;
        refreshGroup(m_dictation, L10n::hotkey(), L10n::pressAndHold(), h->isRecordingHotkey(),
                     true, h->currentKeyCode(), h->currentModifiers(), h->currentIsModifierOnly(),
                     !h->isRecordingHotkey() && !dictationIsDefault);
        refreshGroup(m_translate, L10n::translateHotkey(), L10n::translateHotkeyDesc(),
                     h->isRecordingTranslateHotkey(), false, h->translateKeyCode(),
                     h->translateModifiers(), h->translateIsModifierOnly(),
                     !h->isRecordingTranslateHotkey() && h->translateKeyCode() >= 0);
        refreshGroup(m_pasteLast, L10n::pasteLastHotkey(), L10n::pasteLastHotkeyDesc(),
                     h->isRecordingPasteLastHotkey(), false, h->pasteLastKeyCode(),
                     h->pasteLastModifiers(), h->pasteLastIsModifierOnly(), false);
        if (m_context.desktopShortcuts && !byCommands) {
            showDesktopShortcut(
                m_dictation, QStringLiteral("dictation"), L10n::pressAndHold(),
                HotkeyService::displayName(h->currentKeyCode(), h->currentModifiers(),
                                           h->currentIsModifierOnly()),
                h->currentIsModifierOnly() && h->currentModifiers() == 0);
            showDesktopShortcut(
                m_translate, QStringLiteral("translation"), L10n::translateHotkeyDesc(),
                HotkeyService::displayName(h->translateKeyCode(), h->translateModifiers(),
                                           h->translateIsModifierOnly()),
                h->translateKeyCode() >= 0 && h->translateIsModifierOnly() &&
                    h->translateModifiers() == 0);
            showDesktopShortcut(
                m_pasteLast, QStringLiteral("paste-last"), L10n::pasteLastHotkeyDesc(),
                HotkeyService::displayName(h->pasteLastKeyCode(), h->pasteLastModifiers(),
                                           h->pasteLastIsModifierOnly()),
                h->pasteLastIsModifierOnly() && h->pasteLastModifiers() == 0);
        }
    }
    for (Group* g : {&m_dictation, &m_translate, &m_pasteLast}) {
        g->change->setEnabled(h != nullptr);
        g->change->setVisible(!byCommands);
    }
    if (byCommands) {
        showCommands(
            m_dictation, L10n::pressAndHold(),
            {QStringLiteral("ormil --start-dictation"), QStringLiteral("ormil --stop-dictation")});
        showCommands(m_translate, L10n::translateHotkeyDesc(),
                     {QStringLiteral("ormil --start-translation"),
                      QStringLiteral("ormil --stop-translation")});
        showCommands(m_pasteLast, L10n::pasteLastHotkeyDesc(), {});
    }

    Texts::set(m_modeLabel, L10n::recordingMode());
    const QStringList modeTitles{L10n::pushToTalk(), L10n::toggleRecord()};
    if (m_mode->titles() != modeTitles) m_mode->setTitles(modeTitles);
    const QString mode = SettingsBinding::string(store, QStringLiteral("recordingMode"));
    {
        const QSignalBlocker blocker(m_mode);
        m_mode->setCurrentIndex(int(kModes.indexOf(mode)));
    }
    Texts::set(m_modeCaption,
               mode == u"toggle" ? L10n::toggleRecordDesc() : L10n::pushToTalkDesc());

    {
        const QSignalBlocker blocker(m_openWindow);
        m_openWindow->setChecked(
            SettingsBinding::boolean(store, QStringLiteral("openWindowOnLaunch")));
    }
    Texts::set(m_openWindow, L10n::openWindowOnLaunch());
    Texts::set(m_openWindowCaption, L10n::openWindowOnLaunchDesc());

    Texts::set(m_translateToLabel, L10n::translateTo());
    SettingsBinding::showChoices(
        m_translateTo, translateTargets(),
        SettingsBinding::string(store, QStringLiteral("translateTargetLanguage")));
}

void SettingsKeysTab::refreshGroup(Group& g, const QString& title, const QString& caption,
                                   bool capturing, bool isDictation, qint64 keyCode,
                                   quint64 modifiers, bool modifierOnly, bool showReset) {
    if (g.box->title() != title) g.box->setTitle(title);
    Texts::set(g.caption, caption);
    Texts::set(g.currentLabel, L10n::currentHotkey());
    QColor tint = Colors::green();
    QColor text = palette().color(QPalette::WindowText);
    QString name;
    if (capturing) {
        name = L10n::pressAnyKey();
        tint = text = Colors::orange();
    } else if (!isDictation && keyCode < 0) {
        name = L10n::notSet();
        tint = Colors::grey();
        text = Colors::secondary(palette());
    } else {
        name = HotkeyService::displayName(keyCode, modifiers, modifierOnly);
        if (isDictation) tint = Colors::blue();
    }
    Texts::set(g.badge, name);
    g.badge->setTint(tint, 0.1);
    Labels::setTextColor(g.badge, text);
    Texts::set(g.change, capturing ? L10n::cancel() : L10n::changeHotkey());
    if (g.reset) {
        Texts::set(g.reset, L10n::reset());
        g.reset->setVisible(showReset);
    }
}

void SettingsKeysTab::showDesktopShortcut(Group& g, const QString& id, const QString& caption,
                                          const QString& storedName, bool loneModifier) {
    // The desktop binds the key and tells what it bound; the stored key was
    // only its suggestion.
    const QMap<QString, QString> bound = m_context.desktopShortcuts->boundTriggers();
    const bool isBound = bound.contains(id);
    QString name = isBound ? bound.value(id) : L10n::desktopShortcutNotBound();
    // Some desktops describe a lone modifier with a stray symbol; the key
    // the desktop was asked for is the better name then.
    static const QRegularExpression readable(QStringLiteral("[A-Za-z0-9]"));
    if (isBound && !name.contains(readable)) name = storedName;
    Texts::set(g.badge, name);
    g.badge->setTint(isBound ? Colors::blue() : Colors::grey(), 0.1);
    Labels::setTextColor(
        g.badge, isBound ? palette().color(QPalette::WindowText) : Colors::secondary(palette()));
    QString text = caption + QLatin1Char('\n') + L10n::desktopShortcutCaption();
    if (loneModifier) text += QLatin1Char('\n') + L10n::loneModifierWayland();
    Texts::set(g.caption, text);
    Texts::set(g.change, L10n::changeHotkey());
    if (g.reset) g.reset->setVisible(false);
}

void SettingsKeysTab::showCommands(Group& g, const QString& caption, const QStringList& commands) {
    const bool any = !commands.isEmpty();
    Texts::set(g.badge, any ? commands.join(QLatin1Char('\n')) : L10n::hotkeyNotOnThisDesktop());
    // Selectable, to copy into the desktop's settings.
    g.badge->setTextInteractionFlags(any ? Qt::TextSelectableByMouse : Qt::NoTextInteraction);
    // Two lines: the group must make room for both.
    g.badge->setMinimumHeight(g.badge->sizeHint().height());
    g.badge->setTint(any ? Colors::blue() : Colors::grey(), 0.1);
    Labels::setTextColor(
        g.badge, any ? palette().color(QPalette::WindowText) : Colors::secondary(palette()));
    Texts::set(g.caption,
               any ? caption + QLatin1Char('\n') + L10n::hotkeyCommandsCaption() : caption);
    if (g.reset) g.reset->setVisible(false);
}

bool SettingsKeysTab::openDesktopShortcuts() {
    if (!m_context.desktopShortcuts) return false;
    debugLog("[Hotkey] Opening the desktop's shortcut settings");
    m_context.desktopShortcuts->configureShortcuts();
    return true;
}

void SettingsKeysTab::toggleDictationCapture() {
    HotkeyService* h = m_context.hotkeys;
    if (!h || openDesktopShortcuts()) return;
    if (h->isRecordingHotkey()) {
        h->cancelRecordingHotkey();
        return;
    }
    h->setIsRecordingHotkey(true);
    h->setIsRecordingTranslateHotkey(false);
    h->setIsRecordingPasteLastHotkey(false);
    debugLog("[Hotkey] Recording mode ON (main) — waiting for key press");
    h->recreateEventTap();
}

void SettingsKeysTab::toggleTranslateCapture() {
    HotkeyService* h = m_context.hotkeys;
    if (!h || openDesktopShortcuts()) return;
    if (h->isRecordingTranslateHotkey())
        h->cancelRecordingHotkey();
    else
        h->startRecordingTranslateHotkey();
}

void SettingsKeysTab::togglePasteLastCapture() {
    HotkeyService* h = m_context.hotkeys;
    if (!h || openDesktopShortcuts()) return;
    if (h->isRecordingPasteLastHotkey())
        h->cancelRecordingHotkey();
    else
        h->startRecordingPasteLastHotkey();
}

void SettingsKeysTab::resetDictation() {
    if (!m_context.hotkeys) return;
    m_context.hotkeys->setHotkey(kDefaultKeyCode, true, 0);
    if (m_context.rebuildMenu) m_context.rebuildMenu();
}

void SettingsKeysTab::resetTranslate() {
    // Clears the three keys, logs, rebuilds the tap and the status menu.
    if (m_context.hotkeys) m_context.hotkeys->clearTranslateHotkey();
}
