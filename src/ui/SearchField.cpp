#include "ui/SearchField.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

#include "ui/Colors.h"
#include "ui/Icons.h"
#include "ui/SymbolLabel.h"
#include "ui/Texts.h"

SearchField::SearchField(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 8, 8, 8);
    row->setSpacing(6);
    m_glass = new SymbolLabel(QStringLiteral("magnifyingglass"), 14, this);
    m_edit = new QLineEdit(this);
    m_edit->setFrame(false);
    m_edit->setClearButtonEnabled(false);
    m_edit->setAttribute(Qt::WA_MacShowFocusRect, false);
    QPalette pal = m_edit->palette();
    pal.setColor(QPalette::Base, Qt::transparent);
    m_edit->setPalette(pal);
    m_clear = new QToolButton(this);
    m_clear->setAutoRaise(true);
    m_clear->setCursor(Qt::ArrowCursor);
    m_clear->setFocusPolicy(Qt::NoFocus);
    // An icon alone says nothing to a screen reader.
    m_clear->setAccessibleName(QStringLiteral("Clear"));
    m_clear->setIconSize(QSize(14, 14));
    m_clear->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; }"));
    m_clear->setIcon(
        Icons::icon(QStringLiteral("xmark.circle.fill"), Colors::secondary(palette())));
    row->addWidget(m_glass);
    row->addWidget(m_edit, 1);
    row->addWidget(m_clear);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFocusProxy(m_edit);

    connect(m_edit, &QLineEdit::textChanged, this, [this](const QString& text) {
        updateClearButton();
        emit textChanged(text);
    });
    connect(m_clear, &QToolButton::clicked, this, [this] {
        m_edit->clear();
        m_edit->setFocus();
    });
    updateClearButton();
}

QString SearchField::text() const {
    return m_edit->text();
}

void SearchField::setText(const QString& text) {
    Texts::set(m_edit, text);
}

void SearchField::setPlaceholderText(const QString& text) {
    Texts::setPlaceholder(m_edit, text);
}

void SearchField::updateClearButton() {
    m_clear->setVisible(!m_edit->text().isEmpty());
}

void SearchField::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        m_clear->setIcon(
            Icons::icon(QStringLiteral("xmark.circle.fill"), Colors::secondary(palette())));
}

void SearchField::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    p.fillPath(path, Colors::controlBackground(palette()));
    p.setPen(QPen(m_edit->hasFocus() ? Colors::withOpacity(Colors::accent(palette()), 0.6)
                                     : Colors::separator(palette()),
                  1));
    p.drawPath(path);
}
