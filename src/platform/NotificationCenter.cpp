#include "platform/NotificationCenter.h"

#include <QCoreApplication>

#include "platform/Threading.h"

NotificationCenter& NotificationCenter::shared() {
    static NotificationCenter* instance = new NotificationCenter();
    return *instance;
}

NotificationCenter::NotificationCenter() {
    if (QCoreApplication* app = QCoreApplication::instance()) moveToThread(app->thread());
}

void NotificationCenter::postSessionExpired() {
    runOnMain(this, [this] { emit ormilSessionExpired(); });
}

void NotificationCenter::postDataChanged() {
    runOnMain(this, [this] { emit ormilDataChanged(); });
}

void NotificationCenter::postNavigateToSection(const QString& section) {
    runOnMain(this, [this, section] { emit ormilNavigateToSection(section); });
}

void NotificationCenter::postEditorSourceChanged(const QString& source) {
    runOnMain(this, [this, source] { emit ormilEditorSourceChanged(source); });
}
