#include "windows/OnboardingView.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "core/L10n.h"
#include "ui/Badge.h"
#include "ui/Card.h"
#include "ui/Colors.h"
#include "ui/Labels.h"
#include "ui/SymbolLabel.h"
#include "ui/Texts.h"
#include "ui/Typography.h"

// One selectable card of a recording mode.
class ModeCard : public QAbstractButton {
public:
    ModeCard(const QString& title, const QString& subtitle, QWidget* parent)
        : QAbstractButton(parent) {
        setCursor(Qt::PointingHandCursor);
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(12, 12, 12, 12);
        row->setSpacing(10);
        m_mark = new SymbolLabel(QStringLiteral("circle"), Typography::pixels(16), this);
        row->addWidget(m_mark, 0, Qt::AlignTop);
        auto* texts = new QVBoxLayout;
        texts->setSpacing(2);
        texts->addWidget(Labels::create(title, TextStyle::Body, QFont::Medium, this));
        QLabel* sub = Labels::create(subtitle, TextStyle::Caption, this, true);
        sub->setWordWrap(true);
        texts->addWidget(sub);
        row->addLayout(texts, 1);
    }
    void setSelected(bool selected) {
        m_selected = selected;
        m_mark->setSymbol(selected ? QStringLiteral("largecircle.fill.circle")
                                   : QStringLiteral("circle"));
        if (selected)
            m_mark->setColor(Colors::accent(palette()));
        else
            m_mark->setColor(Colors::secondary(palette()));
        update();
    }
    bool isSelected() const { return m_selected; }
    QSize sizeHint() const override { return layout()->sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor accent = Colors::accent(palette());
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
        p.fillPath(path, m_selected ? Colors::withOpacity(accent, 0.08)
                                    : Colors::controlBackground(palette()));
        if (m_selected) {
            p.setPen(QPen(Colors::withOpacity(accent, 0.5), 1));
            p.drawPath(path);
        }
    }

private:
    SymbolLabel* m_mark;
    bool m_selected = false;
};

// The 24-bar level meter.
class LevelMeter : public QWidget {
public:
    static constexpr int bars = 24;
    explicit LevelMeter(QWidget* parent) : QWidget(parent) { setFixedHeight(22); }
    void setLevel(double level) {
        if (level == m_level) return;
        m_level = level;
        update();
    }
    int litBars() const { return OnboardingModel::litBars(m_level, bars); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const double gap = 3;
        const double w = (width() - gap * (bars - 1)) / bars;
        const QColor lit = Colors::accent(palette());
        const QColor dark = Colors::withOpacity(Colors::secondary(palette()), 0.18);
        const int count = litBars();
        for (int i = 0; i < bars; ++i) {
            QPainterPath path;
            path.addRoundedRect(QRectF(i * (w + gap), 0, w, height()), 2, 2);
            p.fillPath(path, i < count ? lit : dark);
        }
    }

private:
    double m_level = 0;
};

// One dot per step, the current one in the accent colour.
class StepDots : public QWidget {
public:
    explicit StepDots(QWidget* parent) : QWidget(parent) {
        setFixedSize(7 * OnboardingModel::steps + 6 * (OnboardingModel::steps - 1), 7);
    }
    void setCurrent(int step) {
        m_current = step;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        for (int i = 0; i < OnboardingModel::steps; ++i) {
            p.setBrush(i == m_current ? Colors::accent(palette())
                                      : Colors::withOpacity(Colors::secondary(palette()), 0.3));
            p.drawEllipse(QRectF(i * 13, 0, 7, 7));
        }
    }

private:
    int m_current = 0;
};

namespace {

QWidget* stepTitle(const QString& icon, const QString& title, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    auto* symbol = new SymbolLabel(icon, Typography::pixels(26), row);
    symbol->setColor(Colors::accent(row->palette()));
    layout->addWidget(symbol);
    layout->addWidget(Labels::create(title, TextStyle::Title2, QFont::DemiBold, row));
    layout->addStretch(1);
    return row;
}

QLabel* wrapping(const QString& text, TextStyle style, QWidget* parent, bool secondary) {
    QLabel* label = Labels::create(text, style, parent, secondary);
    label->setWordWrap(true);
    return label;
}

QVBoxLayout* stepLayout(QWidget* step) {
    auto* layout = new QVBoxLayout(step);
    layout->setContentsMargins(28, 28, 28, 28);
    layout->setSpacing(16);
    return layout;
}

}  // namespace

