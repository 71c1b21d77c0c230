#include "windows/TextEditorView.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTextCursor>
#include <QTextLayout>
#include <QToolButton>
#include <QVBoxLayout>

#include "overlay/PromptEditorCard.h"
#include "platform/NotificationCenter.h"
#include "platform/Pasteboard.h"
#include "ui/BusySpinner.h"
#include "ui/Colors.h"
#include "ui/Icons.h"
#include "windows/EditorTabButton.h"
#include "windows/OverflowTabsView.h"
#include "windows/TextEditorModel.h"
#include "platform/Required.h"

namespace {

const QColor kViolet = Colors::violet();

QFont sized(QFont font, int pixels, QFont::Weight weight = QFont::Normal) {
    font.setPixelSize(pixels);
    font.setWeight(weight);
    return font;
}

QColor secondary(const QWidget* w) {
    return Colors::secondary(w->palette());
}

void setTextColor(QWidget* w, const QColor& color) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, color);
    p.setColor(QPalette::ButtonText, color);
    w->setPalette(p);
}

QLabel* caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(sized(label->font(), 10, QFont::Bold));
    setTextColor(label, secondary(label));
    return label;
}

QFrame* divider(Qt::Orientation orientation, QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(orientation == Qt::Vertical ? QFrame::VLine : QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    setTextColor(line, Colors::separator(line->palette()));
    return line;
}

// A bordered icon button that leaves the keyboard focus where it is, so
// that undo and redo reach the text area the user was in.
QToolButton* iconButton(const QString& symbol, const QString& tip, QWidget* parent) {
    auto* b = new QToolButton(parent);
    if (!symbol.isEmpty())
        b->setIcon(Icons::icon(symbol, b->palette().color(QPalette::ButtonText)));
    b->setToolTip(tip);
    b->setAccessibleName(tip);
    b->setFocusPolicy(Qt::NoFocus);
    b->setFixedSize(26, 24);
    return b;
}

// The framed text area style of the source and the result.
void styleTextArea(QPlainTextEdit* edit, const QString& name) {
    edit->setObjectName(name);
    edit->setFont(sized(edit->font(), 13));
    edit->setStyleSheet(QStringLiteral("#%1 { background: %2; border: 1px solid %3; "
                                       "border-radius: 8px; padding: 4px; }")
                            .arg(name, edit->palette().color(QPalette::Base).name(),
                                 Colors::separator(edit->palette()).name(QColor::HexArgb)));
}

// Undo or redo in the text area that has the keyboard focus.
void sendToFocused(bool redo) {
    QWidget* focus = QApplication::focusWidget();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(focus)) {
        redo ? plain->redo() : plain->undo();
    } else if (auto* line = qobject_cast<QLineEdit*>(focus)) {
        redo ? line->redo() : line->undo();
    }
}

// One dictation of the history panel: a click appends its text to the
// source, a drag carries the text.
class HistoryCard : public QFrame {
public:
    HistoryCard(const QString& text, std::function<void()> onClick, QWidget* parent)
        : QFrame(parent), m_text(text), m_onClick(std::move(onClick)) {}

protected:
    void mousePressEvent(QMouseEvent* e) override {
        m_press = e->position().toPoint();
        m_pressed = e->button() == Qt::LeftButton;
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (!m_pressed || (e->position().toPoint() - m_press).manhattanLength() <
                              QApplication::startDragDistance())
            return;
        m_pressed = false;
        auto* mime = new QMimeData;
        mime->setText(m_text);
        auto* drag = new QDrag(this);
        drag->setMimeData(mime);
        drag->exec(Qt::CopyAction);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        const bool click = m_pressed && rect().contains(e->position().toPoint());
        m_pressed = false;
        if (click && m_onClick) m_onClick();
    }

private:
    QString m_text;
    std::function<void()> m_onClick;
    QPoint m_press;
    bool m_pressed = false;
};

}  // namespace

// --- source area

void EditorSourceEdit::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasText())
        event->acceptProposedAction();
    else
        event->ignore();
}

void EditorSourceEdit::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasText())
        event->acceptProposedAction();
    else
        event->ignore();
}

