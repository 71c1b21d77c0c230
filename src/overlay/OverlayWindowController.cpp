#include "overlay/OverlayWindowController.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QWindow>

#include "platform/DebugLog.h"
#include "platform/Threading.h"
#include "platform/OutsideClickMonitor.h"
#include "platform/x11/X11OverlayWindow.h"

namespace {
const QString kEnabled = QStringLiteral("overlayEnabled");
const QString kHideWhenIdle = QStringLiteral("overlayHideWhenIdle");
const QString kDockEdge = QStringLiteral("overlayDockEdge");
const QString kCenterX = QStringLiteral("overlayPositionCenterX");
const QString kCenterY = QStringLiteral("overlayPositionCenterY");
const QString kBottomY = QStringLiteral("overlayPositionBottomY");

QString boolText(bool b) {
    return b ? QStringLiteral("true") : QStringLiteral("false");
}

// A toggle that is not a stored Boolean counts as its shared default (on).
bool toggle(const SettingsStore& s, const QString& key) {
    return s.isBool(key) ? s.boolean(key) : SettingsDefaults::value(key).toBool(true);
}
}  // namespace

OverlayWindowController::OverlayWindowController(SettingsStore& settings, Clock& clock,
                                                 ScreenSource screens,
                                                 std::unique_ptr<OutsideClickMonitor> clickMonitor,
                                                 OverlayModel::RandomSource random, QObject* parent)
    : QObject(parent),
      m_settings(settings),
      m_clock(clock),
      m_screens(screens ? std::move(screens) : ScreenSource(&OverlayScreenSpace::fromApplication)),
      m_clickMonitor(clickMonitor ? std::move(clickMonitor)
                                  : std::make_unique<X11RawButtonMonitor>()),
      m_model(clock, std::move(random), this) {
    connect(&m_model, &OverlayModel::stateChanged, this,
            [this](OverlayState s) { m_publishedState.store(s); });
}

OverlayWindowController::~OverlayWindowController() {
    cancelTimers();
    dismissContextMenu();
    m_panel.reset();
}

OverlayWindowController& OverlayWindowController::shared() {
    static OverlayWindowController* instance = [] {
        auto* c = new OverlayWindowController(SettingsStore::shared(), Clock::system());
        if (QCoreApplication* app = QCoreApplication::instance(); app && !isMainThread())
            c->moveToThread(app->thread());
        OverlayControl::setShared(c);
        return c;
    }();
    return *instance;
}

OverlayState OverlayWindowController::currentState() const {
    return m_publishedState.load();
}

bool OverlayWindowController::isEnabled() const {
    return toggle(m_settings, kEnabled);
}
bool OverlayWindowController::hideWhenIdle() const {
    return toggle(m_settings, kHideWhenIdle);
}

OverlayDockEdge OverlayWindowController::currentDockEdge() const {
    const auto raw = m_settings.string(kDockEdge);
    return raw ? OverlayDock::fromRaw(*raw).value_or(OverlayDockEdge::bottom)
               : OverlayDockEdge::bottom;
}

bool OverlayWindowController::hasCustomDraggedPosition() const {
    return m_settings.contains(kCenterX) &&
           (m_settings.contains(kCenterY) || m_settings.contains(kBottomY));
}

OverlaySavedPosition OverlayWindowController::savedPosition() const {
    OverlaySavedPosition saved;
    if (m_settings.contains(kCenterX)) saved.centerX = m_settings.doubleValue(kCenterX);
    if (m_settings.contains(kCenterY)) saved.centerY = m_settings.doubleValue(kCenterY);
    if (m_settings.contains(kBottomY)) saved.bottomY = m_settings.doubleValue(kBottomY);
    return saved;
}

OverlayScreenSpace OverlayWindowController::screens() const {
    return m_screens();
}

