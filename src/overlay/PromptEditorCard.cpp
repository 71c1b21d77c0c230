#include "overlay/PromptEditorCard.h"

#include <QCheckBox>
#include <QGraphicsDropShadowEffect>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/L10n.h"
#include "pipeline/BuiltinTonePromptStore.h"
#include "ui/Colors.h"

namespace {

QFont sized(QFont font, int pixels, QFont::Weight weight = QFont::Normal) {
    font.setPixelSize(pixels);
    font.setWeight(weight);
    return font;
}

QColor secondaryColor(const QWidget* w) {
    return Colors::secondary(w->palette());
}

QLabel* secondaryLabel(const QString& text, int pixels, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(sized(label->font(), pixels));
    label->setWordWrap(true);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, secondaryColor(label));
    label->setPalette(p);
    return label;
}

}  // namespace

PromptEditorCard::PromptEditorCard(const PromptEditorMode& mode, Callbacks callbacks,
                                   PromptEditorModel::Translator translator, QWidget* parent)
    : QWidget(parent),
      m_mode(mode),
      m_callbacks(std::move(callbacks)),
      m_model(new PromptEditorModel(std::move(translator), this)) {
    build();
    refresh();
    for (auto signal :
         {&PromptEditorModel::nameTextChanged, &PromptEditorModel::promptTextChanged,
          &PromptEditorModel::sameLanguageChanged, &PromptEditorModel::dontChangeMeaningChanged,
          &PromptEditorModel::isBusyChanged, &PromptEditorModel::watermarkChanged,
          &PromptEditorModel::errorTextChanged, &PromptEditorModel::showToggleOriginalChanged,
          &PromptEditorModel::toggleButtonLabelChanged,
          &PromptEditorModel::showDeleteOrRestoreChanged,
          &PromptEditorModel::deleteButtonLabelChanged})
        connect(m_model, signal, this, &PromptEditorCard::refresh);
}

QString PromptEditorCard::titleText() const {
    switch (m_mode.kind) {
        case PromptEditorMode::Kind::builtinTone:
            return L10n::promptEditorPromptForStyle() + QStringLiteral("«") + m_mode.title +
                   QStringLiteral("»");
        case PromptEditorMode::Kind::editCustomStyle:
            return m_mode.name;
        case PromptEditorMode::Kind::newCustomStyle:
            return L10n::promptEditorTitleNewStyle();
    }
    return {};
}

void PromptEditorCard::build() {
    auto* column = new QVBoxLayout(this);
    column->setSpacing(12);
    column->setContentsMargins(20, 20, 20, 20);

    m_title = new QLabel(titleText(), this);
    m_title->setFont(sized(m_title->font(), 14, QFont::DemiBold));
    m_title->setWordWrap(true);
    column->addWidget(m_title);

    if (m_mode.isCustom()) {
        m_name = new QLineEdit(this);
        m_name->setPlaceholderText(L10n::promptEditorNamePlaceholder());
        connect(m_name, &QLineEdit::textEdited, m_model, &PromptEditorModel::setNameText);
        column->addWidget(m_name);
    }

    m_watermark = secondaryLabel({}, 11, this);
    column->addWidget(m_watermark);

    m_prompt = new QPlainTextEdit(this);
    m_prompt->setObjectName("promptBox");
    m_prompt->setFont(sized(m_prompt->font(), 12));
    m_prompt->setMinimumHeight(200);
    m_prompt->setTabChangesFocus(true);
    m_prompt->setStyleSheet(
        QStringLiteral("#promptBox { border: 1px solid %1; border-radius: 6px; }")
            .arg(palette().color(QPalette::Mid).name()));
    connect(m_prompt, &QPlainTextEdit::textChanged, this,
            [this] { m_model->setPromptText(m_prompt->toPlainText()); });
    column->addWidget(m_prompt, 1);

    m_toggle = new QPushButton(this);
    m_toggle->setAutoDefault(false);
    connect(m_toggle, &QPushButton::clicked, m_model, &PromptEditorModel::toggleOriginal);
    column->addWidget(m_toggle, 0, Qt::AlignLeft);

    if (m_mode.isCustom()) {
        m_options = new QWidget(this);
        auto* options = new QVBoxLayout(m_options);
        options->setContentsMargins(0, 0, 0, 0);
        options->setSpacing(4);
        m_sameLanguage = new QCheckBox(L10n::promptEditorSameLanguage(), m_options);
        connect(m_sameLanguage, &QCheckBox::toggled, m_model, &PromptEditorModel::setSameLanguage);
        options->addWidget(m_sameLanguage);
        options->addWidget(secondaryLabel(L10n::promptEditorSameLanguageHint(), 10, m_options));
        m_dontChangeMeaning = new QCheckBox(L10n::promptEditorDontChangeMeaning(), m_options);
        connect(m_dontChangeMeaning, &QCheckBox::toggled, m_model,
                &PromptEditorModel::setDontChangeMeaning);
        options->addWidget(m_dontChangeMeaning);
        options->addWidget(
            secondaryLabel(L10n::promptEditorDontChangeMeaningHint(), 10, m_options));
        column->addWidget(m_options);
    }

    m_error = new QLabel(this);
    m_error->setFont(sized(m_error->font(), 11));
    m_error->setWordWrap(true);
    QPalette red = m_error->palette();
    red.setColor(QPalette::WindowText, Colors::red());
    m_error->setPalette(red);
    column->addWidget(m_error);

    auto* row = new QHBoxLayout;
    m_delete = new QPushButton(this);
    m_delete->setAutoDefault(false);
    QPalette destructive = m_delete->palette();
    destructive.setColor(QPalette::ButtonText, Colors::red());
    m_delete->setPalette(destructive);
    connect(m_delete, &QPushButton::clicked, this, &PromptEditorCard::deleteOrRestore);
    row->addWidget(m_delete);
    row->addStretch(1);
    m_cancel = new QPushButton(L10n::promptEditorCancel(), this);
    m_cancel->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        if (m_callbacks.onDismiss) m_callbacks.onDismiss();
    });
    row->addWidget(m_cancel);
    m_save = new QPushButton(L10n::promptEditorSave(), this);
    m_save->setDefault(true);
    connect(m_save, &QPushButton::clicked, this, &PromptEditorCard::save);
    row->addWidget(m_save);
    column->addLayout(row);
}

