#pragma once

#include <QString>

// libcurl and everything it pulls in (its TLS, Kerberos, LDAP, SSH and other
// protocol libraries) are loaded on the first service call, not at start:
// linked into the executable they would load, relocate and initialise at
// every launch before the tray icon shows. This file's functions stand in
// for the curl_* functions HttpClient calls and forward to the library.
namespace CurlLibrary {

// Loads the library once (blocks for a moment; service calls run off the
// main thread). False when it cannot be loaded, which is logged once with
// the reason (loadError()); every curl_* call then fails as libcurl's own
// calls fail on a handle that could not be made.
bool load();
QString loadError();

// Tests name another file to load; the next call loads it (a library loaded
// before stays loaded).
void setPathForTesting(const QString& path);

}  // namespace CurlLibrary
