#pragma once

#include <QAbstractButton>

// An on/off switch with an optional label on its leading side (the design's
// toggles). Checkable; toggled(bool) reports a change. Space toggles it.
class Switch : public QAbstractButton {
    Q_OBJECT
public:
    explicit Switch(QWidget* parent = nullptr);
    explicit Switch(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    QRectF trackRect() const;
};
