#pragma once

#include <QString>
#include <optional>

// The one-time sign-in token of a link handed to the application:
// "ormil://auth?token=..." (scheme, host and the query name compared without
// regard to case; the first non-empty "token" wins, percent-decoded).
// Nothing for any other link.
std::optional<QString> extractAuthToken(const QString& link);

// The link with every query value (and any fragment or password) blanked
// out: a one-time token must never reach the log.
QString redactedLink(const QString& link);
