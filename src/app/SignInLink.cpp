#include "app/SignInLink.h"

#include <QUrl>
#include <QUrlQuery>

std::optional<QString> signInToken(const QString& link) {
    const QUrl url(link);
    if (url.scheme().compare(QLatin1String("ormil"), Qt::CaseInsensitive) != 0 ||
        url.host().compare(QLatin1String("auth"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    QString token;
    for (const auto& [name, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        if (name.compare(QLatin1String("token"), Qt::CaseInsensitive) == 0) token = value;
    }
    if (token.isEmpty()) return std::nullopt;
    return token;
}
