// The substring test of short history searches, as an SQL function.
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>
#include <sqlite3.h>
#include <string.h>

#include "records/HistoryDatabase.h"

namespace {

// The first byte found with memchr, the rest compared there: quicker than
// memmem for the one- and two-letter parts this serves.
bool containsBytes(const char* text, size_t textBytes, const char* part, size_t partBytes) {
    if (partBytes > textBytes) return false;
    const char* end = text + (textBytes - partBytes) + 1;
    for (const char* at = text; at < end; ++at) {
        at = static_cast<const char*>(memchr(at, part[0], size_t(end - at)));
        if (!at) return false;
        if (memcmp(at + 1, part + 1, partBytes - 1) == 0) return true;
    }
    return false;
}

void containsFunction(sqlite3_context* context, int, sqlite3_value** argv) {
    const auto* text = static_cast<const char*>(
        static_cast<const void*>(sqlite3_value_text(argv[0])));
    const int textBytes = sqlite3_value_bytes(argv[0]);
    const auto* part = static_cast<const char*>(
        static_cast<const void*>(sqlite3_value_text(argv[1])));
    const int partBytes = sqlite3_value_bytes(argv[1]);
    if (!part || partBytes == 0) {
        sqlite3_result_int(context, 1);
        return;
    }
    if (!text) {
        sqlite3_result_int(context, 0);
        return;
    }
    sqlite3_result_int(context,
                       containsBytes(text, size_t(textBytes), part, size_t(partBytes)));
}

}  // namespace

bool HistoryDatabase::registerContains(const QSqlDatabase& db) {
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) return false;
    sqlite3* connection = *static_cast<sqlite3* const*>(handle.data());
    if (!connection) return false;
    return sqlite3_create_function_v2(connection, "ormil_contains", 2,
                                      SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                      containsFunction, nullptr, nullptr, nullptr) == SQLITE_OK;
}
