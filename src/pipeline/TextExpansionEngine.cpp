#include "pipeline/TextExpansionEngine.h"

#include <QHash>
#include <QPointer>
#include <QTextBoundaryFinder>

#include "pipeline/KeyboardSimulator.h"
#include "pipeline/TextExpansionPlaceholders.h"
#include "platform/DebugLog.h"
#include "platform/KeySynthesizer.h"
#include "platform/Pasteboard.h"
#include "platform/Threading.h"
#include "platform/WindowWatcher.h"
#include "records/TextExpansionService.h"
#include "platform/Required.h"

namespace {

const QString kLog = QStringLiteral("[TextExpansion] ");

QString quoted(const QString& s) {
    return QLatin1Char('"') + s + QLatin1Char('"');
}

// The same key on the US QWERTY layout and on the Russian one.
constexpr std::pair<char16_t, char16_t> kQwertyRussian[] = {
    {u'q', u'й'}, {u'w', u'ц'}, {u'e', u'у'}, {u'r', u'к'}, {u't', u'е'},  {u'y', u'н'},
    {u'u', u'г'}, {u'i', u'ш'}, {u'o', u'щ'}, {u'p', u'з'}, {u'[', u'х'},  {u']', u'ъ'},
    {u'a', u'ф'}, {u's', u'ы'}, {u'd', u'в'}, {u'f', u'а'}, {u'g', u'п'},  {u'h', u'р'},
    {u'j', u'о'}, {u'k', u'л'}, {u'l', u'д'}, {u';', u'ж'}, {u'\'', u'э'}, {u'z', u'я'},
    {u'x', u'ч'}, {u'c', u'с'}, {u'v', u'м'}, {u'b', u'и'}, {u'n', u'т'},  {u'm', u'ь'},
    {u',', u'б'}, {u'.', u'ю'},
};

const QHash<QChar, QChar>& qwertyToRussian() {
    static const QHash<QChar, QChar> table = [] {
        QHash<QChar, QChar> t;
        for (const auto& [latin, cyrillic] : kQwertyRussian)
            t.insert(QChar(latin), QChar(cyrillic));
        return t;
    }();
    return table;
}

const QHash<QChar, QChar>& russianToQwerty() {
    static const QHash<QChar, QChar> table = [] {
        QHash<QChar, QChar> t;
        for (auto it = qwertyToRussian().begin(); it != qwertyToRussian().end(); ++it)
            t.insert(it.value(), it.key());
        return t;
    }();
    return table;
}

int graphemeCount(const QString& s) {
    // Plain ASCII has one character per code unit.
    bool ascii = true;
    for (QChar c : s)
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii) return int(s.size());
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, s);
    int n = 0;
    while (finder.toNextBoundary() > 0) ++n;
    return n;
}

// `text` ends with `suffix` as whole characters: a trigger "e" must not match
// the end of an "é" typed as e plus an accent.
bool endsWithCharacters(const QString& text, const QString& suffix) {
    if (!text.endsWith(suffix)) return false;
    const qsizetype start = text.size() - suffix.size();
    if (start == 0) return true;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    finder.setPosition(start);
    return finder.isAtBoundary();
}

constexpr qint64 kBackspace = 51;
constexpr qint64 kReturn = 36;
constexpr qint64 kTab = 48;
constexpr qint64 kSpace = 49;

bool clearsBuffer(qint64 code) {
    switch (code) {
        case 123:
        case 124:
        case 125:
        case 126:  // arrows
        case 53:   // Escape
        case 115:
        case 119:  // Home, End
        case 116:
        case 121:  // Page Up, Page Down
        case 117:  // forward Delete
            return true;
        default:
            return false;
    }
}

}  // namespace

TextExpansionEngine::TextExpansionEngine(Collaborators collaborators, QObject* parent)
    : QObject(parent), m_c(collaborators) {
    requireCollaborator(m_c.pasteboard, "TextExpansionEngine", "pasteboard");
    connect(&m_c.items, &TextExpansionService::itemsChanged, this,
            [this] { m_candidatesStale = true; });
}

TextExpansionEngine::~TextExpansionEngine() {
    if (m_expansion && m_expansion->timer) m_expansion->timer->cancel();
    stop();
}

