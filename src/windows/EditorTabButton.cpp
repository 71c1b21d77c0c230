#include "windows/EditorTabButton.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>

#include "core/L10n.h"
#include "ui/Colors.h"
#include "windows/TextEditorModel.h"

void shiftTab(TextEditorModel& model, const EditorTab& tab, bool left) {
    const QList<EditorTab>& tabs = model.tabs();
    qsizetype i = -1;
    for (qsizetype k = 0; k < tabs.size(); ++k) {
        if (tabs[k].key == tab.key) {
            i = k;
            break;
        }
    }
    if (i < 0) return;
    const qsizetype j = left ? i - 1 : i + 1;
    if (j < 0 || j >= tabs.size()) return;
    model.moveTab(tab.key, tabs[j].key, /*after=*/!left);
}

void dropTab(TextEditorModel& model, const QString& draggedKey, const QString& targetKey) {
    model.moveTab(draggedKey, targetKey, /*after=*/false);
}

QMenu* buildTabMenu(const EditorTab& tab, TextEditorModel& model, OpenPromptEditor openEditor,
                    QWidget* parent) {
    auto* menu = new QMenu(parent);
    QPointer<TextEditorModel> m(&model);
    menu->addAction(QStringLiteral("Сдвинуть влево"), [m, tab] {
        if (m) shiftTab(*m, tab, true);
    });
    menu->addAction(QStringLiteral("Сдвинуть вправо"), [m, tab] {
        if (m) shiftTab(*m, tab, false);
    });
    menu->addSeparator();
    if (tab.isCustom) {
        menu->addAction(QStringLiteral("Редактировать…"), [tab, openEditor] {
            openEditor(PromptEditorMode::editCustomStyle(tab.key, tab.title,
                                                         tab.prompt.value_or(QString()),
                                                         tab.sameLanguage, tab.dontChangeMeaning));
        });
        QAction* remove = menu->addAction(QStringLiteral("Удалить"), [m, key = tab.key] {
            if (m) m->deleteTab(key);
        });
        remove->setObjectName("destructive");
    } else {
        const QString edit =
            tab.prompt ? L10n::promptEditorEditModifiedHint() : L10n::promptEditorEditHint();
        menu->addAction(edit, [tab, openEditor] {
            if (tab.tone) openEditor(PromptEditorMode::builtinTone(*tab.tone, tab.title));
        });
        menu->addAction(L10n::promptEditorHideFromList(), [m, tab] {
            if (m) m->hideBuiltinTab(tab);
        });
    }
    return menu;
}

void fillNewTabMenu(QMenu* menu, TextEditorModel& model, OpenPromptEditor openEditor) {
    menu->clear();
    menu->addAction(QStringLiteral("Новый таб…"),
                    [openEditor] { openEditor(PromptEditorMode::newCustomStyle()); });
    const auto hidden = model.hiddenBuiltinTitles();
    if (hidden.isEmpty()) return;
    menu->addSeparator();
    QPointer<TextEditorModel> m(&model);
    for (const auto& [tone, title] : hidden) {
        menu->addAction(L10n::promptEditorShowHiddenPrefix() + title, [m, tone = tone] {
            if (m) m->restoreHiddenBuiltin(tone);
        });
    }
}

EditorTabButton::EditorTabButton(const EditorTab& tab, TextEditorModel& model,
                                 OpenPromptEditor openEditor, QWidget* parent)
    : QWidget(parent), m_tab(tab), m_model(model), m_openEditor(std::move(openEditor)) {
    QFont f = font();
    f.setPixelSize(12);
    setFont(f);
    setAcceptDrops(true);
    setCursor(Qt::PointingHandCursor);
    setToolTip(tab.isCustom && tab.prompt ? *tab.prompt : QString());
    setAccessibleName(tab.title);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

bool EditorTabButton::isActive() const {
    return m_model.activeKey() == m_tab.key;
}

QSize EditorTabButton::sizeHint() const {
    const QFontMetrics fm(font());
    return {fm.horizontalAdvance(m_tab.title) + 24, fm.height() + 12};
}

void EditorTabButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool active = isActive();
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), 8, 8);
    // An inactive tab is a control too: the control colour, not the
    // window's (on which it would not look like a button at all).
    p.fillPath(
        path, active ? palette().color(QPalette::Highlight) : Colors::controlBackground(palette()));
    p.setPen(active ? QColor(Qt::white) : palette().color(QPalette::ButtonText));
    p.drawText(rect().adjusted(12, 0, -12, 0), Qt::AlignCenter, m_tab.title);
}

void EditorTabButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    m_pressed = true;
    m_pressPos = event->position().toPoint();
}

void EditorTabButton::mouseMoveEvent(QMouseEvent* event) {
    if (!m_pressed || (event->position().toPoint() - m_pressPos).manhattanLength() <
                          QApplication::startDragDistance())
        return;
    m_pressed = false;
    auto* mime = new QMimeData;
    mime->setData(kEditorTabMimeType, m_tab.key.toUtf8());
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(grab());
    drag->exec(Qt::MoveAction);
}

void EditorTabButton::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    if (!click || m_model.busy()) return;
    m_model.activateTab(m_tab.key);
}

void EditorTabButton::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = buildTabMenu(m_tab, m_model, m_openEditor, this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void EditorTabButton::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasFormat(kEditorTabMimeType)) event->acceptProposedAction();
}

void EditorTabButton::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasFormat(kEditorTabMimeType)) event->acceptProposedAction();
}

void EditorTabButton::dropEvent(QDropEvent* event) {
    if (!event->mimeData()->hasFormat(kEditorTabMimeType)) return;
    event->acceptProposedAction();
    const QString dragged = QString::fromUtf8(event->mimeData()->data(kEditorTabMimeType));
    // The strip is rebuilt by the move; finish this event first.
    QPointer<TextEditorModel> m(&m_model);
    const QString target = m_tab.key;
    QMetaObject::invokeMethod(
        &m_model,
        [m, dragged, target] {
            if (m) dropTab(*m, dragged, target);
        },
        Qt::QueuedConnection);
}
