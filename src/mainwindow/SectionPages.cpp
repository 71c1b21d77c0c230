#include "mainwindow/SectionPages.h"

#include "mainwindow/MainWindowContext.h"
#include "mainwindow/PlaceholderPage.h"

Page* createSectionPage(SidebarSection section, const MainWindowContext& context,
                        QWidget* parent) {
    (void)context;
    switch (section) {
        case SidebarSection::home: return new PlaceholderPage(section, parent);
        case SidebarSection::history: return new PlaceholderPage(section, parent);
        case SidebarSection::clipboard: return new PlaceholderPage(section, parent);
        case SidebarSection::files: return new PlaceholderPage(section, parent);
        case SidebarSection::dictionary: return new PlaceholderPage(section, parent);
        case SidebarSection::snippets: return new PlaceholderPage(section, parent);
        case SidebarSection::products: return new PlaceholderPage(section, parent);
        case SidebarSection::settings: return new PlaceholderPage(section, parent);
        case SidebarSection::account: return new PlaceholderPage(section, parent);
    }
    return new PlaceholderPage(section, parent);
}
