#include "mainwindow/TriggerTextSheet.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "mainwindow/SnippetTexts.h"
#include "ui/Colors.h"
#include "ui/Labels.h"
#include "ui/Typography.h"

namespace {

QPlainTextEdit* makeEditor(QWidget* parent) {
    auto* editor = new QPlainTextEdit(parent);
    editor->setFont(Typography::font(TextStyle::Body));
    editor->setTabChangesFocus(true);
    const QColor border = Colors::withOpacity(Colors::grey(), 0.3);
    editor->setStyleSheet(
        QStringLiteral("QPlainTextEdit { border: 1px solid %1; border-radius: 4px; }")
            .arg(border.name(QColor::HexArgb)));
    return editor;
}

}  // namespace

TriggerTextSheet::TriggerTextSheet(Arguments arguments, QWidget* parent)
    : QDialog(parent), m_args(std::move(arguments)) {
    setWindowModality(Qt::WindowModal);
    setWindowTitle(m_args.title);
    setFixedWidth(Typography::pixels(400));
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(16);
    layout->setContentsMargins(20, 20, 20, 20);

    layout->addWidget(Labels::create(m_args.title, TextStyle::Headline, this));

    m_trigger = new QLineEdit(this);
    m_trigger->setPlaceholderText(SnippetTexts::shortcutPlaceholder());
    layout->addWidget(m_trigger);

    auto* textBlock = new QVBoxLayout;
    textBlock->setSpacing(4);
    m_textLabel = Labels::create(SnippetTexts::text(), TextStyle::Caption, this, true);
    textBlock->addWidget(m_textLabel);
    m_text = makeEditor(this);
    textBlock->addWidget(m_text);
    layout->addLayout(textBlock);

    if (m_args.supportsWindowsVariant) {
        m_windowsCheck = new QCheckBox(SnippetTexts::differentTextForWindows(), this);
        layout->addWidget(m_windowsCheck);
        m_windowsBlock = new QWidget(this);
        auto* block = new QVBoxLayout(m_windowsBlock);
        block->setContentsMargins(0, 0, 0, 0);
        block->setSpacing(6);
        block->addWidget(Labels::create(SnippetTexts::textForWindows(), TextStyle::Caption,
                                        m_windowsBlock, true));
        m_windowsText = makeEditor(m_windowsBlock);
        m_windowsText->setFixedHeight(70);
        block->addWidget(m_windowsText);
        auto* note = Labels::create(SnippetTexts::sameShortcutNote(), TextStyle::Caption,
                                    m_windowsBlock, true);
        note->setWordWrap(true);
        block->addWidget(note);
        layout->addWidget(m_windowsBlock);
        connect(m_windowsCheck, &QCheckBox::toggled, this, [this] { updateState(); });
    }

    auto* buttons = new QHBoxLayout;
    m_cancel = new QPushButton(SnippetTexts::cancel(), this);
    m_confirm =
        new QPushButton(m_args.isEditing ? SnippetTexts::save() : SnippetTexts::add(), this);
    m_confirm->setDefault(true);
    m_cancel->setAutoDefault(false);
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    buttons->addWidget(m_confirm);
    layout->addLayout(buttons);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_confirm, &QPushButton::clicked, this, &TriggerTextSheet::save);
    connect(m_trigger, &QLineEdit::textChanged, this, [this] { updateState(); });
    connect(m_text, &QPlainTextEdit::textChanged, this, [this] { updateState(); });

    // Filled in this order; a Windows text ticks the box.
    m_trigger->setText(m_args.trigger);
    m_text->setPlainText(m_args.text);
    if (m_windowsText) {
        m_windowsText->setPlainText(m_args.textWindows);
        m_windowsCheck->setChecked(!m_args.textWindows.isEmpty());
    }
    updateState();
}

QString TriggerTextSheet::trimmed(const QString& text) {
    return text.trimmed();
}

bool TriggerTextSheet::canSave() const {
    return !trimmed(m_trigger->text()).isEmpty() && !m_text->toPlainText().isEmpty();
}

void TriggerTextSheet::updateState() {
    const bool windows = m_windowsCheck && m_windowsCheck->isChecked();
    if (m_windowsBlock) m_windowsBlock->setVisible(windows);
    m_textLabel->setText(windows ? SnippetTexts::textForLinux() : SnippetTexts::text());
    m_text->setFixedHeight(windows ? 70 : 100);
    m_confirm->setEnabled(canSave());
    adjustSize();
}

void TriggerTextSheet::save() {
    if (m_saved || !canSave()) return;
    m_saved = true;
    const QString trigger = trimmed(m_trigger->text());
    const QString text = m_text->toPlainText();
    if (m_args.onSaveWithWindows) {
        const bool windows = m_windowsCheck && m_windowsCheck->isChecked();
        const QString textWindows = windows ? trimmed(m_windowsText->toPlainText()) : QString();
        m_args.onSaveWithWindows(
            trigger, text,
            textWindows.isEmpty() ? std::nullopt : std::optional<QString>(textWindows));
    } else if (m_args.onSave) {
        m_args.onSave(trigger, text);
    }
    accept();
}