OnboardingView::OnboardingView(std::function<void()> onFinish, Collaborators collaborators,
                               QWidget* parent)
    : QWidget(parent), m_c(std::move(collaborators)) {
    if (!m_c.openSoundSettings) m_c.openSoundSettings = [] { openDesktopSoundSettings(); };
    m_model = new OnboardingModel(std::move(onFinish), m_c.model, this);
    setFixedSize(480, 420);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    m_steps = new QStackedWidget(this);
    m_steps->addWidget(buildModeStep());
    m_steps->addWidget(buildMicStep());
    m_steps->addWidget(buildWhereStep());
    outer->addWidget(m_steps, 1);
    outer->addWidget(Labels::divider(this));

    auto* footer = new QHBoxLayout;
    footer->setContentsMargins(20, 14, 20, 14);
    m_skipButton = new QPushButton(L10n::onboardingSkip(), this);
    m_skipButton->setFlat(true);
    Labels::setSecondary(m_skipButton);
    m_skipButton->setCursor(Qt::PointingHandCursor);
    connect(m_skipButton, &QPushButton::clicked, m_model, &OnboardingModel::skip);
    footer->addWidget(m_skipButton);
    footer->addStretch(1);
    m_dots = new StepDots(this);
    footer->addWidget(m_dots);
    footer->addStretch(1);
    m_mainButton = new QPushButton(this);
    m_mainButton->setDefault(true);
    connect(m_mainButton, &QPushButton::clicked, m_model, &OnboardingModel::next);
    footer->addWidget(m_mainButton);
    outer->addLayout(footer);
    for (auto key : {Qt::Key_Return, Qt::Key_Enter})
        connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, m_mainButton,
                &QPushButton::click);

    connect(m_model, &OnboardingModel::changed, this, &OnboardingView::refresh);
    refresh();
}

OnboardingView::~OnboardingView() = default;

QWidget* OnboardingView::buildModeStep() {
    auto* step = new QWidget(this);
    auto* layout = stepLayout(step);
    layout->addWidget(stepTitle(QStringLiteral("mic.circle.fill"), L10n::onboardingModeTitle(), step));
    layout->addWidget(wrapping(L10n::onboardingModeSubtitle(), TextStyle::Callout, step, true));
    auto* cards = new QVBoxLayout;
    cards->setSpacing(10);
    m_pushToTalk = new ModeCard(L10n::pushToTalk(), L10n::pushToTalkDesc(), step);
    m_toggle = new ModeCard(L10n::toggleRecord(), L10n::toggleRecordDesc(), step);
    connect(m_pushToTalk, &QAbstractButton::clicked, m_model,
            [this] { m_model->setRecordingMode(QStringLiteral("pushToTalk")); });
    connect(m_toggle, &QAbstractButton::clicked, m_model,
            [this] { m_model->setRecordingMode(QStringLiteral("toggle")); });
    cards->addWidget(m_pushToTalk);
    cards->addWidget(m_toggle);
    layout->addLayout(cards);
    auto* hotkeyRow = new QHBoxLayout;
    hotkeyRow->addWidget(Labels::create(L10n::currentHotkey(), TextStyle::Body, step, true));
    auto* badge = new Badge({}, step);
    badge->setFont(Typography::monospaced());
    badge->setTint(Colors::blue(), 0.1);
    m_hotkey = badge;
    hotkeyRow->addWidget(badge);
    hotkeyRow->addStretch(1);
    layout->addLayout(hotkeyRow);
    layout->addStretch(1);
    return step;
}