void EditorSourceEdit::dropEvent(QDropEvent* event) {
    if (!event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    if (onDropText) onDropText(event->mimeData()->text());
}

// --- view

TextEditorView::TextEditorView(Options options, QWidget* parent)
    : QWidget(parent),
      m_options(std::move(options)),
      m_model((requireCollaborators("TextEditorView", "model", m_options.model, "pasteboard",
                                    m_options.pasteboard),
               m_options.model)),
      m_pasteboard(*m_options.pasteboard) {
    if (!m_model->parent()) m_model->setParent(this);
    if (!m_options.translator) m_options.translator = PromptEditorModel::serviceTranslator();
    setMinimumSize(720, 460);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* mainRow = new QHBoxLayout;
    mainRow->setSpacing(0);
    m_historyPanel = buildHistoryPanel();
    mainRow->addWidget(m_historyPanel);
    m_historyDivider = divider(Qt::Vertical, this);
    mainRow->addWidget(m_historyDivider);
    mainRow->addWidget(buildSourceColumn(), 1);
    mainRow->addWidget(divider(Qt::Vertical, this));
    mainRow->addWidget(buildResultColumn(), 1);
    column->addLayout(mainRow, 1);
    column->addWidget(divider(Qt::Horizontal, this));
    column->addWidget(buildActionBar());

    TextEditorModel* m = m_model;
    for (auto signal : {&TextEditorModel::sourceChanged, &TextEditorModel::resultChanged,
                        &TextEditorModel::hasResultChanged, &TextEditorModel::busyChanged,
                        &TextEditorModel::statusChanged, &TextEditorModel::showHistoryChanged})
        connect(m, signal, this, &TextEditorView::refresh);
    for (auto signal : {&TextEditorModel::tabsChanged, &TextEditorModel::activeKeyChanged,
                        &TextEditorModel::busyChanged})
        connect(m, signal, this, &TextEditorView::refreshTabs);
    connect(m, &TextEditorModel::historyItemsChanged, this, &TextEditorView::refreshHistory);
    connect(&NotificationCenter::shared(), &NotificationCenter::ormilEditorSourceChanged, this,
            &TextEditorView::handOverSource);

    handOverSource(m_options.initialSource);
    refresh();
    refreshHistory();
}

TextEditorView* TextEditorView::makeWindow(Options options) {
    auto* window = new TextEditorView(std::move(options));
    window->setWindowTitle(QString::fromUtf8(windowTitleText));
    window->setWindowFlags(Qt::Window);
    window->resize(1160, 700);
    return window;
}

QWidget* TextEditorView::buildHistoryPanel() {
    auto* panel = new QWidget(this);
    panel->setFixedWidth(240);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(7);
    column->addWidget(caption(QStringLiteral("ИСТОРИЯ — тяните в исходный"), panel));
    auto* scroll = new QScrollArea(panel);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* list = new QWidget(scroll);
    m_historyList = new QVBoxLayout(list);
    m_historyList->setContentsMargins(0, 0, 0, 0);
    m_historyList->setSpacing(6);
    scroll->setWidget(list);
    column->addWidget(scroll, 1);
    return panel;
}

QWidget* TextEditorView::historyCard(const QVariantMap& record) {
    const QVariant textValue = record.value("text");
    const QString text =
        textValue.typeId() == QMetaType::QString ? textValue.toString() : QString();
    const QVariant countValue = record.value("wordCount");
    const int words = countValue.typeId() == QMetaType::Int ? countValue.toInt() : 0;
    QPointer<TextEditorModel> m(m_model);
    auto* card = new HistoryCard(
        text,
        [m, text] {
            if (m) m->appendToSource(text);
        },
        nullptr);
    card->setObjectName("historyCard");
    card->setAttribute(Qt::WA_StyledBackground);
    card->setStyleSheet(QStringLiteral("#historyCard { background: %1; border-radius: 8px; }")
                            .arg(Colors::controlBackground(palette()).name(QColor::HexArgb)));
    card->setToolTip(QStringLiteral("Перетащите в «Исходный» (клик — добавить в конец)"));
    auto* column = new QVBoxLayout(card);
    column->setContentsMargins(8, 8, 8, 8);
    column->setSpacing(3);
    auto* count = new QLabel(QString::number(words) + QStringLiteral(" сл."), card);
    count->setFont(sized(count->font(), 10));
    setTextColor(count, secondary(count));
    column->addWidget(count);
    auto* body = new QLabel(text, card);
    body->setFont(sized(body->font(), 11));
    body->setWordWrap(true);
    body->setMaximumHeight(QFontMetrics(body->font()).lineSpacing() * 3);
    body->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    column->addWidget(body);
    return card;
}

QWidget* TextEditorView::buildSourceColumn() {
    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(7);
    auto* header = new QHBoxLayout;
    m_historyToggle = iconButton({}, QStringLiteral("История транскрибаций"), panel);
    connect(m_historyToggle, &QToolButton::clicked, this, [this] {
        const bool show = !m_model->showHistory();
        m_model->setShowHistory(show);
        if (show) m_model->loadHistory();
    });
    header->addWidget(m_historyToggle);
    auto* undo = iconButton(QStringLiteral("arrow.uturn.backward"),
                            QStringLiteral("Отменить (Ctrl+Z)"), panel);
    connect(undo, &QToolButton::clicked, this, [] { sendToFocused(false); });
    header->addWidget(undo);
    auto* redo = iconButton(QStringLiteral("arrow.uturn.forward"),
                            QStringLiteral("Вернуть (Ctrl+Shift+Z)"), panel);
    connect(redo, &QToolButton::clicked, this, [] { sendToFocused(true); });
    header->addWidget(redo);
    header->addStretch(1);
    header->addWidget(caption(QStringLiteral("ИСХОДНЫЙ"), panel));
    header->addStretch(1);
    auto* clear = new QPushButton(QStringLiteral("Очистить"), panel);
    clear->setFlat(true);
    clear->setCursor(Qt::PointingHandCursor);
    clear->setAutoDefault(false);
    setTextColor(clear, palette().color(QPalette::Link));
    connect(clear, &QPushButton::clicked, this, [this] { m_model->setSource({}); });
    header->addWidget(clear);
    column->addLayout(header);

    m_source = new EditorSourceEdit(panel);
    styleTextArea(m_source, "sourceArea");
    m_source->setPlaceholderText(
        QStringLiteral("Вставьте, надиктуйте или перетащите из истории текст для обработки…"));
    m_source->onDropText = [this](const QString& text) { m_model->appendToSource(text); };
    connect(m_source, &QPlainTextEdit::textChanged, this, [this] {
        const QString text = m_source->toPlainText();
        if (text != m_model->source()) m_model->setSource(text);
    });
    column->addWidget(m_source, 1);
    return panel;
}

QWidget* TextEditorView::buildResultColumn() {
    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(7);

    auto* tabRow = new QHBoxLayout;
    tabRow->setSpacing(6);
    const OpenPromptEditor open = [this](const PromptEditorMode& mode) { setEditorMode(mode); };
    m_strip = new OverflowTabsView(
        [this, open](const EditorTab& tab, QWidget* parent) -> QWidget* {
            return new EditorTabButton(tab, *m_model, open, parent);
        },
        panel);
    m_strip->onActivate = [this](const QString& key) {
        if (!m_model->busy()) m_model->activateTab(key);
    };
    m_newTab = new QToolButton;
    m_newTab->setIcon(Icons::icon("plus", palette().color(QPalette::ButtonText)));
    m_newTab->setToolTip(QStringLiteral("Создать свой таб с промптом"));
    m_newTab->setAccessibleName(m_newTab->toolTip());
    m_newTab->setPopupMode(QToolButton::InstantPopup);
    m_newTab->setStyleSheet("QToolButton::menu-indicator { image: none; width: 0; }");
    m_newTab->setFocusPolicy(Qt::NoFocus);
    auto* newTabMenu = new QMenu(m_newTab);
    connect(newTabMenu, &QMenu::aboutToShow, this,
            [this, newTabMenu, open] { fillNewTabMenu(newTabMenu, *m_model, open); });
    fillNewTabMenu(newTabMenu, *m_model, open);
    m_newTab->setMenu(newTabMenu);
    m_strip->setTrailing(m_newTab);
    tabRow->addWidget(m_strip, 1);
    auto* undo = iconButton(QStringLiteral("arrow.uturn.backward"),
                            QStringLiteral("Отменить (Ctrl+Z)"), panel);
    connect(undo, &QToolButton::clicked, this, [] { sendToFocused(false); });
    tabRow->addWidget(undo);
    auto* redo = iconButton(QStringLiteral("arrow.uturn.forward"),
                            QStringLiteral("Вернуть (Ctrl+Shift+Z)"), panel);
    connect(redo, &QToolButton::clicked, this, [] { sendToFocused(true); });
    tabRow->addWidget(redo);
    column->addLayout(tabRow);

    m_resultStack = new QStackedWidget(panel);
    m_resultStack->setObjectName("resultFrame");
    // The hint, the result, and the busy state.
    auto* hint = new QLabel(
        QStringLiteral("Выберите таб сверху или напишите задание в поле внизу — результат "
                       "появится здесь. Его можно отредактировать перед применением."),
        m_resultStack);
    hint->setObjectName("resultHint");
    hint->setWordWrap(true);
    hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    hint->setFont(sized(hint->font(), 12));
    hint->setContentsMargins(12, 10, 12, 0);
    setTextColor(hint, secondary(hint));
    hint->setAttribute(Qt::WA_StyledBackground);
    hint->setStyleSheet(
        QStringLiteral("#resultHint { background: %1; border: 1px solid %2; "
                       "border-radius: 8px; }")
            .arg(palette().color(QPalette::Base).name(), palette().color(QPalette::Mid).name()));
    m_resultStack->addWidget(hint);
    m_result = new QPlainTextEdit(m_resultStack);
    styleTextArea(m_result, "resultArea");
    connect(m_result, &QPlainTextEdit::textChanged, this, [this] {
        const QString text = m_result->toPlainText();
        if (text == m_model->result()) return;
        m_model->setResult(text);
        m_model->stashActiveResultEdits();
    });
    m_resultStack->addWidget(m_result);
    auto* busy = new QWidget(m_resultStack);
    busy->setObjectName("resultBusy");
    busy->setAttribute(Qt::WA_StyledBackground);
    busy->setStyleSheet(hint->styleSheet().replace("#resultHint", "#resultBusy"));
    auto* busyColumn = new QVBoxLayout(busy);
    busyColumn->setSpacing(10);
    busyColumn->addStretch(1);
    auto* spinner = new QProgressBar(busy);
    spinner->setRange(0, 0);
    spinner->setTextVisible(false);
    spinner->setFixedSize(80, 6);
    busyColumn->addWidget(spinner, 0, Qt::AlignHCenter);
    auto* working = new QLabel(QStringLiteral("Обрабатываю…"), busy);
    working->setFont(sized(working->font(), 12));
    setTextColor(working, secondary(working));
    busyColumn->addWidget(working, 0, Qt::AlignHCenter);
    busyColumn->addStretch(1);
    m_resultStack->addWidget(busy);
    column->addWidget(m_resultStack, 1);

    column->addWidget(buildAskPanel());
    return panel;
}

QWidget* TextEditorView::buildAskPanel() {
    auto* panel = new QFrame(this);
    panel->setObjectName("askPanel");
    QColor border = kViolet;
    border.setAlphaF(0.45);
    panel->setStyleSheet(
        QStringLiteral("#askPanel { background: %1; border: 1.2px solid rgba(%2, %3, %4, 0.45); "
                       "border-radius: 10px; }")
            .arg(palette().color(QPalette::Base).name())
            .arg(kViolet.red())
            .arg(kViolet.green())
            .arg(kViolet.blue()));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(12, 9, 12, 9);
    row->setSpacing(8);
    auto* sparkles = new QLabel(panel);
    sparkles->setPixmap(Icons::pixmap("sparkles", 13, kViolet, devicePixelRatioF()));
    row->addWidget(sparkles, 0, Qt::AlignTop);

    m_ask = new QPlainTextEdit(panel);
    m_ask->setObjectName("askField");
    m_ask->setFont(sized(m_ask->font(), 13));
    m_ask->setFrameShape(QFrame::NoFrame);
    m_ask->setStyleSheet("#askField { background: transparent; }");
    m_ask->setPlaceholderText(
        QStringLiteral("Попросите обработать текст: «убери повторы», «сделай списком»…"));
    m_ask->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_ask->setTabChangesFocus(true);
    m_ask->installEventFilter(this);
    m_ask->viewport()->installEventFilter(this);
    connect(m_ask, &QPlainTextEdit::textChanged, this, [this] {
        updateAskHeight();
        refresh();
    });
    row->addWidget(m_ask, 1);

    m_send = new QToolButton(panel);
    m_send->setAutoRaise(true);
    m_send->setFixedSize(24, 24);
    m_send->setIconSize(QSize(20, 20));
    m_send->setToolTip(QStringLiteral("Обработать по вашему указанию"));
    m_send->setAccessibleName(m_send->toolTip());
    connect(m_send, &QToolButton::clicked, this, &TextEditorView::runAsk);
    row->addWidget(m_send, 0, Qt::AlignBottom);
    m_sendSpinner = new BusySpinner(14, panel);
    m_sendSpinner->setFixedSize(24, 24);
    m_sendSpinner->hide();
    row->addWidget(m_sendSpinner, 0, Qt::AlignBottom);
    updateAskHeight();
    return panel;
}

QWidget* TextEditorView::buildActionBar() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(12, 12, 12, 12);
    m_status = new QLabel(bar);
    m_status->setFont(sized(m_status->font(), 12));
    setTextColor(m_status, Colors::accent(palette()));
    row->addWidget(m_status, 1);
    m_copy = new QPushButton(QStringLiteral("Копировать"), bar);
    m_copy->setAutoDefault(false);
    connect(m_copy, &QPushButton::clicked, this, &TextEditorView::copyResult);
    row->addWidget(m_copy);
    m_apply = new QPushButton(QStringLiteral("Применить"), bar);
    m_apply->setDefault(true);
    connect(m_apply, &QPushButton::clicked, this, &TextEditorView::applyResult);
    row->addWidget(m_apply);
    return bar;
}

