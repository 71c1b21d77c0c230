#pragma once

#include <QObject>
#include <QString>

// The application's notification centre. post*() may be called from any
// thread; every signal is delivered on the main thread, after the posting
// call has returned (queued), so observers never run inside the poster.
class NotificationCenter : public QObject {
    Q_OBJECT
public:
    static NotificationCenter& shared();

    void postSessionExpired();
    void postDataChanged();
    void postNavigateToSection(const QString& section);
    void postEditorSourceChanged(const QString& source);

signals:
    void ormilSessionExpired();
    void ormilDataChanged();
    // section is a SidebarSection raw value ("Home", "History", ...).
    void ormilNavigateToSection(const QString& section);
    // userInfo "source": the new source text of the editor window.
    void ormilEditorSourceChanged(const QString& source);

private:
    NotificationCenter();
};
