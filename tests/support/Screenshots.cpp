#include "support/Screenshots.h"

#include <QApplication>
#include <QDir>
#include <QLayout>
#include <QPixmap>
#include <QWidget>

QString testsupport::saveScreenshot(QWidget* widget, const QString& name) {
    const QString dir = QStringLiteral(ORMIL_ARTIFACTS_DIR);
    QDir().mkpath(dir);
    widget->ensurePolished();
    if (QLayout* layout = widget->layout()) layout->activate();
    QApplication::processEvents();
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    widget->grab().save(path);
    return path;
}
