#pragma once

#include <QStringList>
#include <QWidget>

// A row of mutually exclusive segments (the design's segmented pickers).
// Click or the arrow keys choose; currentIndexChanged follows a change made
// by the user or by setCurrentIndex().
class SegmentedControl : public QWidget {
    Q_OBJECT
public:
    explicit SegmentedControl(QWidget* parent = nullptr);
    explicit SegmentedControl(const QStringList& titles, QWidget* parent = nullptr);

    void setTitles(const QStringList& titles);
    QStringList titles() const { return m_titles; }
    int count() const { return int(m_titles.size()); }
    int currentIndex() const { return m_current; }
    // -1: no segment is marked.
    void setCurrentIndex(int index);
    // The segment under a point (-1 outside every segment).
    int indexAt(const QPoint& pos) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void currentIndexChanged(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRectF segmentRect(int index) const;

    QStringList m_titles;
    int m_current = -1;
};