TextExpansionEngine& TextExpansionEngine::shared() {
    // A tap of its own on the process's one key connection, so that starting
    // and stopping it leaves the hotkeys' tap alone.
    static std::unique_ptr<KeyEventSource> keys = KeyEventSource::makeTap();
    static TextExpansionEngine* instance = new TextExpansionEngine(
        {TextExpansionService::shared(), *keys, KeySynthesizer::shared(), &Pasteboard::forwarding(),
         KeyboardSimulator::shared(), WindowWatcher::shared(), Clock::system()});
    return *instance;
}

Pasteboard& TextExpansionEngine::pasteboard() const {
    return *m_c.pasteboard;
}

// Lifecycle

void TextExpansionEngine::start() {
    ORMIL_ASSERT_MAIN_THREAD();
    if (isRunning()) {
        debugLog(kLog + "Already running");
        return;
    }
    const bool tap = m_c.keys.start([this](const KeyEvent& event) { handleEvent(event); });
    if (tap) {
        debugLog(kLog + "Event tap created OK");
        setIsRunning(true);
        debugLog(kLog + "Started");
    } else {
        debugLog(kLog + "FAILED to create event tap! Accessibility likely not granted.");
    }
    if (!m_appSwitchObserved) {
        m_appSwitchObserved = true;
        connect(&m_c.windows, &WindowWatcher::activeWindowChanged, this, [this] { clearBuffer(); });
        m_c.windows.start();
    }
}

void TextExpansionEngine::stop() {
    ORMIL_ASSERT_MAIN_THREAD();
    m_c.keys.stop();
    setIsRunning(false);
    clearBuffer();
    debugLog(kLog + "Stopped");
}

// Keys

void TextExpansionEngine::handleEvent(const KeyEvent& event) {
    ORMIL_ASSERT_MAIN_THREAD();
    if (event.type == KeyEventType::tapDisabledByTimeout ||
        event.type == KeyEventType::tapDisabledByUserInput) {
        debugLog(kLog + "Event tap disabled (type=" +
                 QString::number(static_cast<quint32>(event.type)) + "), re-enabling...");
        m_c.keys.enable();
        return;
    }
    if (event.type != KeyEventType::keyDown) return;
    // Also keeps our own BackSpaces and paste chord out of the buffer.
    if (isExpanding()) return;
    if (event.flags & (KeyFlags::command | KeyFlags::control)) {
        clearBuffer();
        return;
    }
    if (event.keyCode == kBackspace) {
        removeLastCharacter();
        return;
    }
    if (clearsBuffer(event.keyCode)) {
        clearBuffer();
        return;
    }
    const QString text = event.text.left(4);
    if (text.isEmpty()) return;
    if (event.keyCode == kReturn || event.keyCode == kTab || event.keyCode == kSpace) {
        clearBuffer();
        return;
    }
    appendText(text);
    checkForTrigger();
}

void TextExpansionEngine::removeLastCharacter() {
    if (m_buffer.isEmpty()) return;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, m_buffer);
    finder.toEnd();
    const qsizetype last = finder.toPreviousBoundary();
    m_buffer.truncate(last < 0 ? 0 : last);
}

void TextExpansionEngine::appendText(const QString& text) {
    m_buffer += text;
    if (m_buffer.size() <= maxBufferSize) return;
    int excess = graphemeCount(m_buffer) - maxBufferSize;
    if (excess <= 0) return;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, m_buffer);
    qsizetype cut = 0;
    while (excess-- > 0) cut = finder.toNextBoundary();
    m_buffer.remove(0, cut);
}

// Matching

QString TextExpansionEngine::convertLayout(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const QChar lower = c.toLower();
        auto it = qwertyToRussian().constFind(lower);
        if (it == qwertyToRussian().constEnd()) {
            it = russianToQwerty().constFind(lower);
            if (it == russianToQwerty().constEnd()) {
                out += c;
                continue;
            }
        }
        out += c.isUpper() ? it.value().toUpper() : it.value();
    }
    return out;
}

