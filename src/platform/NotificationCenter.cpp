#include "platform/NotificationCenter.h"

#include <QCoreApplication>
#include <QMetaObject>

NotificationCenter& NotificationCenter::shared() {
    static NotificationCenter* instance = new NotificationCenter();
    return *instance;
}

NotificationCenter::NotificationCenter() {
    if (QCoreApplication* app = QCoreApplication::instance()) moveToThread(app->thread());
}

void NotificationCenter::postSessionExpired() {
    QMetaObject::invokeMethod(this, [this] { emit ormilSessionExpired(); }, Qt::QueuedConnection);
}

void NotificationCenter::postDataChanged() {
    QMetaObject::invokeMethod(this, [this] { emit ormilDataChanged(); }, Qt::QueuedConnection);
}

void NotificationCenter::postNavigateToSection(const QString& section) {
    QMetaObject::invokeMethod(
        this, [this, section] { emit ormilNavigateToSection(section); }, Qt::QueuedConnection);
}

void NotificationCenter::postEditorSourceChanged(const QString& source) {
    QMetaObject::invokeMethod(
        this, [this, source] { emit ormilEditorSourceChanged(source); }, Qt::QueuedConnection);
}
