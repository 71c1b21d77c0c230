#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>
#include <optional>

// A small indeterminate progress indicator: eight spokes, the bright one
// advancing every 0.1 s while the spinner is visible and running.
class QPainter;

class BusySpinner : public QWidget {
    Q_OBJECT
public:
    explicit BusySpinner(int sizePx = 20, QWidget* parent = nullptr);

    void setRunning(bool running);
    bool isRunning() const { return m_running; }
    void setColor(const QColor& color);
    // The spoke drawn brightest (advances with the animation).
    int activeIndex() const { return m_active; }
    void advance();
    // Paints the spokes into `rect` with `active` the bright one (lists
    // that paint their rows draw a spinner this way).
    static void paintSpokes(QPainter& painter, const QRectF& rect, int active, const QColor& color);

    QSize sizeHint() const override { return {m_size, m_size}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void syncTimer();

    int m_size;
    bool m_running = true;
    int m_active = 0;
    std::optional<QColor> m_color;
    QTimer m_timer;
};