void PromptEditorCard::refresh() {
    const PromptEditorModel& m = *m_model;
    // Texts are set only when they differ, so the cursor does not jump.
    if (m_name && m_name->text() != m.nameText()) m_name->setText(m.nameText());
    if (m_prompt->toPlainText() != m.promptText()) m_prompt->setPlainText(m.promptText());
    if (m_watermark->text() != m.watermark()) m_watermark->setText(m.watermark());
    m_watermark->setVisible(!m.watermark().isEmpty());
    m_prompt->setReadOnly(m.isBusy());
    m_prompt->setEnabled(!m.isBusy());
    m_toggle->setVisible(m.showToggleOriginal());
    m_toggle->setText(m.toggleButtonLabel());
    m_toggle->setEnabled(!m.isBusy());
    if (m_sameLanguage) m_sameLanguage->setChecked(m.sameLanguage());
    if (m_dontChangeMeaning) m_dontChangeMeaning->setChecked(m.dontChangeMeaning());
    m_error->setVisible(m.errorText().has_value());
    m_error->setText(m.errorText().value_or(QString()));
    m_delete->setVisible(m.showDeleteOrRestore());
    m_delete->setText(m.deleteButtonLabel());
    m_save->setEnabled(!m.isBusy());
    if (m_focusPending && !m.isBusy()) {
        m_focusPending = false;
        m_prompt->setFocus();
    }
}

void PromptEditorCard::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_loaded) return;
    m_loaded = true;
    m_focusPending = true;
    m_model->load(m_mode);
    refresh();
}

void PromptEditorCard::keyPressEvent(QKeyEvent* event) {
    // Return in the prompt box stays there (a new line); elsewhere it saves.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && m_save->isEnabled()) {
        save();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PromptEditorCard::save() {
    if (m_model->isBusy()) return;
    if (m_mode.isBuiltin()) {
        QPointer<PromptEditorCard> self(this);
        m_model->saveBuiltinTone(m_mode.tone, [self](bool stored) {
            if (self && stored && self->m_callbacks.onDismiss) self->m_callbacks.onDismiss();
        });
        return;
    }
    if (m_callbacks.onSaveCustom) {
        const std::optional<QString> message =
            m_callbacks.onSaveCustom(m_model->nameText(), m_model->promptText(),
                                     m_model->sameLanguage(), m_model->dontChangeMeaning());
        if (message) {
            m_model->setErrorText(message);
            return;
        }
    }
    if (m_callbacks.onDismiss) m_callbacks.onDismiss();
}

void PromptEditorCard::deleteOrRestore() {
    if (m_mode.isBuiltin())
        BuiltinTonePromptStore::removeOverride(m_mode.tone);
    else if (m_callbacks.onDeleteCustom)
        m_callbacks.onDeleteCustom();
    if (m_callbacks.onDismiss) m_callbacks.onDismiss();
}

// --- overlay

PromptEditorOverlay::PromptEditorOverlay(const PromptEditorMode& mode,
                                         PromptEditorCard::Callbacks callbacks, QWidget* host,
                                         PromptEditorModel::Translator translator)
    : QWidget(host), m_onDismiss(callbacks.onDismiss) {
    setObjectName("promptEditorOverlay");
    setAttribute(Qt::WA_NoSystemBackground);
    m_frame = new QWidget(this);
    m_frame->setObjectName("promptEditorCardFrame");
    m_frame->setAttribute(Qt::WA_StyledBackground);
    m_frame->setStyleSheet(
        QStringLiteral("#promptEditorCardFrame { background: %1; border-radius: 14px; }")
            .arg(palette().color(QPalette::Window).name()));
    auto* shadow = new QGraphicsDropShadowEffect(m_frame);
    shadow->setBlurRadius(20);
    shadow->setOffset(0, 0);
    shadow->setColor(QColor(0, 0, 0, int(0.33 * 255)));
    m_frame->setGraphicsEffect(shadow);
    auto* frameLayout = new QVBoxLayout(m_frame);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    m_card = new PromptEditorCard(mode, std::move(callbacks), std::move(translator), m_frame);
    frameLayout->addWidget(m_card);
    m_frame->setFixedWidth(520);
    // The layout keeps the card in the middle, as high as its content.
    auto* center = new QGridLayout(this);
    center->setContentsMargins(12, 12, 12, 12);
    center->addWidget(m_frame, 0, 0, Qt::AlignCenter);

    host->installEventFilter(this);
    setGeometry(host->rect());
    raise();
    show();
}

QRect PromptEditorOverlay::cardGeometry() const {
    return m_frame->geometry();
}

bool PromptEditorOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void PromptEditorOverlay::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 0, 0, int(0.45 * 255)));
}

void PromptEditorOverlay::mousePressEvent(QMouseEvent* event) {
    // Clicks inside the card that no control took end up here too.
    if (m_frame->geometry().contains(event->position().toPoint())) return;
    if (event->button() == Qt::LeftButton && m_onDismiss) m_onDismiss();
}
