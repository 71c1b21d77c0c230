#include "mainwindow/PlaceholderPage.h"

#include <QVBoxLayout>

#include "ui/EmptyState.h"

PlaceholderPage::PlaceholderPage(SidebarSection section, QWidget* parent)
    : Page(parent), m_section(section) {
    auto* layout = new QVBoxLayout(this);
    m_empty = new EmptyState(sidebarIcon(section), sidebarTitle(section), {}, this);
    layout->addWidget(m_empty);
}

void PlaceholderPage::refresh() { m_empty->setTitle(sidebarTitle(m_section)); }
