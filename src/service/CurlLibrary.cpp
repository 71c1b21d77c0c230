#include "service/CurlLibrary.h"

#include <curl/curl.h>
#include <dlfcn.h>

#include <unistd.h>

#include <QFile>
#include <atomic>
#include <cstdarg>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/DebugLog.h"

// The header wraps some calls in type-checking macros; the definitions below
// need the plain names.
#undef curl_easy_setopt
#undef curl_easy_getinfo
#undef curl_multi_setopt

namespace {

// Debian's libcurl (the OpenSSL build), by its soname.
const char* const kDefaultFile = "libcurl.so.4";

#define ORMIL_CURL_FUNCTIONS(X) \
    X(curl_global_init)         \
    X(curl_easy_init)           \
    X(curl_easy_cleanup)        \
    X(curl_easy_setopt)         \
    X(curl_easy_getinfo)        \
    X(curl_easy_strerror)       \
    X(curl_free)                \
    X(curl_multi_init)          \
    X(curl_multi_cleanup)       \
    X(curl_multi_add_handle)    \
    X(curl_multi_remove_handle) \
    X(curl_multi_info_read)     \
    X(curl_multi_perform)       \
    X(curl_multi_poll)          \
    X(curl_multi_setopt)        \
    X(curl_multi_wakeup)        \
    X(curl_slist_append)        \
    X(curl_slist_free_all)      \
    X(curl_url)                 \
    X(curl_url_cleanup)         \
    X(curl_url_get)             \
    X(curl_url_set)

struct Functions {
#define ORMIL_CURL_POINTER(name) decltype(&::name) name = nullptr;
    ORMIL_CURL_FUNCTIONS(ORMIL_CURL_POINTER)
#undef ORMIL_CURL_POINTER
};

struct State {
    std::mutex lock;
    QString path = QString::fromLatin1(kDefaultFile);
    bool tried = false;
    Functions functions;
    QString error;
    // Set once the functions are complete; read without the lock on every call.
    std::atomic<const Functions*> ready{nullptr};
};

State& state() {
    static State s;
    return s;
}

// libcurl links GnuTLS for its LDAP and RTMP support, which the service
// requests never use (their TLS is OpenSSL's). Loaded, GnuTLS sets itself up
// at once (configuration files, random generator, PKCS #11 layer: about
// 0.8 MB resident for the life of the process) unless GNUTLS_NO_IMPLICIT_INIT
// is set then; those protocols set it up themselves when they are used.
// The variable is shown to the loading only: the environment is swapped for
// a copy that has it while dlopen runs and the original put back, so no
// child started later inherits it and a user's own setting is left alone.
// Another thread reading the environment meanwhile sees one array or the
// other, both whole; the copies are kept for that reason.
void* openWithoutGnuTlsSetUp(const QByteArray& file) {
    static const char kSwitch[] = "GNUTLS_NO_IMPLICIT_INIT";
    if (::getenv(kSwitch)) return ::dlopen(file.constData(), RTLD_NOW | RTLD_LOCAL);
    static char entry[] = "GNUTLS_NO_IMPLICIT_INIT=1";
    static std::vector<std::unique_ptr<std::vector<char*>>> copies;
    char** const original = environ;
    auto copy = std::make_unique<std::vector<char*>>();
    for (char** e = original; e && *e; ++e) copy->push_back(*e);
    copy->push_back(entry);
    copy->push_back(nullptr);
    environ = copy->data();
    // RTLD_LOCAL: libcurl's libraries stay out of the symbol lookup of
    // everything loaded later.
    void* handle = ::dlopen(file.constData(), RTLD_NOW | RTLD_LOCAL);
    if (environ == copy->data())
        environ = original;
    else  // another thread set a variable meanwhile, in an array made from the copy
        ::unsetenv(kSwitch);
    copies.push_back(std::move(copy));
    return handle;
}

// Loads the library into `out`; false with the reason in `error`.
bool loadInto(const QString& file, Functions& out, QString& error) {
    void* handle = openWithoutGnuTlsSetUp(QFile::encodeName(file));
    if (!handle) {
        error = QString::fromLocal8Bit(::dlerror());
        return false;
    }
    Functions f;
    bool complete = true;
#define ORMIL_CURL_RESOLVE(name)                                         \
    f.name = reinterpret_cast<decltype(f.name)>(::dlsym(handle, #name)); \
    complete = complete && f.name;
    ORMIL_CURL_FUNCTIONS(ORMIL_CURL_RESOLVE)
#undef ORMIL_CURL_RESOLVE
    if (!complete) {
        error = file + QStringLiteral(" is not a libcurl with the functions this program calls");
        ::dlclose(handle);
        return false;
    }
    if (const CURLcode code = f.curl_global_init(CURL_GLOBAL_DEFAULT); code != CURLE_OK) {
        error =
            QStringLiteral("its set-up failed: ") + QString::fromUtf8(f.curl_easy_strerror(code));
        // Kept loaded: libcurl's own libraries cannot all be unloaded again.
        return false;
    }
    // Never unloaded: the functions stay valid for the process's life.
    out = f;
    return true;
}

const Functions* functions() {
    State& s = state();
    if (const Functions* f = s.ready.load(std::memory_order_acquire)) return f;
    std::lock_guard guard(s.lock);
    if (!s.tried) {
        s.tried = true;
        QString reason;
        if (loadInto(s.path, s.functions, reason)) {
            s.ready.store(&s.functions, std::memory_order_release);
        } else {
            s.error = QStringLiteral("libcurl cannot be loaded (") + reason +
                      QStringLiteral("): no service requests can be made");
            debugLog(QStringLiteral("[HTTP] ") + s.error);
        }
    }
    return s.ready.load(std::memory_order_acquire);
}

}  // namespace

namespace CurlLibrary {

bool load() {
    return functions() != nullptr;
}

QString loadError() {
    State& s = state();
    std::lock_guard guard(s.lock);
    return s.error;
}

void setPathForTesting(const QString& file) {
    State& s = state();
    std::lock_guard guard(s.lock);
    s.path = file.isEmpty() ? QString::fromLatin1(kDefaultFile) : file;
    s.tried = false;
    s.ready.store(nullptr, std::memory_order_release);
    s.error.clear();
}

}  // namespace CurlLibrary

// ------------------------------------------------------- forwarding calls
//
// Without the library each call fails the way libcurl's own calls fail on a
// handle that could not be made (null handles, error codes), so callers need
// no second error path.

// The option's number says the type of its argument (libcurl reads it the
// same way); the easy and the multi handle number their options alike.
namespace {

template <typename Handle, typename Option, typename Result>
Result forwardOption(Result (*set)(Handle*, Option, ...), Handle* handle, Option option,
                     va_list args) {
    if (option < CURLOPTTYPE_OBJECTPOINT) return set(handle, option, va_arg(args, long));
    if (option < CURLOPTTYPE_FUNCTIONPOINT) return set(handle, option, va_arg(args, void*));
    if (option < CURLOPTTYPE_OFF_T) return set(handle, option, va_arg(args, void (*)()));
    if (option < CURLOPTTYPE_BLOB) return set(handle, option, va_arg(args, curl_off_t));
    return set(handle, option, va_arg(args, void*));
}

}  // namespace

extern "C" {

CURLcode curl_global_init(long flags) {
    const Functions* f = functions();
    return f ? f->curl_global_init(flags) : CURLE_FAILED_INIT;
}

CURL* curl_easy_init() {
    const Functions* f = functions();
    return f ? f->curl_easy_init() : nullptr;
}

void curl_easy_cleanup(CURL* curl) {
    if (const Functions* f = functions(); f && curl) f->curl_easy_cleanup(curl);
}

CURLcode curl_easy_setopt(CURL* curl, CURLoption option, ...) {
    const Functions* f = functions();
    if (!f || !curl) return CURLE_BAD_FUNCTION_ARGUMENT;
    va_list args;
    va_start(args, option);
    const CURLcode result = forwardOption(f->curl_easy_setopt, curl, option, args);
    va_end(args);
    return result;
}

// Every information's argument is a pointer to where the answer goes.
CURLcode curl_easy_getinfo(CURL* curl, CURLINFO info, ...) {
    const Functions* f = functions();
    if (!f || !curl) return CURLE_BAD_FUNCTION_ARGUMENT;
    va_list args;
    va_start(args, info);
    const CURLcode result = f->curl_easy_getinfo(curl, info, va_arg(args, void*));
    va_end(args);
    return result;
}

const char* curl_easy_strerror(CURLcode code) {
    const Functions* f = functions();
    return f ? f->curl_easy_strerror(code) : "libcurl cannot be loaded";
}

void curl_free(void* p) {
    if (const Functions* f = functions(); f && p) f->curl_free(p);
}

CURLM* curl_multi_init() {
    const Functions* f = functions();
    return f ? f->curl_multi_init() : nullptr;
}

CURLMcode curl_multi_cleanup(CURLM* multi) {
    const Functions* f = functions();
    return f && multi ? f->curl_multi_cleanup(multi) : CURLM_BAD_HANDLE;
}

CURLMcode curl_multi_add_handle(CURLM* multi, CURL* curl) {
    const Functions* f = functions();
    return f && multi ? f->curl_multi_add_handle(multi, curl) : CURLM_BAD_HANDLE;
}

CURLMcode curl_multi_remove_handle(CURLM* multi, CURL* curl) {
    const Functions* f = functions();
    return f && multi ? f->curl_multi_remove_handle(multi, curl) : CURLM_BAD_HANDLE;
}

CURLMsg* curl_multi_info_read(CURLM* multi, int* left) {
    const Functions* f = functions();
    if (!f || !multi) {
        if (left) *left = 0;
        return nullptr;
    }
    return f->curl_multi_info_read(multi, left);
}

CURLMcode curl_multi_perform(CURLM* multi, int* running) {
    const Functions* f = functions();
    return f && multi ? f->curl_multi_perform(multi, running) : CURLM_BAD_HANDLE;
}

CURLMcode curl_multi_poll(CURLM* multi, struct curl_waitfd extra[], unsigned int count,
                          int timeoutMs, int* ready) {
    const Functions* f = functions();
    return f && multi ? f->curl_multi_poll(multi, extra, count, timeoutMs, ready)
                      : CURLM_BAD_HANDLE;
}

CURLMcode curl_multi_setopt(CURLM* multi, CURLMoption option, ...) {
    const Functions* f = functions();
    if (!f || !multi) return CURLM_BAD_HANDLE;
    va_list args;
    va_start(args, option);
    const CURLMcode result = forwardOption(f->curl_multi_setopt, multi, option, args);
    va_end(args);
    return result;
}

CURLMcode curl_multi_wakeup(CURLM* multi) {
    const Functions* f = functions();
    return f && multi ? f->curl_multi_wakeup(multi) : CURLM_BAD_HANDLE;
}

struct curl_slist* curl_slist_append(struct curl_slist* list, const char* text) {
    const Functions* f = functions();
    return f ? f->curl_slist_append(list, text) : nullptr;
}

void curl_slist_free_all(struct curl_slist* list) {
    if (const Functions* f = functions(); f && list) f->curl_slist_free_all(list);
}

CURLU* curl_url() {
    const Functions* f = functions();
    return f ? f->curl_url() : nullptr;
}

void curl_url_cleanup(CURLU* url) {
    if (const Functions* f = functions(); f && url) f->curl_url_cleanup(url);
}

CURLUcode curl_url_get(CURLU* url, CURLUPart part, char** out, unsigned int flags) {
    const Functions* f = functions();
    if (out) *out = nullptr;
    return f && url ? f->curl_url_get(url, part, out, flags) : CURLUE_BAD_HANDLE;
}

CURLUcode curl_url_set(CURLU* url, CURLUPart part, const char* text, unsigned int flags) {
    const Functions* f = functions();
    return f && url ? f->curl_url_set(url, part, text, flags) : CURLUE_BAD_HANDLE;
}

}  // extern "C"
