#include "app/SignInLink.h"

#include <QUrl>
#include <QUrlQuery>

std::optional<QString> extractAuthToken(const QString& link) {
    const QUrl url(link, QUrl::StrictMode);
    if (!url.isValid()) return std::nullopt;
    if (url.scheme().toLower() != QLatin1String("ormil") ||
        url.host().toLower() != QLatin1String("auth"))
        return std::nullopt;
    for (const auto& [name, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        if (name.toLower() == QLatin1String("token") && !value.isEmpty()) return value;
    }
    return std::nullopt;
}

QString redactedLink(const QString& link) {
    QUrl url(link);
    if (!url.isValid()) return QStringLiteral("(unreadable link)");
    if (url.hasQuery()) {
        QUrlQuery query(url);
        QList<QPair<QString, QString>> items = query.queryItems(QUrl::FullyDecoded);
        for (auto& item : items) item.second = QStringLiteral("***");
        query.setQueryItems(items);
        url.setQuery(query);
    }
    if (url.hasFragment()) url.setFragment(QStringLiteral("***"));
    url.setPassword(QString());
    return url.toString();
}
