#pragma once

#include <QString>

#include "mainwindow/MainWindowContext.h"
#include "ui/Page.h"

class Badge;
class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;

// The Account section: who is signed in, the plan, this week's words against
// the plan's limit and sign-out; signed out, an invitation to sign in. Reads
// everything from AppState and follows its changes.
class AccountSection : public Page {
    Q_OBJECT
public:
    // How the word count and its bar look for (used, limit).
    struct Usage {
        QString count;   // "1500 / 2000", or "1500 / ∞" when unlimited
        bool showsBar;   // only for a limited quota
        int barValue;    // of kBarRange: min(used, limit) / max(limit, 1)
        bool overLimit;  // red once used >= limit
    };
    static constexpr int kBarRange = 10000;
    static Usage usage(qint64 used, qint64 limit);

    AccountSection(const MainWindowContext& context, QWidget* parent = nullptr);

    void refresh() override;

private:
    MainWindowContext m_context;
    QStackedWidget* m_forms = nullptr;
    QLabel* m_name = nullptr;
    Badge* m_plan = nullptr;
    QLabel* m_usageTitle = nullptr;
    QLabel* m_wordsLabel = nullptr;
    QLabel* m_count = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_logout = nullptr;
    QLabel* m_notSignedIn = nullptr;
    QLabel* m_invitation = nullptr;
    QPushButton* m_login = nullptr;
};
