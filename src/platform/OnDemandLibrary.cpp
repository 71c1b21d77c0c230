#include "platform/OnDemandLibrary.h"

#include <dlfcn.h>

#include <QFile>

#include "platform/DebugLog.h"

OnDemandLibrary::OnDemandLibrary(const char* file, std::initializer_list<const char*> names,
                                 const char* logTag, const char* withoutIt)
    : m_defaultFile(QString::fromLatin1(file)),
      m_names(names),
      m_logTag(QString::fromLatin1(logTag)),
      m_withoutIt(QString::fromUtf8(withoutIt)),
      m_file(m_defaultFile) {}

bool OnDemandLibrary::load() {
    std::lock_guard guard(m_lock);
    if (m_tried) return m_loaded;
    m_tried = true;
    // RTLD_LOCAL: the library's own dependencies stay out of the symbol
    // lookup of everything loaded later.
    void* handle = ::dlopen(QFile::encodeName(m_file).constData(), RTLD_NOW | RTLD_LOCAL);
    QString reason;
    if (!handle) {
        reason = QString::fromLocal8Bit(::dlerror());
    } else {
        std::vector<void*> functions;
        for (const char* name : m_names) {
            functions.push_back(::dlsym(handle, name));
            if (!functions.back()) {
                reason = m_file + QStringLiteral(" has no ") + QLatin1String(name);
                break;
            }
        }
        if (reason.isEmpty()) {
            // Never closed: the functions stay valid for the process's life.
            m_functions = std::move(functions);
            m_loaded = true;
            return true;
        }
        ::dlclose(handle);
    }
    m_error = m_file + QStringLiteral(" cannot be loaded (") + reason + QStringLiteral("): ") +
              m_withoutIt;
    debugLog(m_logTag + QLatin1Char(' ') + m_error);
    return false;
}

QString OnDemandLibrary::loadError() {
    std::lock_guard guard(m_lock);
    return m_error;
}

void OnDemandLibrary::setPathForTesting(const QString& file) {
    std::lock_guard guard(m_lock);
    m_file = file.isEmpty() ? m_defaultFile : file;
    m_tried = false;
    m_loaded = false;
    m_functions.clear();
    m_error.clear();
}