void TextExpansionEngine::rebuildCandidates() {
    m_candidates.clear();
    m_byLastUnit.clear();
    const QList<TextExpansionItem>& items = m_c.items.items();
    for (int i = 0; i < items.size(); ++i) {
        const TextExpansionItem& item = items[i];
        // A trigger of spaces could never be typed (Space clears the
        // buffer), but one that is blank after trimming must not fire either.
        if (!item.isEnabled || item.trigger.trimmed().isEmpty()) continue;
        Candidate c;
        c.index = i;
        c.trigger = item.trigger.normalized(QString::NormalizationForm_C);
        c.triggerLength = graphemeCount(item.trigger);
        c.convertedLength = 0;
        if (item.matchBothLayouts) {
            const QString converted = convertLayout(item.trigger);
            if (!converted.isEmpty() && converted != item.trigger) {
                c.converted = converted.normalized(QString::NormalizationForm_C);
                c.convertedLength = graphemeCount(converted);
            }
        }
        const int at = int(m_candidates.size());
        m_byLastUnit[c.trigger.back()].push_back(at);
        if (!c.converted.isEmpty() && c.converted.back() != c.trigger.back())
            m_byLastUnit[c.converted.back()].push_back(at);
        m_candidates.push_back(std::move(c));
    }
    m_candidatesStale = false;
}

void TextExpansionEngine::checkForTrigger() {
    if (m_candidatesStale) rebuildCandidates();
    const QString typed = m_buffer.normalized(QString::NormalizationForm_C);
    if (typed.isEmpty()) return;
    const auto bucket = m_byLastUnit.constFind(typed.back());
    if (bucket == m_byLastUnit.constEnd()) return;
    for (int at : *bucket) {
        const Candidate& c = m_candidates[at];
        const TextExpansionItem& item = m_c.items.items()[c.index];
        if (endsWithCharacters(typed, c.trigger)) {
            debugLog(kLog + "Trigger matched: " + quoted(item.trigger));
            performExpansion(item, c.triggerLength);
            return;
        }
        if (!c.converted.isEmpty() && endsWithCharacters(typed, c.converted)) {
            debugLog(kLog +
                     "Alternate layout trigger matched: " + quoted(convertLayout(item.trigger)) +
                     " (original: " + quoted(item.trigger) + ")");
            performExpansion(item, c.convertedLength);
            return;
        }
    }
}

// Expansion: BackSpaces at once, the paste 0.05 s later; the expansion is
// over once the paste is (the clipboard back, or left to a remote viewer).

void TextExpansionEngine::performExpansion(const TextExpansionItem& item, int triggerLength) {
    clearBuffer();
    Expansion e;
    e.trigger = item.trigger;
    e.triggerLength = triggerLength;
    // The clipboard is read before anything of ours touches it.
    e.text = TextExpansionPlaceholders::expand(item.expandedText, m_c.clock.currentDateTime(),
                                               pasteboard().string());
    m_expansion = std::move(e);
    m_expansion->timer = m_c.clock.schedule(0, this, [this] { eraseTrigger(); });
}

void TextExpansionEngine::eraseTrigger() {
    if (!m_expansion) return;
    if (!m_c.synthesizer.postBackspaces(m_expansion->triggerLength))
        debugLog(kLog + "Failed to create event source for backspaces");
    m_expansion->timer = m_c.clock.schedule(pasteDelay, this, [this] { paste(); });
}

void TextExpansionEngine::paste() {
    if (!m_expansion) return;
    // The insertion may outlive the engine (it waits behind a dictation, or
    // for the application to take the text).
    const QPointer<TextExpansionEngine> self(this);
    KeyboardSimulator::Insertion insertion;
    insertion.keystrokeAtOnce = true;
    insertion.keyed = [self](bool posted) {
        if (self && !posted) debugLog(kLog + "Failed to create event source for paste");
    };
    insertion.finished = [self] {
        if (self) self->finishExpansion();
    };
    m_c.inserter.insertTextViaPasteboard(m_expansion->text, std::move(insertion));
}

void TextExpansionEngine::finishExpansion() {
    if (!m_expansion) return;
    const QString trigger = m_expansion->trigger;
    m_expansion.reset();
    debugLog(kLog + "Expansion complete for trigger: " + quoted(trigger));
}
