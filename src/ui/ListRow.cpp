#include "ui/ListRow.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>
#include <QTextLayout>
#include <algorithm>

ListPart ListPart::label(const QString& text, TextStyle style, QFont::Weight weight) {
    ListPart p;
    p.kind = Kind::text;
    p.text = text;
    p.style = style;
    p.weight = weight;
    return p;
}

ListPart ListPart::caption(const QString& text) {
    ListPart p = label(text, TextStyle::Caption);
    p.secondary = true;
    return p;
}

ListPart ListPart::icon(const QString& symbol, TextStyle style) {
    ListPart p;
    p.kind = Kind::symbol;
    p.symbol = symbol;
    p.style = style;
    p.secondary = true;
    return p;
}

ListPart ListPart::iconButton(const QString& symbol, const QColor& color, const QString& action,
                              const QString& accessibleName, const QString& toolTip) {
    ListPart p;
    p.kind = Kind::button;
    p.symbol = symbol;
    p.color = color;
    p.action = action;
    p.accessibleName = accessibleName;
    p.toolTip = toolTip;
    return p;
}

ListPart ListPart::textButton(const QString& title, const QString& action, bool enabled) {
    ListPart p;
    p.kind = Kind::button;
    p.text = title;
    p.action = action;
    p.accessibleName = title;
    p.enabled = enabled;
    return p;
}

ListPart ListPart::stretch() {
    ListPart p;
    p.kind = Kind::stretch;
    p.fill = true;
    return p;
}

QString ListRow::plainText() const {
    QStringList out;
    for (const ListLine& line : lines)
        for (const ListPart& part : line.parts)
            if (part.kind == ListPart::Kind::text && !part.text.isEmpty()) out << part.text;
    return out.join(QStringLiteral(", "));
}

QList<const ListPart*> ListRow::actions() const {
    QList<const ListPart*> out;
    for (const ListLine& line : lines)
        for (const ListPart& part : line.parts)
            if (!part.action.isEmpty()) out << &part;
    return out;
}

const PlacedPart* RowPlacement::partAt(const QPoint& point) const {
    for (const PlacedPart& p : parts)
        if (p.rect.contains(point)) return &p;
    return nullptr;
}

const PlacedPart* RowPlacement::partFor(const QString& action) const {
    for (const PlacedPart& p : parts)
        if (p.part.action == action) return &p;
    return nullptr;
}

namespace {

constexpr int kToggleWidth = 32;
constexpr int kToggleHeight = 18;
constexpr int kSpinner = 20;
constexpr int kProgressHeight = 6;
// A text beside a filling part takes at most this share of the line.
constexpr double kTextShare = 0.45;

QFont fontOf(const ListPart& part) {
    // Rows ask for the same few fonts over and over.
    static QHash<int, QFont> fonts;
    static QFont application;
    if (application != QGuiApplication::font()) {
        fonts.clear();
        application = QGuiApplication::font();
    }
    const int key = int(part.style) * 2000 + int(part.weight) * 2 + (part.monospaced ? 1 : 0);
    auto it = fonts.constFind(key);
    if (it != fonts.constEnd()) return *it;
    QFont f = part.monospaced ? Typography::monospaced(part.style) : Typography::font(part.style);
    f.setWeight(part.weight);
    fonts.insert(key, f);
    return f;
}

// The text's lines at `width`: wrapped at word boundaries, a longer run
// anywhere; with maxLines, the last line shown takes the rest, elided. The
// lines are shaped here once, one line spacing apart.
void wrap(const QString& source, const QFont& font, int width, int maxLines, QStringList& out,
          QList<QGlyphRun>& runs) {
    if (source.isEmpty()) return;
    QString text = source;
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    const QFontMetrics metrics(font);
    width = std::max(width, 1);
    const auto baseline = [&](qsizetype index) {
        return double(index * metrics.lineSpacing() + metrics.ascent());
    };
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    QList<QTextLine> shown;
    QString elided;
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid()) break;
        line.setLineWidth(width);
        const int end = line.textStart() + line.textLength();
        if (maxLines > 0 && out.size() == maxLines - 1 && end < text.size()) {
            // The rest of this line's paragraph, marked as cut when more follows.
            QString rest = text.mid(line.textStart());
            const qsizetype br = rest.indexOf(QChar::LineSeparator);
            if (br >= 0) rest = rest.left(br) + QChar(0x2026);
            elided = metrics.elidedText(rest, Qt::ElideRight, width);
            out << elided;
            break;
        }
        line.setPosition(QPointF(0, baseline(out.size()) - line.ascent()));
        shown << line;
        out << text.mid(line.textStart(), line.textLength()).remove(QChar::LineSeparator);
    }
    layout.endLayout();
    for (const QTextLine& line : shown) runs << line.glyphRuns();
    if (!elided.isEmpty()) {
        QTextLayout last(elided, font);
        last.setCacheEnabled(true);
        last.beginLayout();
        QTextLine line = last.createLine();
        line.setNumColumns(int(elided.size()));
        line.setPosition(QPointF(0, baseline(out.size() - 1) - line.ascent()));
        last.endLayout();
        runs << line.glyphRuns();
    }
}

