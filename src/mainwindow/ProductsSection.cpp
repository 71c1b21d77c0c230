#include "mainwindow/ProductsSection.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "core/L10n.h"
#include "ui/Card.h"
#include "ui/Colors.h"
#include "ui/Icons.h"
#include "ui/Labels.h"
#include "ui/Metrics.h"
#include "ui/Texts.h"
#include "ui/Typography.h"

namespace {

// The product's icon: a rounded square with a blue-to-purple gradient and
// the chat symbol in white.
class ProductIcon : public QWidget {
public:
    explicit ProductIcon(QWidget* parent) : QWidget(parent) { setFixedSize(56, 56); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient gradient(rect().topLeft(), rect().bottomRight());
        gradient.setColorAt(0, Colors::blue());
        gradient.setColorAt(1, Colors::violet());
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()), 14, 14);
        p.fillPath(path, gradient);
        const int size = Typography::pixels(24);
        const QPixmap symbol =
            Icons::pixmap(QStringLiteral("bubble.left.and.text.bubble.right"), size, Qt::white);
        p.drawPixmap((width() - size) / 2, (height() - size) / 2, symbol);
    }
};

}  // namespace

const QUrl& ProductsSection::siteUrl() {
    static const QUrl url(QStringLiteral(
        "https://d7avu.z7.app/?utm_source=ormil&utm_medium=app&utm_campaign=our_products"));
    return url;
}

ProductsSection::ProductsSection(QWidget* parent, std::function<bool(const QUrl&)> openUrl)
    : Page(parent), m_openUrl(std::move(openUrl)) {
    if (!m_openUrl) m_openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    outer->addWidget(scroll);
    auto* content = new QWidget(scroll);
    scroll->setWidget(content);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(Metrics::around(Metrics::pageMargin));
    layout->setSpacing(Metrics::itemGap);

    m_title = Labels::create({}, TextStyle::Title2, QFont::Bold, content);
    layout->addWidget(m_title);
    m_subtitle = Labels::create({}, TextStyle::Caption, content, true);
    layout->addWidget(m_subtitle);
    layout->addSpacing(Metrics::sectionGap);

    auto* card = new Card(content);
    card->setMaximumWidth(640);
    auto* row = new QHBoxLayout(card);
    row->setContentsMargins(Metrics::around(Metrics::pageMargin));
    row->setSpacing(Metrics::sectionGap);
    row->addWidget(new ProductIcon(card), 0, Qt::AlignTop);
    // A widget of its own, so the wrapped description gets the height it needs.
    auto* column = new QWidget(card);
    auto* text = new QVBoxLayout(column);
    text->setContentsMargins(0, 0, 0, 0);
    text->setSpacing(Metrics::textGap);
    text->addWidget(Labels::create(QStringLiteral("D7Avu"), TextStyle::Title3, QFont::Bold, card));
    m_tagline = Labels::create({}, TextStyle::Caption, card);
    Labels::setTextColor(m_tagline, Colors::blue());
    text->addWidget(m_tagline);
    m_description = Labels::create({}, TextStyle::Body, card, true);
    m_description->setWordWrap(true);
    text->addWidget(m_description);
    text->addSpacing(Metrics::tightGap);
    m_sameAccount = Labels::create({}, TextStyle::Caption, card, true);
    m_sameAccount->setWordWrap(true);
    text->addWidget(m_sameAccount);
    text->addSpacing(Metrics::itemGap);
    m_open = new QPushButton(card);
    m_open->setObjectName(QStringLiteral("openProduct"));
    connect(m_open, &QPushButton::clicked, this, [this] {
        if (siteUrl().isValid()) m_openUrl(siteUrl());
    });
    text->addWidget(m_open, 0, Qt::AlignLeft);
    row->addWidget(column, 1);
    layout->addWidget(card);
    layout->addStretch();
}

void ProductsSection::refresh() {
    Texts::set(m_title, L10n::productsSection());
    Texts::set(m_subtitle, L10n::productsSubtitle());
    Texts::set(m_tagline, L10n::productsD7AvuTagline());
    Texts::set(m_description, L10n::productsD7AvuDesc());
    Texts::set(m_sameAccount, L10n::productsSameAccount());
    Texts::set(m_open, L10n::productsOpenD7Avu());
}