void TextEditorView::updateAskHeight() {
    // One to four lines, then it scrolls. While empty it is as tall as its
    // placeholder wraps at the field's width, so the hint is never cut off.
    const int margin = int(m_ask->document()->documentMargin());
    int lines = m_ask->document()->lineCount();
    if (m_ask->document()->isEmpty()) {
        QTextLayout layout(m_ask->placeholderText(), m_ask->font());
        QTextOption option;
        option.setWrapMode(m_ask->wordWrapMode());
        layout.setTextOption(option);
        const qreal width = std::max(1, m_ask->viewport()->width() - 2 * margin);
        lines = 0;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            ++lines;
        }
        layout.endLayout();
    }
    lines = std::clamp(lines, 1, 4);
    const int line = QFontMetrics(m_ask->font()).lineSpacing();
    m_ask->setFixedHeight(lines * line + 2 * margin + 2);
}

void TextEditorView::refresh() {
    const TextEditorModel& m = *m_model;
    if (m_source->toPlainText() != m.source()) {
        // Through the document's cursor, one edit the user can undo: a
        // dictation appended from the history or a drop keeps what came
        // before undoable.
        const QString shown = m_source->toPlainText();
        QTextCursor cursor(m_source->document());
        cursor.beginEditBlock();
        if (m.source().startsWith(shown)) {
            cursor.movePosition(QTextCursor::End);
            cursor.insertText(m.source().mid(shown.size()));
        } else {
            cursor.select(QTextCursor::Document);
            cursor.insertText(m.source());
        }
        cursor.endEditBlock();
    }
    if (m_result->toPlainText() != m.result()) m_result->setPlainText(m.result());
    m_resultStack->setCurrentIndex(m.busy() ? 2 : m.hasResult() ? 1 : 0);
    if (m_status->text() != m.status()) m_status->setText(m.status());
    m_historyPanel->setVisible(m.showHistory());
    m_historyDivider->setVisible(m.showHistory());
    m_historyToggle->setIcon(Icons::icon(m.showHistory() ? "chevron.left" : "chevron.right",
                                         palette().color(QPalette::ButtonText)));
    m_copy->setEnabled(m.hasResult());
    m_apply->setEnabled(m.hasResult());
    const bool canAsk = !m.busy() && !m_ask->toPlainText().trimmed().isEmpty();
    m_ask->setEnabled(!m.busy());
    m_send->setEnabled(canAsk);
    // While busy a small spinner stands in the button's place.
    m_send->setVisible(!m.busy());
    m_sendSpinner->setVisible(m.busy());
    const QColor sendColor = canAsk ? kViolet : Colors::withOpacity(secondary(m_send), 0.4);
    m_send->setIcon(
        QIcon(Icons::pixmap("arrow.up.circle.fill", 20, sendColor, devicePixelRatioF())));
}