void OverlayWindowController::setup() {
    if (m_panel) return;
    m_panel = std::make_unique<OverlayPanel>(m_model, m_clock);
    m_model.setDockEdge(currentDockEdge());
    QPointer<OverlayWindowController> self(this);
    m_panel->onMoved = [self](QPointF centre) {
        if (self) self->handleDrop(self->screens().fromWindowSystem(centre));
    };
    m_panel->onRightClick = [self](QPointF p) {
        if (self) self->showContextMenu(self->screens().fromWindowSystem(p));
    };

    // Screens coming, going or changing their usable area move the pill back
    // into view; so does the application coming back to the foreground.
    auto watchScreen = [this](QScreen* s) {
        connect(s, &QScreen::geometryChanged, this, [this] { ensureVisibleIfNeeded(); });
        connect(s, &QScreen::availableGeometryChanged, this, [this] { ensureVisibleIfNeeded(); });
    };
    for (QScreen* s : QGuiApplication::screens()) watchScreen(s);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this, watchScreen](QScreen* s) {
        watchScreen(s);
        ensureVisibleIfNeeded();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, [this] { ensureVisibleIfNeeded(); });
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this,
            [this] { ensureVisibleIfNeeded(); });
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            [this] { ensureVisibleIfNeeded(); });

    positionPanel();
    show(OverlayState::idle);
}

void OverlayWindowController::show(OverlayState state) {
    const bool enabled = isEnabled();
    debugLog("[Overlay] show(" + overlayStateName(state) + ") called, isEnabled=" +
             boolText(enabled) + ", mainThread=" + boolText(isMainThread()));
    QPointer<OverlayWindowController> self(this);
    if (!enabled) {
        debugLog(QStringLiteral("[Overlay] DISABLED — skipping"));
        runOnMainNowOrQueued([self] {
            if (!self) return;
            // A meter left running behind a hidden pill would tick (and log)
            // until the overlay is turned on again.
            self->m_model.stopWaveform();
            self->orderOut();
        });
        return;
    }
    if (state == OverlayState::idle && hideWhenIdle()) {
        runOnMainNowOrQueued([self] {
            if (self) self->hideStep();
        });
        return;
    }
    runOnMainNowOrQueued([self, state] {
        if (!self) {
            debugLog(QStringLiteral("[Overlay] ERROR: self is nil in work closure!"));
            return;
        }
        self->showStep(state);
    });
}

void OverlayWindowController::hideStep() {
    cancelTimers();
    m_model.stopWaveform();
    m_model.setSticky(false);
    m_model.setState(OverlayState::idle);
    orderOut();
    debugLog(QStringLiteral("[Overlay] Idle + hideWhenIdle -> panel hidden"));
}

void OverlayWindowController::showStep(OverlayState state) {
    debugLog("[Overlay] work() executing for state=" + overlayStateName(state));
    cancelTimers();
    if (state == OverlayState::recording) {
        debugLog(QStringLiteral("[Overlay] Calling startWaveform()"));
        m_model.startWaveform();
    } else {
        m_model.stopWaveform();
        if (state == OverlayState::idle || state == OverlayState::success ||
            state == OverlayState::error)
            m_model.setSticky(false);
    }
    m_model.setState(state);
    positionPanel();
    orderFront();

    double delay = 0;
    ClockTimerPtr* slot = nullptr;
    switch (state) {
        case OverlayState::success:
            delay = 1.5, slot = &m_hideTimer;
            break;
        case OverlayState::error:
            delay = 2.0, slot = &m_hideTimer;
            break;
        case OverlayState::processing:
        case OverlayState::postProcessing:
            delay = 180, slot = &m_fallbackTimer;
            break;
        case OverlayState::idle:
        case OverlayState::recording:
            break;
    }
    if (slot) {
        QPointer<OverlayWindowController> self(this);
        *slot = m_clock.schedule(delay, this, [self] {
            if (self) self->show(OverlayState::idle);
        });
    }
}

void OverlayWindowController::cancelTimers() {
    for (ClockTimerPtr* t : {&m_hideTimer, &m_fallbackTimer}) {
        if (*t) (*t)->cancel();
        t->reset();
    }
}

void OverlayWindowController::updateAudioLevel(float level) {
    QPointer<OverlayWindowController> self(this);
    runOnMainNowOrQueued([self, level] {
        if (self) self->m_model.setAudioLevel(level);
    });
}

void OverlayWindowController::setSticky(bool sticky) {
    QPointer<OverlayWindowController> self(this);
    runOnMainNowOrQueued([self, sticky] {
        if (self) self->m_model.setSticky(sticky);
    });
}

void OverlayWindowController::ensureVisibleIfNeeded() {
    QPointer<OverlayWindowController> self(this);
    runOnMainNowOrQueued([self] {
        if (!self || !self->isEnabled()) return;
        if (self->m_model.state() == OverlayState::idle && self->hideWhenIdle()) {
            self->orderOut();
            return;
        }
        self->positionPanel();
        self->orderFront();
    });
}

