#include "service/HttpServiceConfig.h"

#include <QtGlobal>

namespace {

QString baseFrom(const char* variable, const char* fallback) {
    QString value = qEnvironmentVariable(variable).trimmed();
    if (value.isEmpty()) value = QString::fromUtf8(fallback);
    while (value.endsWith('/')) value.chop(1);
    return value;
}

}  // namespace

QString ServiceConfig::apiBase() {
    return baseFrom("ORMIL_API_BASE", ORMIL_DEFAULT_API_BASE);
}

QString ServiceConfig::authBase() {
    return baseFrom("ORMIL_AUTH_BASE", ORMIL_DEFAULT_AUTH_BASE);
}

QString ServiceConfig::updateBase() {
    return baseFrom("ORMIL_UPDATE_BASE", ORMIL_DEFAULT_UPDATE_BASE);
}
