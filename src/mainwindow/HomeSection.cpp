#include "mainwindow/HomeSection.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

#include "core/AppState.h"
#include "core/L10n.h"
#include "ui/Card.h"
#include "ui/Colors.h"
#include "ui/Labels.h"
#include "ui/Metrics.h"
#include "ui/SymbolLabel.h"
#include "ui/Texts.h"
#include "ui/Typography.h"

namespace {

QLabel* centred(QLabel* label) {
    label->setAlignment(Qt::AlignHCenter);
    label->setWordWrap(true);
    return label;
}

SymbolLabel* blueSymbol(const QString& name, int sizePx, QWidget* parent) {
    auto* symbol = new SymbolLabel(name, sizePx, parent);
    symbol->setColor(Colors::blue());
    return symbol;
}

}  // namespace

HomeSection::HomeSection(const MainWindowContext& context, QWidget* parent)
    : Page(parent), m_c(context) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    outer->addWidget(scroll);

    auto* content = new QWidget(scroll);
    auto* centring = new QHBoxLayout(content);
    centring->setContentsMargins(Metrics::around(Metrics::wideMargin));
    auto* columnWidget = new QWidget(content);
    columnWidget->setMaximumWidth(600);
    centring->addWidget(columnWidget);
    auto* column = new QVBoxLayout(columnWidget);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(Metrics::blockGap);
    scroll->setWidget(content);

    column->addSpacing(Metrics::pageMargin);

    // Header.
    auto* header = new QVBoxLayout;
    header->setSpacing(Metrics::itemGap);
    header->addWidget(blueSymbol(QStringLiteral("waveform.circle.fill"), Typography::pixels(56),
                                 columnWidget),
                      0, Qt::AlignHCenter);
    m_welcome = centred(Labels::create({}, TextStyle::LargeTitle, QFont::Bold, columnWidget));
    m_ready = centred(Labels::create({}, TextStyle::Title3, columnWidget, true));
    header->addWidget(m_welcome);
    header->addWidget(m_ready);
    column->addLayout(header);

    // Hotkey card: the hotkey line on a blue tint, then the three steps.
    auto* hotkeyCard = new Card(columnWidget);
    hotkeyCard->setContentsMargins(0, 0, 0, 0);
    auto* hotkeyColumn = new QVBoxLayout(hotkeyCard);
    hotkeyColumn->setContentsMargins(Metrics::around(Metrics::cardPadding));
    hotkeyColumn->setSpacing(Metrics::sectionGap);
    auto* tint = new Card(hotkeyCard);
    tint->setFill(Colors::withOpacity(Colors::blue(), 0.08));
    tint->setContentsMargins(0, 0, 0, 0);
    auto* tintRow = new QHBoxLayout(tint);
    tintRow->setContentsMargins(Metrics::around(Metrics::groupGap));
    tintRow->setSpacing(Metrics::groupGap);
    tintRow->addWidget(blueSymbol(QStringLiteral("keyboard"),
                                  QFontMetrics(Typography::font(TextStyle::Title2)).height(), tint));
    auto* lines = new QVBoxLayout;
    lines->setSpacing(Metrics::lineGap);
    m_hotkeyLine = Labels::create({}, TextStyle::Headline, tint);
    m_hotkeyLine->setObjectName(QStringLiteral("hotkeyLine"));
    m_hotkeyLine->setWordWrap(true);
    m_releaseLine = Labels::create({}, TextStyle::Subheadline, tint, true);
    m_releaseLine->setWordWrap(true);
    lines->addWidget(m_hotkeyLine);
    lines->addWidget(m_releaseLine);
    tintRow->addLayout(lines, 1);
    hotkeyColumn->addWidget(tint);
    auto* steps = new QHBoxLayout;
    steps->setSpacing(Metrics::blockGap);
    steps->addWidget(stepView(&m_holdTitle, &m_holdDesc, QStringLiteral("hand.tap")), 1);
    steps->addWidget(stepView(&m_speakTitle, &m_speakDesc, QStringLiteral("mic.fill")), 1);
    steps->addWidget(stepView(&m_releaseTitle, &m_releaseDesc, QStringLiteral("text.cursor")), 1);
    hotkeyColumn->addLayout(steps);
    column->addWidget(hotkeyCard);

    // Usage card.
    m_usage = new Card(columnWidget);
    m_usage->setObjectName(QStringLiteral("usage"));
    m_usage->setContentsMargins(0, 0, 0, 0);
    auto* usage = new QVBoxLayout(m_usage);
    usage->setContentsMargins(Metrics::around(Metrics::cardPadding));
    usage->setSpacing(Metrics::groupGap);
    m_usageTitle = Labels::create({}, TextStyle::Headline, m_usage);
    usage->addWidget(m_usageTitle);
    auto* figures = new QHBoxLayout;
    figures->setSpacing(Metrics::blockGap);
    figures->addWidget(statCard(&m_usedTitle, &m_usedValue), 1);
    figures->addWidget(statCard(&m_limitTitle, &m_limitValue), 1);
    figures->addWidget(statCard(&m_planTitle, &m_planValue), 1);
    usage->addLayout(figures);
    column->addWidget(m_usage);
    column->addStretch(1);

    if (AppState* state = m_c.appState) {
        for (auto signal : {&AppState::isAuthenticatedChanged, &AppState::wordsUsedChanged,
                            &AppState::wordsLimitChanged, &AppState::userPlanChanged})
            connect(state, signal, this, &HomeSection::refresh);
    }
    refresh();
}