QSize fixedSize(const ListPart& part) {
    switch (part.kind) {
        case ListPart::Kind::symbol: {
            const int s = QFontMetrics(fontOf(part)).ascent();
            return {s, s};
        }
        case ListPart::Kind::button: {
            if (part.text.isEmpty()) {
                const int s = Typography::pixels(14) + 10;
                return {s, s};
            }
            const QFontMetrics m(fontOf(part));
            const int icon = part.symbol.isEmpty() ? 0 : m.ascent() + 4;
            const int padding = part.flat ? 8 : 24;
            return {m.horizontalAdvance(part.text) + icon + padding,
                    m.height() + (part.flat ? 4 : 10)};
        }
        case ListPart::Kind::toggle:
            return {kToggleWidth, kToggleHeight};
        case ListPart::Kind::spinner:
            return {kSpinner, kSpinner};
        case ListPart::Kind::progress:
            return {0, kProgressHeight};
        case ListPart::Kind::stretch:
        case ListPart::Kind::text:
            break;
    }
    return {0, 0};
}

}  // namespace

RowPlacement ListRows::place(const ListRow& row, const QRect& rect, const QFont&) {
    RowPlacement out;
    QRect content;
    if (row.header) {
        out.card = rect;
        content = rect.adjusted(listMargin + 4, row.verticalPadding, -(listMargin + 4), -4);
    } else {
        out.card = rect.adjusted(listMargin, 0, -listMargin, 0);
        content =
            out.card.adjusted(cardPadding, row.verticalPadding, -cardPadding, -row.verticalPadding);
    }
    const int width = std::max(content.width(), 1);
    int y = content.top();
    bool firstLine = true;
    for (const ListLine& line : row.lines) {
        if (line.parts.isEmpty()) continue;
        if (!firstLine) y += row.lineSpacing;
        firstLine = false;
        const int n = int(line.parts.size());
        QVector<int> widths(n, 0);
        const auto gap = [&](int i) {
            return i == 0                             ? 0
                   : line.parts[i].spacingBefore >= 0 ? line.parts[i].spacingBefore
                                                      : line.spacing;
        };
        int fixed = 0;
        for (int i = 1; i < n; ++i) fixed += gap(i);
        int fills = 0;
        int texts = 0;
        for (int i = 0; i < n; ++i) {
            const ListPart& p = line.parts[i];
            if (p.fill) {
                ++fills;
            } else if (p.kind == ListPart::Kind::text) {
                ++texts;
            } else {
                widths[i] = fixedSize(p).width();
                fixed += widths[i];
            }
        }
        // Texts beside a filling part keep a share of the line; alone they
        // share what the fixed parts leave.
        const int left = std::max(width - fixed, 0);
        int textRoom = fills > 0 ? int(left * kTextShare) : left;
        for (int i = 0, remaining = texts; i < n; ++i) {
            const ListPart& p = line.parts[i];
            if (p.fill || p.kind != ListPart::Kind::text) continue;
            const int natural =
                QFontMetrics(fontOf(p)).horizontalAdvance(QString(p.text).replace('\n', ' ')) + 3;
            widths[i] = std::min(natural, textRoom / std::max(remaining, 1));
            textRoom -= widths[i];
            --remaining;
        }
        int used = fixed;
        for (int i = 0; i < n; ++i)
            if (!line.parts[i].fill && line.parts[i].kind == ListPart::Kind::text)
                used += widths[i];
        const int fillWidth = fills > 0 ? std::max(width - used, 0) / fills : 0;
        for (int i = 0; i < n; ++i)
            if (line.parts[i].fill) widths[i] = fillWidth;

        // Heights, then the line's height; parts sit centred on it.
        QList<PlacedPart> placed;
        int lineHeight = 0;
        for (int i = 0; i < n; ++i) {
            const ListPart& p = line.parts[i];
            PlacedPart pp;
            pp.part = p;
            int h = fixedSize(p).height();
            if (p.kind == ListPart::Kind::text) {
                pp.font = fontOf(p);
                wrap(p.text, pp.font, widths[i], p.maxLines, pp.lines, pp.runs);
                h = int(pp.lines.size()) * QFontMetrics(pp.font).lineSpacing();
            }
            pp.rect = QRect(0, 0, widths[i], h);
            lineHeight = std::max(lineHeight, h);
            placed << pp;
        }
        int x = content.left();
        for (int i = 0; i < n; ++i) {
            PlacedPart& pp = placed[i];
            x += gap(i);
            pp.rect.moveTo(x, y + (lineHeight - pp.rect.height()) / 2);
            x += pp.rect.width();
            out.parts << pp;
        }
        y += lineHeight;
    }
    const int bottom = row.header ? 4 : row.verticalPadding;
    out.height = y + bottom - rect.top();
    return out;
}