QWidget* OnboardingView::buildMicStep() {
    auto* step = new QWidget(this);
    auto* layout = stepLayout(step);
    layout->addWidget(stepTitle(QStringLiteral("waveform"), L10n::onboardingMicTitle(), step));
    m_micExplanation = wrapping({}, TextStyle::Body, step, false);
    layout->addWidget(m_micExplanation);
    m_meter = new LevelMeter(step);
    layout->addWidget(m_meter);

    m_micWorks = new QWidget(step);
    auto* works = new QHBoxLayout(m_micWorks);
    works->setContentsMargins(0, 0, 0, 0);
    auto* check = new SymbolLabel(QStringLiteral("checkmark.circle.fill"), Typography::pixels(16),
                                  m_micWorks);
    check->setColor(Colors::green());
    works->addWidget(check);
    QLabel* ok = Labels::create(L10n::onboardingMicOk(), TextStyle::Body, m_micWorks);
    Labels::setTextColor(ok, Colors::green());
    works->addWidget(ok);
    works->addStretch(1);
    layout->addWidget(m_micWorks);

    m_openSettings = new QPushButton(L10n::onboardingMicOpenSettings(), step);
    connect(m_openSettings, &QPushButton::clicked, this, [this] { m_c.openSoundSettings(); });
    layout->addWidget(m_openSettings, 0, Qt::AlignLeft);
    m_waiting = Labels::create(L10n::onboardingMicWaiting(), TextStyle::Callout, step, true);
    layout->addWidget(m_waiting);
    layout->addStretch(1);
    return step;
}

QWidget* OnboardingView::buildWhereStep() {
    auto* step = new QWidget(this);
    auto* layout = stepLayout(step);
    layout->addWidget(stepTitle(QStringLiteral("menubar.arrow.up.rectangle"),
                                L10n::onboardingWhereTitle(), step));
    layout->addWidget(wrapping(L10n::onboardingWhereSubtitle(), TextStyle::Callout, step, true));
    auto* hint = new Card(step);
    hint->setRadius(8);
    auto* row = new QHBoxLayout(hint);
    row->setContentsMargins(12, 12, 12, 12);
    row->setSpacing(10);
    auto* arrow = new SymbolLabel(QStringLiteral("arrow.up.right"), Typography::pixels(20), hint);
    arrow->setColor(Colors::accent(hint->palette()));
    row->addWidget(arrow, 0, Qt::AlignTop);
    row->addWidget(wrapping(L10n::onboardingWhereHint(), TextStyle::Callout, hint, false), 1);
    layout->addWidget(hint);
    layout->addStretch(1);
    return step;
}

void OnboardingView::refresh() {
    const OnboardingModel& m = *m_model;
    m_steps->setCurrentIndex(std::clamp(m.step(), 0, 2));
    m_dots->setCurrent(m.step());
    Texts::set(m_mainButton, m.isLastStep() ? L10n::onboardingStart() : L10n::onboardingNext());
    const QString mode = m.recordingMode();
    m_pushToTalk->setSelected(mode == QLatin1String("pushToTalk"));
    m_toggle->setSelected(mode == QLatin1String("toggle"));
    if (m.step() == 0 && m_c.hotkeyName) Texts::set(m_hotkey, m_c.hotkeyName());
    Texts::set(m_micExplanation,
               m.micDenied() ? L10n::onboardingMicDenied() : L10n::onboardingMicSubtitle());
    m_meter->setLevel(m.micLevel());
    // The first status line that applies.
    m_micWorks->setVisible(m.micHeard());
    m_openSettings->setVisible(!m.micHeard() && m.micDenied());
    m_waiting->setVisible(!m.micHeard() && !m.micDenied());
}

void OnboardingView::hideEvent(QHideEvent* event) {
    m_model->disappeared();
    QWidget::hideEvent(event);
}

bool OnboardingView::openDesktopSoundSettings() {
    const std::pair<const char*, QStringList> programs[] = {
        {"gnome-control-center", {QStringLiteral("sound")}},
        {"pavucontrol", {}},
    };
    for (const auto& [program, arguments] : programs) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(program));
        if (!path.isEmpty() && QProcess::startDetached(path, arguments)) return true;
    }
    return false;
}
