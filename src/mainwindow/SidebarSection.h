#pragma once

#include <QList>
#include <QString>
#include <optional>

// The sections of the main window, in the order of their declaration.
enum class SidebarSection {
    home,
    history,
    clipboard,
    files,
    dictionary,
    snippets,
    products,
    settings,
    account,
};

// "Home", "History", ... "Products" (titled "Our products"), "Settings",
// "Account"; also the identity a section carries in notifications.
QString rawValue(SidebarSection section);
// Exactly the nine raw values, case-sensitive; anything else is none.
std::optional<SidebarSection> sidebarSectionFromRawValue(const QString& raw);
const QList<SidebarSection>& allSidebarSections();
// The section's sidebar title in the interface language.
QString sidebarTitle(SidebarSection section);
// The section's sidebar symbol name.
QString sidebarIcon(SidebarSection section);
