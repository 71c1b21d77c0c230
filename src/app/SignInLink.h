#pragma once

#include <QString>
#include <optional>

// The one-time sign-in token of a link handed to the application:
// "ormil://auth?token=..." (scheme, host and the query name compared without
// regard to case; the last "token" wins). Nothing for any other link or an
// empty token.
std::optional<QString> signInToken(const QString& link);