void TextEditorView::refreshTabs() {
    m_strip->setState(m_model->tabs(), m_model->activeKey(), m_model->busy());
}

void TextEditorView::refreshHistory() {
    while (QLayoutItem* item = m_historyList->takeAt(0)) {
        if (QWidget* w = item->widget()) w->deleteLater();
        delete item;
    }
    const QList<QVariantMap>& items = m_model->historyItems();
    if (items.isEmpty()) {
        auto* empty = new QLabel(QStringLiteral("История пуста — надиктуйте что-нибудь."));
        empty->setFont(sized(empty->font(), 11));
        empty->setWordWrap(true);
        setTextColor(empty, secondary(empty));
        m_historyList->addWidget(empty);
    }
    for (const QVariantMap& record : items) m_historyList->addWidget(historyCard(record));
    m_historyList->addStretch(1);
}

void TextEditorView::handOverSource(const QString& text) {
    m_model->handOverSource(text);
}

void TextEditorView::runAsk() {
    const QString instruction = m_ask->toPlainText().trimmed();
    if (instruction.isEmpty() || m_model->busy()) return;
    m_model->runCustomPrompt(instruction);
    m_ask->clear();
}

void TextEditorView::copyResult() {
    m_model->copyResult(m_pasteboard);
}

void TextEditorView::applyResult() {
    if (!m_model->hasResult()) return;
    m_model->applyResult([this](const QString& text) {
        if (m_options.onApply) m_options.onApply(text);
    });
}

