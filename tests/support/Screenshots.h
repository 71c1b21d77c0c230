#pragma once

#include <QString>

class QWidget;

namespace testsupport {

// Saves what the widget shows as build/artifacts/<name>.png (lays it out
// and paints it first; works on the offscreen platform). Returns the path.
QString saveScreenshot(QWidget* widget, const QString& name);

}  // namespace testsupport
