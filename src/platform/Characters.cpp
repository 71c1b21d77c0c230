#include "platform/Characters.h"

#include <QTextBoundaryFinder>

int Characters::count(const QString& text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int n = 0;
    while (finder.toNextBoundary() > 0) ++n;
    return n;
}

QString Characters::leading(const QString& text, int n) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (int taken = 0; taken < n; ++taken) {
        const qsizetype next = finder.toNextBoundary();
        if (next < 0) return text;
        end = next;
    }
    return text.left(end);
}
