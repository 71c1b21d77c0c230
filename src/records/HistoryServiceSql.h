#pragma once

// Small conversions the history store's source files share; private to them.

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QUuid>
#include <QVariant>
#include <cstdio>

#include "platform/Clock.h"

namespace historysql {

inline void printLine(const QString& line) {
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

inline QString boolText(bool b) {
    return b ? QStringLiteral("true") : QStringLiteral("false");
}

inline double toStoredTime(const QDateTime& t) {
    return double(t.toMSecsSinceEpoch()) / 1000.0;
}

inline QDateTime fromStoredTime(const QVariant& v, const QDateTime& now) {
    bool ok = false;
    const double seconds = v.toDouble(&ok);
    if (!ok || v.isNull()) return now;
    return QDateTime::fromMSecsSinceEpoch(qint64(seconds * 1000.0 + (seconds >= 0 ? 0.5 : -0.5)));
}

inline QUuid uuidOrFresh(const QVariant& v) {
    const QUuid id = QUuid::fromString(v.toString());
    return id.isNull() ? QUuid::createUuid() : id;
}

inline QString stringOrEmpty(const QVariant& v) {
    return v.isNull() ? QString() : v.toString();
}

inline QString idText(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces).toUpper();
}

inline QString errorText(const QSqlQuery& q) {
    return q.lastError().text();
}

}  // namespace historysql
