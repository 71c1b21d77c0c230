#pragma once

#include "mainwindow/SidebarSection.h"
#include "ui/Page.h"

class EmptyState;

// Stands in for a section whose page this build does not have yet: the
// section's symbol and title.
class PlaceholderPage : public Page {
    Q_OBJECT
public:
    explicit PlaceholderPage(SidebarSection section, QWidget* parent = nullptr);
    SidebarSection section() const { return m_section; }
    void refresh() override;

private:
    SidebarSection m_section;
    EmptyState* m_empty;
};
