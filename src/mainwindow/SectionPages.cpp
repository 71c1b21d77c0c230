#include "mainwindow/SectionPages.h"

#include "mainwindow/AccountSection.h"
#include "mainwindow/ClipboardSection.h"
#include "mainwindow/DictionarySection.h"
#include "mainwindow/FilesSection.h"
#include "mainwindow/HistorySection.h"
#include "mainwindow/HomeSection.h"
#include "mainwindow/MainWindowContext.h"
#include "mainwindow/ProductsSection.h"
#include "mainwindow/SettingsSection.h"
#include "mainwindow/SnippetsSection.h"

Page* createSectionPage(SidebarSection section, const MainWindowContext& context,
                        QWidget* parent) {
    switch (section) {
        case SidebarSection::home: return new HomeSection(context, parent);
        case SidebarSection::history: return new HistorySection(context, parent);
        case SidebarSection::clipboard: return new ClipboardSection(context, parent);
        case SidebarSection::files: return new FilesSection(context, parent);
        case SidebarSection::dictionary: return new DictionarySection(context, parent);
        case SidebarSection::snippets: return new SnippetsSection(context, parent);
        case SidebarSection::products: return new ProductsSection(parent);
        case SidebarSection::settings: return new SettingsSection(context, parent);
        case SidebarSection::account: return new AccountSection(context, parent);
    }
    return new HomeSection(context, parent);
}
