#include "ui/Graphemes.h"

#include <QTextBoundaryFinder>

int Graphemes::count(const QString& text) {
    if (text.isEmpty()) return 0;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int n = 0;
    while (finder.toNextBoundary() != -1) ++n;
    return n;
}

QString Graphemes::left(const QString& text, int n) {
    if (n <= 0) return {};
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int end = 0;
    for (int i = 0; i < n; ++i) {
        const qsizetype next = finder.toNextBoundary();
        if (next == -1) return text;
        end = int(next);
    }
    return text.left(end);
}
