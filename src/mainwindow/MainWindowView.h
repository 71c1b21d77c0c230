#pragma once

#include <QList>
#include <QPointer>
#include <QUuid>
#include <QWidget>
#include <optional>

#include "mainwindow/MainWindowContext.h"
#include "mainwindow/SidebarSection.h"

class Page;
class QListWidget;
class QListWidgetItem;
class QVBoxLayout;

// The main window's content: a sidebar of sections in two groups and a
// detail area that shows the selected section's page. The page is built
// afresh whenever the selection changes and whenever the stores announce a
// change, so it always shows what is stored; a rebuild waits while a modal
// dialog is open. Main thread only.
class MainWindowView : public QWidget {
    Q_OBJECT
public:
    explicit MainWindowView(MainWindowContext context, QWidget* parent = nullptr);
    ~MainWindowView() override;

    SidebarSection selectedSection() const { return m_selected; }
    // Selecting the section already shown does nothing.
    void setSelectedSection(SidebarSection section);
    // The first sidebar group: Home, History, Clipboard, Files (only while
    // the files feature is on), Dictionary, Snippets, Our products.
    QList<SidebarSection> mainSections() const;
    // The identity of the detail area; renewed with every rebuild.
    QUuid refreshID() const { return m_refreshID; }
    // Renews the detail area now, or once no modal dialog is open.
    void renewDetail();
    Page* currentPage() const { return m_page; }
    QListWidget* sidebar() const { return m_sidebar; }
    // The sections of the sidebar's rows, top to bottom; none for a group
    // header.
    QList<std::optional<SidebarSection>> sidebarRows() const;
    const MainWindowContext& context() const { return m_context; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rebuildSidebar();
    void syncSidebarSelection();
    void rebuildDetail();
    void installPage();
    void waitForModalToClose(QWidget* modal);
    void runStartTask();
    void onNavigate(const QString& raw);

    MainWindowContext m_context;
    SidebarSection m_selected = SidebarSection::home;
    QUuid m_refreshID = QUuid::createUuid();
    QListWidget* m_sidebar = nullptr;
    QWidget* m_detail = nullptr;
    QVBoxLayout* m_detailLayout = nullptr;
    QPointer<Page> m_page;
    bool m_rebuildPending = false;
    bool m_stale = false;
    QString m_sidebarLanguage;
    QPointer<QWidget> m_watchedModal;
};
