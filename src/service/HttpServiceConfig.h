#pragma once

#include <QString>

// Where the services live: the build's defaults (the local stand-in unless
// the build says otherwise), overridden by ORMIL_API_BASE, ORMIL_AUTH_BASE
// and ORMIL_UPDATE_BASE. Read on every call, without a trailing slash.
struct ServiceConfig {
    // The speech service (transcription, account records, sync, reports).
    static QString apiBase();
    // The sign-in service of the "/api/auth/" paths.
    static QString authBase();
    // The root of the update manifest mirrors.
    static QString updateBase();
};
