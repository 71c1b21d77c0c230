#pragma once

#include <QObject>
#include <memory>

#include "platform/Pasteboard.h"

// The Wayland clipboard through the compositor's data-control protocol, on a
// Wayland connection of its own (the windows may well be X11 clients of
// XWayland): it sets and reads the clipboard without a window and without
// the focus, which a Wayland desktop otherwise gives only to the focused
// window. KWin and wlroots compositors offer it; mutter does not (create()
// then gives none). Reading another client's contents waits for that
// client, at most a second per format. Main thread only.
class DataControlPasteboard : public QObject, public Pasteboard {
    Q_OBJECT
public:
    // None when there is no Wayland display or it offers no data-control.
    static std::unique_ptr<DataControlPasteboard> create(QObject* parent = nullptr);
    ~DataControlPasteboard() override;

    int changeCount() const override;
    QList<Item> items() const override;
    QStringList types() const override;
    QString string() const override;
    int clearContents() override;
    bool writeItems(const QList<Item>& items) override;
    bool setString(const QString& text, const Item& extraFormats = {}) override;
    int textFetchCount() const override;

    static constexpr int kReadTimeoutMs = 1000;

private:
    struct Private;
    explicit DataControlPasteboard(std::unique_ptr<Private> d, QObject* parent);
    std::unique_ptr<Private> d;
};