std::optional<QRectF> OverlayWindowController::targetPanelFrame() const {
    return OverlayGeometry::panelFrame(currentDockEdge(), m_model.state(), savedPosition(),
                                       m_screens());
}

void OverlayWindowController::positionPanel() {
    if (!m_panel) return;
    const OverlayScreenSpace space = m_screens();
    const OverlayDockEdge edge = currentDockEdge();
    m_model.setDockEdge(edge);
    const auto frame = OverlayGeometry::panelFrame(edge, m_model.state(), savedPosition(), space);
    if (!frame) return;
    m_panel->setGeometry(space.toWindowSystem(*frame).toRect());
    m_panel->update();
}

void OverlayWindowController::orderFront() {
    if (!m_panel) return;
    m_panel->show();
    m_panel->raise();
    if (!m_placedOnAllWorkspaces) {
        OverlayWindowSystem::showOnAllWorkspaces(m_panel.get());
        m_placedOnAllWorkspaces = true;
    }
}

void OverlayWindowController::orderOut() {
    if (m_panel) m_panel->hide();
}

void OverlayWindowController::handleDrop(QPointF c) {
    dismissContextMenu();
    m_settings.setMany({{kCenterX, c.x()}, {kCenterY, c.y()}}, {kBottomY});
    debugLog(QStringLiteral("[Overlay] перенесён: centerX=%1 centerY=%2")
                 .arg(static_cast<qint64>(c.x()))
                 .arg(static_cast<qint64>(c.y())));
    positionPanel();
}

void OverlayWindowController::selectDockEdge(OverlayDockEdge edge) {
    m_settings.setMany({{kDockEdge, OverlayDock::rawValue(edge)}}, {kCenterX, kCenterY, kBottomY});
    m_model.setDockEdge(edge);
    dismissContextMenu();
    positionPanel();
    debugLog("[Overlay] выбрана граница: " + OverlayDock::rawValue(edge) +
             " (vertical=" + boolText(OverlayDock::isVertical(edge)) + ")");
}

void OverlayWindowController::showContextMenu(QPointF p) {
    dismissContextMenu();
    auto* menu = new OverlayEdgeMenu(currentDockEdge(), !hasCustomDraggedPosition());
    QPointer<OverlayWindowController> self(this);
    menu->onSelect = [self](OverlayDockEdge edge) {
        if (self) self->selectDockEdge(edge);
    };
    menu->onEscape = [self] {
        if (self) self->dismissContextMenu();
    };
    const OverlayScreenSpace space = m_screens();
    const QPointF origin = OverlayGeometry::menuOrigin(p, space);
    menu->placeMenu(space.toWindowSystem(QRectF(origin, OverlayGeometry::menuSize)).toRect());
    menu->show();
    menu->raise();
    OverlayWindowSystem::showOnAllWorkspaces(menu);
    m_menu = menu;

    // Presses in other applications: seen, never taken.
    m_clickMonitor->start([self](QPointF global) {
        if (!self || !self->m_menu) return;
        if (!self->m_menu->menuFrame().contains(global.toPoint())) self->dismissContextMenu();
    });
    // Presses and keys inside this application.
    qApp->installEventFilter(this);
    m_menuFilterInstalled = true;
}

void OverlayWindowController::dismissContextMenu() {
    if (m_clickMonitor) m_clickMonitor->stop();
    if (m_menuFilterInstalled) {
        qApp->removeEventFilter(this);
        m_menuFilterInstalled = false;
    }
    if (m_menu) {
        // The menu may be the one delivering the event that closes it.
        m_menu->hide();
        m_menu->deleteLater();
        m_menu.clear();
    }
}

bool OverlayWindowController::eventFilter(QObject* watched, QEvent* event) {
    if (!m_menu) return false;
    switch (event->type()) {
        case QEvent::KeyPress: {
            const bool escape = static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
            dismissContextMenu();
            return escape;  // Escape stops here; other keys go on
        }
        case QEvent::MouseButtonPress: {
            const auto button = static_cast<QMouseEvent*>(event)->button();
            if (button != Qt::LeftButton && button != Qt::RightButton) return false;
            // Qt shows a press to the window and then to the widget: judge by window.
            QWindow* window = nullptr;
            if (auto* w = qobject_cast<QWidget*>(watched))
                window = w->window()->windowHandle();
            else
                window = qobject_cast<QWindow*>(watched);
            if (window && window != m_menu->windowHandle()) dismissContextMenu();
            return false;
        }
        default:
            return false;
    }
}
