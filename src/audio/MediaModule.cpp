#include "audio/MediaModule.h"

#include <dlfcn.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <mutex>

#include "platform/DebugLog.h"

namespace MediaModule {
namespace {

const char* const kFileName = "libormil_media.so";

struct State {
    std::mutex lock;
    QString pathOverride;
    bool tried = false;
    const OrmilMediaFunctions* functions = nullptr;
    QString error;
};

State& state() {
    static State s;
    return s;
}

QString bundlePath() {
    // The executable's own file, whatever the current folder or argv[0].
    const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return QDir::cleanPath(QFileInfo(exe).absolutePath() + QStringLiteral("/../lib/") +
                           QLatin1String(kFileName));
}

// Loads the module; the functions, or nullptr with the reason in `error`.
const OrmilMediaFunctions* load(const QString& file, QString& error) {
    // RTLD_LOCAL: the module's libraries stay out of the symbol lookup of
    // everything loaded later.
    void* handle = ::dlopen(QFile::encodeName(file).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        error = QString::fromLocal8Bit(::dlerror());
        return nullptr;
    }
    auto entry = reinterpret_cast<OrmilMediaEntry>(::dlsym(handle, ORMIL_MEDIA_ENTRY));
    const OrmilMediaFunctions* functions = entry ? entry() : nullptr;
    if (!functions || functions->version != ORMIL_MEDIA_INTERFACE_VERSION) {
        error = file + QStringLiteral(" is not a media module of this version");
        ::dlclose(handle);
        return nullptr;
    }
    // Never unloaded: the functions stay valid for the process's life.
    return functions;
}

}  // namespace

QString path() {
    State& s = state();
    std::lock_guard guard(s.lock);
    return s.pathOverride.isEmpty() ? bundlePath() : s.pathOverride;
}

void setPathForTesting(const QString& file) {
    State& s = state();
    std::lock_guard guard(s.lock);
    s.pathOverride = file;
    s.tried = false;
    s.functions = nullptr;
    s.error.clear();
}

const OrmilMediaFunctions* functions() {
    const QString file = path();
    State& s = state();
    std::lock_guard guard(s.lock);
    if (!s.tried) {
        s.tried = true;
        QString reason;
        s.functions = load(file, reason);
        if (!s.functions) {
            s.error = QStringLiteral("the media module cannot be loaded (") + reason +
                      QStringLiteral("): audio files cannot be converted");
            debugLog(QStringLiteral("[Audio] ") + s.error);
        }
    }
    return s.functions;
}

QString loadError() {
    State& s = state();
    std::lock_guard guard(s.lock);
    return s.error;
}

}  // namespace MediaModule
