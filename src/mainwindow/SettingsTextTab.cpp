#include "mainwindow/SettingsTextTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/L10n.h"
#include "core/RecognitionLanguages.h"
#include "core/WindowOpener.h"
#include "mainwindow/PerAppStylesGroup.h"
#include "mainwindow/SettingsBinding.h"
#include "mainwindow/SettingsLayout.h"
#include "platform/SettingsStore.h"
#include "ui/Colors.h"
#include "ui/Icons.h"
#include "ui/Texts.h"

namespace {
using SettingsBinding::Choice;
using SettingsBinding::fixedChoices;

struct Tone {
    const char* tag;
    QString (*title)();
};
// In the order the picker lists them. Titles are looked up at each use, so
// a new interface language relabels them at once.
const Tone kTones[] = {
    {"none", &L10n::toneNone},         {"neutral", &L10n::toneNeutral},
    {"readable", &L10n::toneReadable}, {"concise", &L10n::toneConcise},
    {"summary", &L10n::toneSummary},   {"theses", &L10n::toneTheses},
    {"formal", &L10n::toneFormal},
};

const QList<Choice>& toneChoices() {
    static const QList<Choice> list = [] {
        QList<Choice> out;
        for (const Tone& t : kTones) out.append({t.title, QString::fromLatin1(t.tag)});
        return out;
    }();
    return list;
}

// Language names are fixed texts, the same in every interface language.
const QList<Choice>& interfaceLanguages() {
    static const QList<Choice> list = fixedChoices({{"en", "English"},
                                                    {"ru", "Русский"},
                                                    {"es", "Español"},
                                                    {"fr", "Français"},
                                                    {"de", "Deutsch"},
                                                    {"tr", "Türkçe"}});
    return list;
}

const QList<Choice>& recognitionLanguages() {
    static const QList<Choice> list = fixedChoices(recognitionLanguageNames());
    return list;
}

QComboBox* picker(const QString& key, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(key);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return combo;
}
}  // namespace

bool SettingsTextTab::isEditableTone(const QString& tag) {
    return tag != u"none" && std::any_of(std::begin(kTones), std::end(kTones), [&](const Tone& t) {
               return tag == QLatin1String(t.tag);
           });
}

QString SettingsTextTab::toneTitle(const QString& tag) {
    for (const Tone& t : kTones)
        if (tag == QLatin1String(t.tag)) return t.title();
    return tag;
}

SettingsTextTab::SettingsTextTab(const MainWindowContext& context, QWidget* parent)
    : QWidget(parent), m_context(context) {
    SettingsStore& store = *m_context.settings;
    auto* layout = SettingsLayout::tabStack(this);

    m_transcription = new QGroupBox(this);
    auto* transcription = SettingsLayout::groupStack(m_transcription);
    auto* toneRow = new QHBoxLayout;
    m_toneLabel = SettingsLayout::rowLabel(m_transcription);
    toneRow->addWidget(m_toneLabel);
    m_tone = picker(QStringLiteral("toneStyle"), m_transcription);
    toneRow->addWidget(m_tone);
    m_editPrompt = new QToolButton(m_transcription);
    m_editPrompt->setObjectName(QStringLiteral("editPrompt"));
    m_editPrompt->setAutoRaise(true);
    m_editPrompt->setAccessibleName(QStringLiteral("Edit"));
    m_editPrompt->setIcon(Icons::icon(QStringLiteral("pencil"), Colors::accent(palette())));
    toneRow->addWidget(m_editPrompt);
    toneRow->addStretch();
    transcription->addLayout(toneRow);
    auto* profanityRow = new QHBoxLayout;
    m_profanity = new QCheckBox(m_transcription);
    m_profanity->setObjectName(QStringLiteral("replaceProfanity"));
    profanityRow->addWidget(m_profanity);
    profanityRow->addStretch();
    transcription->addLayout(profanityRow);
    m_profanityHint = SettingsLayout::caption(m_transcription);
    transcription->addWidget(m_profanityHint);
    layout->addWidget(m_transcription);

    // PER-APP STYLES: the "Styles per app" group is constructed into this
    // slot (one line: m_perAppSlot->addWidget(new <group>(...))).
    m_perAppSlot = new QVBoxLayout;
    m_perAppSlot->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(m_perAppSlot);
    m_perAppSlot->addWidget(new PerAppStylesGroup(m_context, this));

    m_language = new QGroupBox(this);
    auto* language = SettingsLayout::groupStack(m_language);
    auto* interfaceRow = new QHBoxLayout;
    m_interfaceLabel = SettingsLayout::rowLabel(m_language);
    interfaceRow->addWidget(m_interfaceLabel);
    m_interface = picker(QStringLiteral("interfaceLanguage"), m_language);
    interfaceRow->addWidget(m_interface);
    interfaceRow->addStretch();
    language->addLayout(interfaceRow);
    auto* recognitionRow = new QHBoxLayout;
    m_recognitionLabel = SettingsLayout::rowLabel(m_language);
    recognitionRow->addWidget(m_recognitionLabel);
    m_recognition = picker(QStringLiteral("recognitionLanguage"), m_language);
    recognitionRow->addWidget(m_recognition);
    recognitionRow->addStretch();
    language->addLayout(recognitionRow);
    layout->addWidget(m_language);
    layout->addStretch();

    SettingsBinding::writeOnPick(m_tone, store, QStringLiteral("toneStyle"));
    SettingsBinding::writeOnToggle(m_profanity, store, QStringLiteral("replaceProfanity"));
    SettingsBinding::writeOnPick(m_interface, store, QStringLiteral("interfaceLanguage"));
    SettingsBinding::writeOnPick(m_recognition, store, QStringLiteral("recognitionLanguage"));
    connect(m_editPrompt, &QToolButton::clicked, this, &SettingsTextTab::editPrompt);
}

void SettingsTextTab::refresh() {
    const SettingsStore& store = *m_context.settings;
    if (m_transcription->title() != L10n::transcription())
        m_transcription->setTitle(L10n::transcription());
    Texts::set(m_toneLabel, L10n::toneStyle());
    const QString tone = SettingsBinding::string(store, QStringLiteral("toneStyle"));
    SettingsBinding::showChoices(m_tone, toneChoices(), tone);
    m_editPrompt->setVisible(isEditableTone(tone));
    m_editPrompt->setToolTip(L10n::editTonePromptHint());
    {
        const QSignalBlocker blocker(m_profanity);
        m_profanity->setChecked(
            SettingsBinding::boolean(store, QStringLiteral("replaceProfanity")));
    }
    Texts::set(m_profanity, L10n::replaceProfanity());
    Texts::set(m_profanityHint, L10n::replaceProfanityHint());

    if (m_language->title() != L10n::language()) m_language->setTitle(L10n::language());
    Texts::set(m_interfaceLabel, L10n::interfaceLanguage());
    SettingsBinding::showChoices(
        m_interface, interfaceLanguages(),
        SettingsBinding::string(store, QStringLiteral("interfaceLanguage")));
    Texts::set(m_recognitionLabel, L10n::recognitionLanguage());
    SettingsBinding::showChoices(
        m_recognition, recognitionLanguages(),
        SettingsBinding::string(store, QStringLiteral("recognitionLanguage")));
}

void SettingsTextTab::editPrompt() {
    if (!m_context.windows) return;
    const QString tag = SettingsBinding::string(*m_context.settings, QStringLiteral("toneStyle"));
    m_context.windows->openBuiltinStyleEditor(tag, toneTitle(tag));
}
