#pragma once

#include <QString>
#include <initializer_list>
#include <mutex>
#include <vector>

// A system library opened when its feature is first used instead of linked
// into the executable, where it would be loaded and relocated at every start
// and stay resident although an idle tray app never calls it. When it cannot
// be opened (missing, broken, without a function) only its feature stops:
// load() answers false and the reason is logged once.
class OnDemandLibrary {
public:
    // `file` is the library's soname; `names` the functions looked up, by
    // their index; the log line reads "<logTag> <file> cannot be loaded
    // (<reason>): <withoutIt>".
    OnDemandLibrary(const char* file, std::initializer_list<const char*> names, const char* logTag,
                    const char* withoutIt);
    OnDemandLibrary(const OnDemandLibrary&) = delete;
    OnDemandLibrary& operator=(const OnDemandLibrary&) = delete;

    // Opens the library on the first call (blocks for a moment); thread-safe.
    bool load();
    QString loadError();

    // The function at `index` of the names; only after load() answered true.
    template <typename Function>
    Function function(int index) const {
        return reinterpret_cast<Function>(m_functions[size_t(index)]);
    }

    // Tests name another file; the next load() opens it (a library opened
    // before stays open).
    void setPathForTesting(const QString& file);

private:
    const QString m_defaultFile;
    const std::vector<const char*> m_names;
    const QString m_logTag;
    const QString m_withoutIt;
    std::mutex m_lock;
    QString m_file;
    bool m_tried = false;
    bool m_loaded = false;
    std::vector<void*> m_functions;
    QString m_error;
};
