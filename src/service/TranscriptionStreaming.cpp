// Windows uploaded while a recording runs, and the joining of window texts.
#include "platform/Characters.h"
#include "platform/DebugLog.h"
#include "service/StreamingSession.h"
#include "service/TranscriptionService.h"
#include "service/TranscriptionSupport.h"

using namespace transcription;

namespace {

bool isSpace(char32_t c) {
    return QChar::isSpace(c);
}

// Maximal runs of characters that are not whitespace.
std::vector<QString> splitWords(const QString& text) {
    std::vector<QString> words;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && isSpace(text.at(i).unicode())) ++i;
        const qsizetype start = i;
        while (i < n) {
            char32_t c = text.at(i).unicode();
            qsizetype width = 1;
            if (QChar::isHighSurrogate(c) && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
                c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
                width = 2;
            }
            if (isSpace(c)) break;
            i += width;
        }
        if (i > start) words.push_back(text.mid(start, i - start));
    }
    return words;
}

// Lower-cased, in one canonical composition, with punctuation and symbols
// (apostrophes and hyphens among them) dropped, so that case, punctuation and
// the spelling of accents do not tell words apart. Combining marks stay: in
// Devanagari, Arabic or Thai they are the vowels that tell words apart.
QString normWord(const QString& word) {
    const QString lowered = word.normalized(QString::NormalizationForm_C)
                                .toLower()
                                .normalized(QString::NormalizationForm_C);
    QString out;
    out.reserve(lowered.size());
    for (const char32_t c : lowered.toUcs4())
        if (QChar::isLetterOrNumber(c) || QChar::isMark(c)) out.append(QString::fromUcs4(&c, 1));
    return out;
}

// b after a, minus the words at b's start that repeat a run of at least four
// words at a's end (among the last and first `win` words).
std::vector<QString> mergeWords(std::vector<QString> a, const std::vector<QString>& b, size_t win) {
    if (a.empty()) return b;
    const size_t tailLength = std::min(a.size(), win);
    const size_t tailStart = a.size() - tailLength;
    const size_t headLength = std::min(b.size(), win);
    if (headLength == 0) return a;

    std::vector<QString> tail(tailLength), head(headLength);
    for (size_t i = 0; i < tailLength; ++i) tail[i] = normWord(a[tailStart + i]);
    for (size_t j = 0; j < headLength; ++j) head[j] = normWord(b[j]);

    // Longest common run of consecutive words; among equal lengths the one
    // found first (earliest end in the tail, then in the head) wins.
    const size_t cols = headLength + 1;
    std::vector<int> table((tailLength + 1) * cols, 0);
    int best = 0;
    size_t bestI = 0, bestJ = 0;
    for (size_t i = 1; i <= tailLength; ++i) {
        if (tail[i - 1].isEmpty()) continue;
        for (size_t j = 0; j < headLength; ++j) {
            if (tail[i - 1] != head[j]) continue;
            const int length = table[(i - 1) * cols + j] + 1;
            table[i * cols + j + 1] = length;
            if (length > best) {
                best = length;
                bestI = i;
                bestJ = j + 1;
            }
        }
    }
    if (best < 4) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }
    a.resize(tailStart + bestI);
    a.insert(a.end(), b.begin() + qsizetype(bestJ), b.end());
    return a;
}

}  // namespace

void TranscriptionService::beginStreaming() {
    {
        std::lock_guard lock(m_streamingMutex);
        m_streaming = std::make_shared<StreamingSession>();
    }
    debugLog("[Streaming] Сессия начата — окна пойдут по мере записи");
}

void TranscriptionService::streamWindow(const QByteArray& wav, qint64 index,
                                        const QString& language, const QString& provider,
                                        const std::optional<QString>& translateTo) {
    std::shared_ptr<StreamingSession> session;
    {
        std::lock_guard lock(m_streamingMutex);
        session = m_streaming;
    }
    if (!session) return;
    session->addWindow(
        index,
        [this, wav, index, language, provider, translateTo]() -> std::optional<QString> {
            try {
                return sendChunkWithRetry(wav, index, -1, language, provider,
                                          QStringLiteral("none"), translateTo);
            } catch (const std::exception&) {
                return std::nullopt;
            }
        },
        [this](std::function<void()> job) { startBackground(std::move(job)); });
    debugLog(QStringLiteral("[Streaming] Окно %1 отправлено во время записи (%2 bytes)")
                 .arg(index + 1)
                 .arg(wav.size()));
}

std::optional<QString> TranscriptionService::finishStreaming(const QString& toneStyle,
                                                             const QString& language) {
    std::shared_ptr<StreamingSession> session;
    {
        std::lock_guard lock(m_streamingMutex);
        session.swap(m_streaming);
    }
    if (!session) return std::nullopt;
    const std::optional<QStringList> texts = session->joinTexts();
    if (!texts) return std::nullopt;

    QString joined = dedupJoin(*texts);
    debugLog(QStringLiteral("[Streaming] Собрано %1 окон, %2 символов")
                 .arg(texts->size())
                 .arg(Characters::count(joined)));
    if (!joined.trimmed().isEmpty() && !toneStyle.isEmpty() && toneStyle != QLatin1String("none"))
        joined = applyTone(joined, toneStyle, language, false);
    if (joined.trimmed().isEmpty()) return std::nullopt;
    return joined;
}

QString TranscriptionService::dedupJoin(const QStringList& texts) {
    std::vector<QString> words;
    for (const QString& text : texts) {
        std::vector<QString> next = splitWords(text);
        if (next.empty()) continue;
        words = mergeWords(std::move(words), next, 90);
    }
    if (words.empty()) return {};
    QString joined;
    for (const QString& word : words) {
        if (!joined.isEmpty()) joined += QLatin1Char(' ');
        joined += word;
    }
    // Upper-case the first letter when it is a lower-case one.
    const qsizetype width =
        joined.size() > 1 && joined.at(0).isHighSurrogate() && joined.at(1).isLowSurrogate() ? 2
                                                                                             : 1;
    const QString first = joined.left(width);
    const char32_t c = first.toUcs4().value(0);
    if (QChar::isLower(c)) return first.toUpper() + joined.mid(width);
    return joined;
}
