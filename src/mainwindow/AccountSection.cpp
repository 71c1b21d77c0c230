#include "mainwindow/AccountSection.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/L10n.h"
#include "core/WindowOpener.h"
#include "ui/Badge.h"
#include "ui/Colors.h"
#include "ui/Labels.h"
#include "ui/Metrics.h"
#include "ui/SymbolLabel.h"
#include "ui/Texts.h"
#include "ui/Typography.h"

AccountSection::Usage AccountSection::usage(qint64 used, qint64 limit) {
    const bool unlimited = limit < 0 || limit > 999999;
    Usage u;
    u.count = unlimited ? QStringLiteral("%1 / ∞").arg(used)
                        : QStringLiteral("%1 / %2").arg(used).arg(limit);
    u.showsBar = !unlimited;
    u.overLimit = used >= limit;
    // The bar works in a small integer range whatever the numbers' size.
    const double total = double(std::max<qint64>(limit, 1));
    const double value = std::clamp(double(std::min(used, limit)), 0.0, total);
    u.barValue = int(value / total * kBarRange + 0.5);
    return u;
}

AccountSection::AccountSection(const MainWindowContext& context, QWidget* parent)
    : Page(parent), m_context(context) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Metrics::around(Metrics::blockGap));
    layout->setSpacing(Metrics::blockGap);
    layout->addSpacing(Metrics::pageMargin);
    m_forms = new QStackedWidget(this);
    layout->addWidget(m_forms);
    layout->addStretch();

    // Signed in.
    auto* signedIn = new QWidget(m_forms);
    auto* in = new QVBoxLayout(signedIn);
    in->setContentsMargins(0, 0, 0, 0);
    in->setSpacing(Metrics::formGap);
    auto* avatar = new SymbolLabel(QStringLiteral("person.circle.fill"), 64, signedIn);
    avatar->setColor(Colors::blue());
    in->addWidget(avatar, 0, Qt::AlignHCenter);
    auto* who = new QVBoxLayout;
    who->setSpacing(Metrics::itemGap);
    m_name = Labels::create({}, TextStyle::Title3, QFont::Medium, signedIn);
    m_name->setAlignment(Qt::AlignHCenter);
    who->addWidget(m_name);
    m_plan = new Badge({}, signedIn);
    m_plan->setFont(Typography::font(TextStyle::Caption, QFont::Medium));
    m_plan->setTint(Colors::blue(), 0.1);
    m_plan->setPadding(Metrics::groupGap, Metrics::tightGap);
    m_plan->setRadius(8);
    who->addWidget(m_plan, 0, Qt::AlignHCenter);
    in->addLayout(who);

    auto* usageBox = new QGroupBox(signedIn);
    usageBox->setMaximumWidth(400);
    auto* usageLayout = new QVBoxLayout(usageBox);
    usageLayout->setContentsMargins(Metrics::groupGap, Metrics::tightGap, Metrics::groupGap,
                                    Metrics::itemGap);
    usageLayout->setSpacing(Metrics::itemGap);
    m_usageTitle = Labels::create({}, TextStyle::Headline, usageBox);
    usageLayout->addWidget(m_usageTitle);
    auto* row = new QHBoxLayout;
    m_wordsLabel = Labels::create({}, TextStyle::Body, usageBox);
    m_count = Labels::create({}, TextStyle::Body, QFont::Medium, usageBox);
    m_count->setObjectName(QStringLiteral("wordCount"));
    row->addWidget(m_wordsLabel);
    row->addStretch();
    row->addWidget(m_count);
    usageLayout->addLayout(row);
    m_bar = new QProgressBar(usageBox);
    m_bar->setRange(0, kBarRange);
    m_bar->setTextVisible(false);
    m_bar->setFixedHeight(6);
    usageLayout->addWidget(m_bar);
    in->addWidget(usageBox, 0, Qt::AlignHCenter);
    usageBox->setMinimumWidth(320);

    m_logout = new QPushButton(signedIn);
    m_logout->setObjectName(QStringLiteral("logout"));
    connect(m_logout, &QPushButton::clicked, this, [this] {
        if (m_context.logout) m_context.logout();
    });
    in->addWidget(m_logout, 0, Qt::AlignHCenter);
    // The stack is as tall as its taller form: the other keeps its items
    // together at the top rather than spread apart.
    in->addStretch(1);
    m_forms->addWidget(signedIn);

    // Signed out.
    auto* signedOut = new QWidget(m_forms);
    auto* out = new QVBoxLayout(signedOut);
    out->setContentsMargins(0, 0, 0, 0);
    out->setSpacing(Metrics::sectionGap);
    out->addWidget(new SymbolLabel(QStringLiteral("person.circle"), 64, signedOut), 0,
                   Qt::AlignHCenter);
    m_notSignedIn = Labels::create({}, TextStyle::Title3, signedOut, true);
    m_notSignedIn->setAlignment(Qt::AlignHCenter);
    out->addWidget(m_notSignedIn);
    m_invitation = Labels::create({}, TextStyle::Caption, signedOut, true);
    m_invitation->setAlignment(Qt::AlignHCenter);
    m_invitation->setWordWrap(true);
    out->addWidget(m_invitation);
    m_login = new QPushButton(signedOut);
    m_login->setObjectName(QStringLiteral("loginRegister"));
    m_login->setDefault(true);
    connect(m_login, &QPushButton::clicked, this, [this] {
        if (m_context.windows) m_context.windows->showLoginWindow();
    });
    out->addWidget(m_login, 0, Qt::AlignHCenter);
    out->addStretch(1);
    m_forms->addWidget(signedOut);

    if (AppState* state = m_context.appState) {
        for (auto signal : {&AppState::isAuthenticatedChanged, &AppState::userEmailChanged,
                            &AppState::userNameChanged, &AppState::userPlanChanged,
                            &AppState::wordsUsedChanged, &AppState::wordsLimitChanged})
            connect(state, signal, this, &AccountSection::refresh);
    }
}

void AccountSection::refresh() {
    const AppState* state = m_context.appState;
    if (!state) return;
    m_forms->setCurrentIndex(state->isAuthenticated() ? 0 : 1);

    Texts::set(m_name, state->userEmail().isEmpty() ? state->userName() : state->userEmail());
    Texts::set(m_plan, state->userPlan());
    Texts::set(m_usageTitle, L10n::usage());
    Texts::set(m_wordsLabel, L10n::wordsThisWeek());
    const Usage u = usage(state->wordsUsed(), state->wordsLimit());
    Texts::set(m_count, u.count);
    m_bar->setVisible(u.showsBar);
    m_bar->setValue(u.barValue);
    QPalette palette = m_bar->palette();
    palette.setColor(QPalette::Highlight, u.overLimit ? Colors::red() : Colors::blue());
    m_bar->setPalette(palette);
    Texts::set(m_logout, L10n::logout());

    Texts::set(m_notSignedIn, L10n::notSignedIn());
    Texts::set(m_invitation, L10n::signInToSync());
    Texts::set(m_login, L10n::loginRegister());
}
