#pragma once

#include <QWidget>

// One page of a window's detail area (a section of the main window). The
// frame that hosts it calls appeared() right after it installed the page
// and disappeared() right before it takes the page away (then it deletes the
// page with deleteLater). A page keeps only view state; what must outlive a
// rebuild belongs to a long-lived object.
class Page : public QWidget {
    Q_OBJECT
public:
    explicit Page(QWidget* parent = nullptr) : QWidget(parent) {}

    // Loads what the page shows; the default calls refresh().
    virtual void appeared() { refresh(); }
    // Last chance to hand over edits (e.g. push settings) before deletion.
    virtual void disappeared() {}
    // Re-reads what the page shows and re-applies every text. Sets a text
    // only where it differs, so an edit in progress keeps its cursor.
    virtual void refresh() {}

    bool isAppeared() const { return m_appeared; }

    // Called by the frame; they keep the flag in step and call the hooks.
    void notifyAppeared() {
        m_appeared = true;
        appeared();
    }
    void notifyDisappeared() {
        if (!m_appeared) return;
        m_appeared = false;
        disappeared();
    }

private:
    bool m_appeared = false;
};
