// The floor for any Qt tray application on this machine: a QApplication
// with one tray icon and its menu, nothing else. The start-up bench runs it
// beside Ormil to tell what is Ormil's own cost.
#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::darkGray);
    QSystemTrayIcon icon{QIcon(pixmap)};
    QMenu menu;
    menu.addAction(QStringLiteral("Quit"), &app, &QCoreApplication::quit);
    icon.setContextMenu(&menu);
    icon.show();
    return app.exec();
}
