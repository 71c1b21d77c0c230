#pragma once

#include <QGroupBox>
#include <QList>
#include <QString>
#include <QStringList>

#include "mainwindow/MainWindowContext.h"
#include "mainwindow/PerAppStyles.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QVBoxLayout;
class RunningApps;
class SettingsStore;
class WindowWatcher;

// The Text tab's "Styles per app" group: the switch, one row per ruled
// application (its checkbox and tone picker) and the menu that adds running
// applications. It follows the stored keys by itself; the running
// applications are read when it appears and whenever an application
// starts, stops or gets the focus.
class PerAppStylesGroup : public QGroupBox {
    Q_OBJECT
public:
    // The process-wide running applications and window watcher.
    PerAppStylesGroup(const MainWindowContext& context, QWidget* parent = nullptr);
    PerAppStylesGroup(SettingsStore& store, RunningApps& running, WindowWatcher& watcher,
                      QWidget* parent = nullptr);

    void refresh();
    // The desktop does not tell which application is in front: the caption
    // says that the styles apply in X11 applications only.
    void setFocusedAppUnknown(bool unknown);
    // Reads the running applications again and rebuilds the menu.
    void refreshRunningApps();

    // What the menu offers now (runningAppsCache).
    const QList<PerAppStyles::Offer>& offers() const { return m_offers; }
    QMenu* addMenu() const { return m_menu; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void add(const QString& id);
    void setRuled(const QString& id, const QStringList& ids, const QString& tone, bool on);
    void pick(const QString& id, const QString& tone);
    void rebuildRows(const QStringList& ids);
    void rebuildMenu();
    QString language() const;

    SettingsStore& m_store;
    RunningApps& m_running;
    QCheckBox* m_enabled = nullptr;
    QLabel* m_caption = nullptr;
    bool m_focusedAppUnknown = false;
    QWidget* m_rows = nullptr;
    QVBoxLayout* m_rowsLayout = nullptr;
    QPushButton* m_add = nullptr;
    QMenu* m_menu = nullptr;
    PerAppStyles::Rules m_rules;
    QList<RunningApp> m_apps;
    QList<PerAppStyles::Offer> m_offers;
    struct Row {
        QString id;
        QCheckBox* check = nullptr;
        QComboBox* tone = nullptr;
    };
    QList<Row> m_rowWidgets;
    // What the rows were built for: identifiers and their names.
    QStringList m_rowKey;
};