QWidget* HomeSection::stepView(QLabel** title, QLabel** description, const QString& icon) {
    auto* step = new QWidget(this);
    auto* column = new QVBoxLayout(step);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(Metrics::itemGap);
    auto* frame = new QWidget(step);
    frame->setFixedHeight(32);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    frameLayout->addWidget(
        blueSymbol(icon, QFontMetrics(Typography::font(TextStyle::Title)).height(), frame), 0,
        Qt::AlignCenter);
    column->addWidget(frame);
    *title = centred(Labels::create({}, TextStyle::Headline, step));
    *description = centred(Labels::create({}, TextStyle::Caption, step, true));
    column->addWidget(*title);
    column->addWidget(*description);
    column->addStretch(1);
    return step;
}

QWidget* HomeSection::statCard(QLabel** title, QLabel** value) {
    auto* figure = new QWidget(m_usage);
    auto* column = new QVBoxLayout(figure);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(Metrics::tightGap);
    *value = centred(Labels::create({}, TextStyle::Title2, QFont::Bold, figure));
    (*value)->setTextFormat(Qt::PlainText);
    *title = centred(Labels::create({}, TextStyle::Caption, figure, true));
    column->addWidget(*value);
    column->addWidget(*title);
    return figure;
}

bool HomeSection::showsUsage() const { return !m_usage->isHidden(); }

void HomeSection::refresh() {
    const QString hotkey = m_c.dictationHotkeyName ? m_c.dictationHotkeyName() : QString();
    Texts::set(m_welcome, L10n::welcomeBack());
    Texts::set(m_ready, L10n::voiceAssistantReady());
    Texts::set(m_hotkeyLine, L10n::holdHotkeyToRecord(hotkey));
    Texts::set(m_releaseLine, L10n::releaseToTranscribe());
    Texts::set(m_holdTitle, L10n::stepHold());
    Texts::set(m_holdDesc, L10n::stepHoldDesc(hotkey));
    Texts::set(m_speakTitle, L10n::stepSpeak());
    Texts::set(m_speakDesc, L10n::stepSpeakDesc());
    Texts::set(m_releaseTitle, L10n::stepRelease());
    Texts::set(m_releaseDesc, L10n::stepReleaseDesc());

    const AppState* s = m_c.appState;
    m_usage->setVisible(s && s->isAuthenticated());
    if (!s) return;
    Texts::set(m_usageTitle, L10n::usage());
    Texts::set(m_usedTitle, L10n::wordsUsed());
    Texts::set(m_limitTitle, L10n::wordsLimit());
    Texts::set(m_planTitle, L10n::plan());
    Texts::set(m_usedValue, QString::number(s->wordsUsed()));
    Texts::set(m_limitValue, s->isUnlimitedWords() ? QStringLiteral("∞")
                                                  : QString::number(s->wordsLimit()));
    Texts::set(m_planValue, s->userPlan());
}
