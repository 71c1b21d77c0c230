#pragma once

#include <QClipboard>
#include <QObject>
#include <QPointer>

#include "platform/Pasteboard.h"

class QMimeData;

// An X11 selection through QClipboard: CLIPBOARD, or PRIMARY (what a
// terminal of the xterm family pastes). It holds one item; every format of
// the current owner is read for a snapshot and served back verbatim on
// restore. Main thread only.
class X11Pasteboard : public QObject, public Pasteboard {
    Q_OBJECT
public:
    explicit X11Pasteboard(QClipboard* clipboard = nullptr, QObject* parent = nullptr,
                           QClipboard::Mode mode = QClipboard::Clipboard);

    int changeCount() const override { return m_changeCount; }
    QList<Item> items() const override;
    QStringList types() const override;
    QString string() const override;
    int clearContents() override;
    bool writeItems(const QList<Item>& items) override;
    bool setString(const QString& text, const Item& extraFormats = {}) override;
    int textFetchCount() const override;

private:
    void put(QMimeData* data);
    void onChanged();
    bool ownsSelection() const;

    QClipboard* m_clipboard;
    QClipboard::Mode m_mode;
    int m_changeCount = 0;
    // The contents we put last (owned by QClipboard while we own the
    // selection).
    QPointer<QMimeData> m_ours;
    bool m_writing = false;
};
