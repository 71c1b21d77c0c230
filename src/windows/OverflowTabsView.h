#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

#include "windows/EditorTab.h"

class QHBoxLayout;
class QToolButton;

// The one-line strip of editor tabs: as many tabs as fit its width (each
// tab's width estimated from its title), the rest in a "+N" menu, and the
// active tab always among the visible ones. It keeps no state of its own:
// everything is laid out again from what the caller last set.
class OverflowTabsView : public QWidget {
    Q_OBJECT
public:
    struct Split {
        QList<EditorTab> visible;
        QList<EditorTab> hidden;
    };
    // Builds the button of one visible tab.
    using TabButtonBuilder = std::function<QWidget*(const EditorTab& tab, QWidget* parent)>;

    explicit OverflowTabsView(TabButtonBuilder tabButton, QWidget* parent = nullptr);

    // Gap between items, width of the overflow button, width kept for the
    // trailing control.
    double spacing = 6;
    double overflowWidth = 52;
    double trailingWidth = 40;
    // Called with a tab's key when it is chosen in the overflow menu.
    std::function<void(const QString& key)> onActivate;

    void setState(const QList<EditorTab>& tabs, const std::optional<QString>& activeKey, bool busy);
    // The control after the tabs (taken over by the strip); none by default.
    void setTrailing(QWidget* trailing);

    // A tab's estimated width in points: 7.5 per character, plus 26.
    static double estimatedWidth(const QString& title);
    // Which tabs fit the available width, in display order.
    static Split computeSplitInner(const QList<EditorTab>& tabs,
                                   const std::optional<QString>& activeKey, double available,
                                   double spacing, double overflowWidth);
    Split currentSplit() const;
    // The overflow button while tabs are hidden, else null.
    QToolButton* overflowButton() const { return m_overflow; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void relayout();

    TabButtonBuilder m_tabButton;
    QList<EditorTab> m_tabs;
    std::optional<QString> m_activeKey;
    bool m_busy = false;
    QPointer<QWidget> m_trailing;
    QHBoxLayout* m_row = nullptr;
    QList<QWidget*> m_items;  // buttons and the overflow button, rebuilt on layout
    QToolButton* m_overflow = nullptr;
    bool m_relayoutPending = false;
};
