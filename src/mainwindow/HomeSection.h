#pragma once

#include "mainwindow/MainWindowContext.h"
#include "ui/Page.h"

class Card;
class QLabel;

// The first page: a greeting, the dictation hotkey and the three steps of
// a dictation with it, and for a signed-in user the week's word usage, the
// word limit and the plan. It only reads; it follows the application state.
class HomeSection : public Page {
    Q_OBJECT
public:
    HomeSection(const MainWindowContext& context, QWidget* parent = nullptr);

    void refresh() override;

    // What the page shows, for tests.
    bool showsUsage() const;
    QLabel* hotkeyLine() const { return m_hotkeyLine; }
    QLabel* holdStepDescription() const { return m_holdDesc; }
    QLabel* wordsUsedValue() const { return m_usedValue; }
    QLabel* wordsLimitValue() const { return m_limitValue; }
    QLabel* planValue() const { return m_planValue; }

private:
    QWidget* stepView(QLabel** title, QLabel** description, const QString& icon);
    QWidget* statCard(QLabel** title, QLabel** value);

    MainWindowContext m_c;
    QLabel* m_welcome = nullptr;
    QLabel* m_ready = nullptr;
    QLabel* m_hotkeyLine = nullptr;
    QLabel* m_releaseLine = nullptr;
    QLabel* m_holdTitle = nullptr;
    QLabel* m_holdDesc = nullptr;
    QLabel* m_speakTitle = nullptr;
    QLabel* m_speakDesc = nullptr;
    QLabel* m_releaseTitle = nullptr;
    QLabel* m_releaseDesc = nullptr;
    Card* m_usage = nullptr;
    QLabel* m_usageTitle = nullptr;
    QLabel* m_usedTitle = nullptr;
    QLabel* m_usedValue = nullptr;
    QLabel* m_limitTitle = nullptr;
    QLabel* m_limitValue = nullptr;
    QLabel* m_planTitle = nullptr;
    QLabel* m_planValue = nullptr;
};
