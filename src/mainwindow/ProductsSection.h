#pragma once

#include <QUrl>
#include <functional>

#include "ui/Page.h"

class QLabel;
class QPushButton;

// The Products section: one card for the maker's messenger agent, whose
// button opens the agent's site in the browser.
class ProductsSection : public Page {
    Q_OBJECT
public:
    // The site, with its fixed tracking query.
    static const QUrl& siteUrl();

    // openUrl: how links are opened (default: the desktop's browser).
    explicit ProductsSection(QWidget* parent = nullptr,
                             std::function<bool(const QUrl&)> openUrl = {});

    void refresh() override;

private:
    std::function<bool(const QUrl&)> m_openUrl;
    QLabel* m_title = nullptr;
    QLabel* m_subtitle = nullptr;
    QLabel* m_tagline = nullptr;
    QLabel* m_description = nullptr;
    QLabel* m_sameAccount = nullptr;
    QPushButton* m_open = nullptr;
};
