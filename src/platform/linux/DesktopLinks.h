#pragma once

#include <QString>

// What the desktop knows about links of other applications.
namespace DesktopLinks {
// Whether an installed application handles "scheme:" links (a default
// handler or any registered one), as the desktop's MIME associations say.
bool hasSchemeHandler(const QString& scheme);
}  // namespace DesktopLinks
