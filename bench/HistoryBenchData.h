#pragma once

// The dictations the history benchmarks store: words of three languages,
// some with accents, drawn from a fixed seed.

#include <QRandomGenerator>
#include <QStringList>

namespace historybench {

inline const QStringList& vocabulary() {
    static const QStringList words = {
        "the",    "meeting", "is",      "moved",    "to",      "Friday",  "please", "send",
        "report", "café",    "résumé",  "привет",   "встреча", "завтра",  "в",      "десять",
        "and",    "we",      "should",  "review",   "budget",  "numbers", "before", "lunch",
        "über",   "naïve",   "project", "deadline", "call",    "client",  "notes",  "draft"};
    return words;
}

inline QString randomText(QRandomGenerator& rng, int words) {
    QStringList out;
    for (int i = 0; i < words; ++i) out << vocabulary().at(rng.bounded(vocabulary().size()));
    return out.join(' ');
}

}  // namespace historybench
