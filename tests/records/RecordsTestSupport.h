#pragma once

#include <QDir>
#include <QObject>
#include <QString>
#include <memory>

#include "platform/NotificationCenter.h"
#include "support/TestSupport.h"

namespace recordstest {

// Counts ormilDataChanged posts while it lives.
class DataChangedCounter {
public:
    DataChangedCounter() : m_guard(std::make_unique<QObject>()) {
        QObject::connect(&NotificationCenter::shared(), &NotificationCenter::ormilDataChanged,
                         m_guard.get(), [this] { ++m_count; });
    }
    // Posts are queued: let them arrive, then read.
    int settled() {
        testsupport::processEvents();
        return m_count;
    }
    // What arrived so far without running the event loop.
    int soFar() const { return m_count; }
    void reset() {
        testsupport::processEvents();
        m_count = 0;
    }

private:
    std::unique_ptr<QObject> m_guard;
    int m_count = 0;
};

// A fresh folder for one test.
inline QString freshDir(const QString& name) {
    const QString path = testsupport::root() + QStringLiteral("/data/") + name;
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

inline int occurrences(const QString& haystack, const QString& needle) {
    return int(haystack.count(needle));
}

}  // namespace recordstest