bool TextEditorView::eventFilter(QObject* watched, QEvent* event) {
    // The placeholder wraps anew at the field's new width.
    if (watched == m_ask->viewport() && event->type() == QEvent::Resize) updateAskHeight();
    // Return in the instruction field sends it; elsewhere Return inserts a
    // new line in the text areas or applies the result.
    if (watched == m_ask && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            runAsk();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TextEditorView::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && m_apply->isEnabled() &&
        !m_overlay) {
        applyResult();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TextEditorView::setEditorMode(const std::optional<PromptEditorMode>& mode) {
    if (m_overlay) {
        m_overlay->hide();
        m_overlay->deleteLater();
        m_overlay = nullptr;
    }
    m_editorMode = mode;
    if (!mode) return;
    PromptEditorCard::Callbacks callbacks;
    callbacks.onDismiss = [this] { setEditorMode(std::nullopt); };
    const std::optional<QString> editingKey = mode->kind == PromptEditorMode::Kind::editCustomStyle
                                                  ? std::optional(mode->key)
                                                  : std::nullopt;
    if (mode->isCustom()) {
        callbacks.onSaveCustom = [this, editingKey](const QString& name, const QString& prompt,
                                                    bool same, bool keep) {
            return m_model->upsertCustomTab(editingKey, name, prompt, same, keep);
        };
        callbacks.onDeleteCustom = [this, editingKey] {
            if (editingKey) m_model->deleteTab(*editingKey);
        };
    }
    m_overlay = new PromptEditorOverlay(*mode, std::move(callbacks), this, m_options.translator);
}
