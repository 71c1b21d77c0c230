#pragma once

#include <QVariantMap>

// One history record as callers receive it: string keys to values.
// Transcriptions: "id" (QUuid), "text", "language", "timestamp" (QDateTime),
// "duration" (double), "wordCount" (int). Dictionary entries: "id",
// "trigger", "replacement". Snippets: "id", "shortcut", "text".
using HistoryRecord = QVariantMap;
