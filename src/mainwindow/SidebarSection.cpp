#include "mainwindow/SidebarSection.h"

#include "core/L10n.h"

namespace {
struct Row {
    SidebarSection section;
    const char* raw;
    const char* icon;
};
constexpr Row kRows[] = {
    {SidebarSection::home, "Home", "house"},
    {SidebarSection::history, "History", "clock"},
    {SidebarSection::clipboard, "Clipboard", "doc.on.clipboard"},
    {SidebarSection::files, "Files", "music.note.list"},
    {SidebarSection::dictionary, "Dictionary", "book"},
    {SidebarSection::snippets, "Snippets", "doc.text"},
    {SidebarSection::products, "Products", "shippingbox"},
    {SidebarSection::settings, "Settings", "gear"},
    {SidebarSection::account, "Account", "person.circle"},
};
const Row& row(SidebarSection s) { return kRows[int(s)]; }
}  // namespace

QString rawValue(SidebarSection section) { return QString::fromLatin1(row(section).raw); }

std::optional<SidebarSection> sidebarSectionFromRawValue(const QString& raw) {
    for (const Row& r : kRows)
        if (raw == QLatin1String(r.raw)) return r.section;
    return std::nullopt;
}

const QList<SidebarSection>& allSidebarSections() {
    static const QList<SidebarSection> all = [] {
        QList<SidebarSection> list;
        for (const Row& r : kRows) list << r.section;
        return list;
    }();
    return all;
}

QString sidebarTitle(SidebarSection section) {
    switch (section) {
        case SidebarSection::home: return L10n::home();
        case SidebarSection::history: return L10n::history();
        case SidebarSection::clipboard: return L10n::clipboardSection();
        case SidebarSection::files: return L10n::filesSection();
        case SidebarSection::dictionary: return L10n::dictionary();
        case SidebarSection::snippets: return L10n::snippets();
        case SidebarSection::products: return L10n::productsSection();
        case SidebarSection::settings: return L10n::settings();
        case SidebarSection::account: return L10n::account();
    }
    return {};
}

QString sidebarIcon(SidebarSection section) { return QString::fromLatin1(row(section).icon); }
