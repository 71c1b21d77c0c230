#include "service/HttpClient.h"

#include <arpa/inet.h>
#include <curl/curl.h>

#include <QScopeGuard>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/Clock.h"
#include "platform/DebugLog.h"
#include "service/CurlLibrary.h"

// ------------------------------------------------------------------ helpers

namespace {

void initCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

HttpErrorKind kindOf(CURLcode code) {
    switch (code) {
        case CURLE_COULDNT_CONNECT:
            return HttpErrorKind::cannotConnect;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
            return HttpErrorKind::dnsFailed;
        case CURLE_OPERATION_TIMEDOUT:
            return HttpErrorKind::timedOut;
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        case CURLE_SSL_INVALIDCERTSTATUS:
        case CURLE_SSL_CRL_BADFILE:
        case CURLE_SSL_ENGINE_NOTFOUND:
        case CURLE_SSL_ENGINE_SETFAILED:
        case CURLE_SSL_ENGINE_INITFAILED:
        case CURLE_SSL_SHUTDOWN_FAILED:
        case CURLE_USE_SSL_FAILED:
            return HttpErrorKind::tlsFailed;
        case CURLE_GOT_NOTHING:
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
        case CURLE_PARTIAL_FILE:
        case CURLE_HTTP2:
        case CURLE_HTTP2_STREAM:
        case CURLE_HTTP3:
            return HttpErrorKind::connectionLost;
        case CURLE_URL_MALFORMAT:
        case CURLE_UNSUPPORTED_PROTOCOL:
            return HttpErrorKind::badURL;
        case CURLE_ABORTED_BY_CALLBACK:
            return HttpErrorKind::cancelled;
        default:
            return HttpErrorKind::other;
    }
}

bool isLoopbackHost(QString host) {
    if (host.startsWith('[') && host.endsWith(']')) host = host.mid(1, host.size() - 2);
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) return true;
    // curl has already written any IPv4 address in its four-part form.
    const QByteArray text = host.toLatin1();
    in_addr v4{};
    if (::inet_pton(AF_INET, text.constData(), &v4) == 1) return (ntohl(v4.s_addr) >> 24) == 127;
    in6_addr v6{};
    if (::inet_pton(AF_INET6, text.constData(), &v6) != 1) return false;
    return IN6_IS_ADDR_LOOPBACK(&v6) || (IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127);
}

}  // namespace

namespace {

struct Origin {
    QString key;  // scheme://host:port
    bool loopback = false;
};

Origin parseOrigin(const QString& url) {
    if (!CurlLibrary::load()) throw HttpError(HttpErrorKind::other, CurlLibrary::loadError());
    CURLU* u = curl_url();
    auto cleanup = qScopeGuard([&] { curl_url_cleanup(u); });
    const QByteArray utf8 = url.toUtf8();
    if (url.isEmpty() || curl_url_set(u, CURLUPART_URL, utf8.constData(), 0) != CURLUE_OK)
        throw HttpError(HttpErrorKind::badURL, QStringLiteral("cannot parse \"%1\"").arg(url));
    auto part = [&](CURLUPart which, unsigned flags) {
        char* text = nullptr;
        QString out;
        if (curl_url_get(u, which, &text, flags) == CURLUE_OK && text)
            out = QString::fromUtf8(text);
        curl_free(text);
        return out;
    };
    const QString scheme = part(CURLUPART_SCHEME, 0).toLower();
    const QString host = part(CURLUPART_HOST, 0);
    const QString port = part(CURLUPART_PORT, CURLU_DEFAULT_PORT);
    if (host.isEmpty() || (scheme != QLatin1String("https") && scheme != QLatin1String("http")))
        throw HttpError(HttpErrorKind::badURL, QStringLiteral("not an http(s) URL: %1").arg(url));
    if (scheme == QLatin1String("http") && !isLoopbackHost(host))
        throw HttpError(HttpErrorKind::badURL,
                        QStringLiteral("plain http is only allowed to this machine: %1").arg(url));
    return {scheme + QLatin1String("://") + host.toLower() + ':' + port, isLoopbackHost(host)};
}

}  // namespace

QString HttpClient::checkURL(const QString& url) {
    return parseOrigin(url).key;
}

// ------------------------------------------------------------------ Session

// One worker thread drives every transfer of the client through one curl
// multi handle, so all threads share its connection cache. Callers wait for
// a free per-host slot before they hand their transfer over, then block
// until the worker finishes it.
class HttpClient::Session {
public:
    Session(Clock& clock, int maxPerHost) : m_clock(clock), m_maxPerHost(maxPerHost) {
        initCurlOnce();
        m_multi = curl_multi_init();
        curl_multi_setopt(m_multi, CURLMOPT_MAX_HOST_CONNECTIONS, long(maxPerHost));
        curl_multi_setopt(m_multi, CURLMOPT_MAXCONNECTS, 64L);
        m_thread = std::thread([this] { run(); });
    }

    ~Session() {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        curl_multi_wakeup(m_multi);
        m_thread.join();
        curl_multi_cleanup(m_multi);
    }

    HttpResponse send(const HttpRequest& request);
    int maxPerHost() const { return m_maxPerHost; }

private:
    struct Transfer {
        CURL* easy = nullptr;
        Clock* clock = nullptr;
        const HttpRequest* request = nullptr;
        HttpResponse response;
        double lastActivity = 0;
        std::optional<double> deadline;
        curl_off_t seenDown = -1;
        curl_off_t seenUp = -1;
        bool done = false;
        bool bodyReadFailed = false;
        qint64 received = 0;
        bool tooLarge = false;
        bool pastDeadline = false;
        std::unique_ptr<QFile> bodyFile;
        std::optional<HttpError> error;
        char errorText[CURL_ERROR_SIZE] = {};
    };

    void acquireSlot(const QString& origin, const HttpRequest& request,
                     const std::optional<double>& deadline);
    void releaseSlot(const QString& origin);
    void run();
    void finish(Transfer* t, std::optional<HttpError> error);

    static size_t onBody(char* data, size_t size, size_t count, void* user);
    static size_t onRead(char* data, size_t size, size_t count, void* user);
    static int onSeek(void* user, curl_off_t offset, int origin);
    static size_t onHeader(char* data, size_t size, size_t count, void* user);
    static int onProgress(void* user, curl_off_t, curl_off_t down, curl_off_t, curl_off_t up);

    Clock& m_clock;
    const int m_maxPerHost;
    CURLM* m_multi = nullptr;
    std::thread m_thread;

    std::mutex m_mutex;
    std::condition_variable m_doneCv;
    std::condition_variable m_slotCv;
    std::deque<Transfer*> m_incoming;
    std::map<QString, int> m_slotsInUse;
    bool m_stop = false;
};

static constexpr auto kPollStep = std::chrono::milliseconds(25);

void HttpClient::Session::acquireSlot(const QString& origin, const HttpRequest& request,
                                      const std::optional<double>& deadline) {
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (request.cancelToken && request.cancelToken->isCancelled())
            throw HttpError(HttpErrorKind::cancelled);
        if (deadline && m_clock.now() >= *deadline)
            throw HttpError(HttpErrorKind::timedOut, QStringLiteral("no free connection in time"));
        if (m_stop) throw HttpError(HttpErrorKind::cancelled, QStringLiteral("client shut down"));
        int& inUse = m_slotsInUse[origin];
        if (inUse < m_maxPerHost) {
            ++inUse;
            return;
        }
        m_slotCv.wait_for(lock, kPollStep);
    }
}

void HttpClient::Session::releaseSlot(const QString& origin) {
    {
        std::lock_guard lock(m_mutex);
        if (--m_slotsInUse[origin] <= 0) m_slotsInUse.erase(origin);
    }
    m_slotCv.notify_all();
}

size_t HttpClient::Session::onBody(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    t->lastActivity = t->clock->now();
    const qint64 bytes = qint64(size * count);
    // A short write makes curl end the transfer with a write error.
    if (const std::optional<qint64>& cap = t->request->maxBodyBytes) {
        if (t->received == 0) {
            curl_off_t announced = -1;
            curl_easy_getinfo(t->easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
            if (announced > *cap) {
                t->tooLarge = true;
                return 0;
            }
            // One allocation of the announced size instead of a growing copy.
            if (announced > 0 && !t->bodyFile) t->response.body.reserve(qsizetype(announced));
        }
        if (bytes > *cap - t->received) {
            t->tooLarge = true;
            return 0;
        }
    }
    t->received += bytes;
    if (t->bodyFile) return size_t(std::max<qint64>(0, t->bodyFile->write(data, bytes)));
    t->response.body.append(data, qsizetype(bytes));
    return size * count;
}

size_t HttpClient::Session::onRead(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    t->lastActivity = t->clock->now();
    const qint64 got = t->request->streamBody->read(data, qint64(size * count));
    if (got < 0) {
        t->bodyReadFailed = true;
        return CURL_READFUNC_ABORT;
    }
    return size_t(got);
}

int HttpClient::Session::onSeek(void* user, curl_off_t offset, int origin) {
    auto* t = static_cast<Transfer*>(user);
    if (offset != 0 || origin != SEEK_SET) return CURL_SEEKFUNC_CANTSEEK;
    return t->request->streamBody->rewind() ? CURL_SEEKFUNC_OK : CURL_SEEKFUNC_FAIL;
}

size_t HttpClient::Session::onHeader(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    t->lastActivity = t->clock->now();
    QByteArray line(data, qsizetype(size * count));
    if (line.startsWith("HTTP/")) {
        // A new status line: an interim (100) or redirect answer came first.
        t->response.headers = HttpHeaders();
        return size * count;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon > 0)
        t->response.headers.add(line.left(colon).trimmed(), line.mid(colon + 1).trimmed());
    return size * count;
}

int HttpClient::Session::onProgress(void* user, curl_off_t, curl_off_t down, curl_off_t,
                                    curl_off_t up) {
    auto* t = static_cast<Transfer*>(user);
    if (down != t->seenDown || up != t->seenUp) {
        t->seenDown = down;
        t->seenUp = up;
        t->lastActivity = t->clock->now();
    }
    return 0;
}

// A request stopped by its own limits says so once, with where it went
// (never the query, which may carry more than an address).
static void logLimit(const HttpRequest& request, const HttpError& error) {
    const QString where =
        QUrl(request.url)
            .adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo)
            .toString();
    debugLog(QStringLiteral("[HTTP] ") + QString::fromLatin1(request.method.toUpper()) + ' ' +
             where + QStringLiteral(" stopped: ") + error.detail());
}

// A method or header that would break the request's framing (a line
// break in a value smuggles in a header or a second request) is refused.
static void checkFraming(const HttpRequest& request) {
    auto isToken = [](const QByteArray& text) {
        if (text.isEmpty()) return false;
        for (char c : text)
            if (c <= ' ' || c >= 127 || QByteArrayView("()<>@,;:\\\"/[]?={}").contains(c))
                return false;
        return true;
    };
    if (!isToken(request.method))
        throw HttpError(
            HttpErrorKind::other,
            QStringLiteral("bad method \"%1\"").arg(QString::fromLatin1(request.method)));
    for (const auto& [name, value] : request.headers.fields()) {
        if (!isToken(name) || value.contains('\r') || value.contains('\n') || value.contains('\0'))
            throw HttpError(HttpErrorKind::other,
                            QStringLiteral("bad header \"%1\"").arg(QString::fromLatin1(name)));
    }
}

HttpResponse HttpClient::Session::send(const HttpRequest& request) {
    checkFraming(request);
    const Origin parsed = parseOrigin(request.url);
    const QString& origin = parsed.key;
    std::optional<double> deadline;
    if (request.totalTimeout) deadline = m_clock.now() + *request.totalTimeout;

    acquireSlot(origin, request, deadline);
    auto slot = qScopeGuard([&] { releaseSlot(origin); });

    Transfer t;
    t.clock = &m_clock;
    t.request = &request;
    t.deadline = deadline;
    t.easy = curl_easy_init();
    if (!t.easy) throw HttpError(HttpErrorKind::other, QStringLiteral("out of memory"));
    curl_slist* headerList = nullptr;
    auto cleanup = qScopeGuard([&] {
        curl_easy_cleanup(t.easy);
        curl_slist_free_all(headerList);
    });

    CURL* e = t.easy;
    const QByteArray url = request.url.toUtf8();
    curl_easy_setopt(e, CURLOPT_URL, url.constData());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    // A redirect may never lead to plain http: only loopback is allowed
    // unencrypted, and a redirect target is not ours to vouch for.
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, 10L);
    // This machine is reached directly, whatever proxy the environment names.
    if (parsed.loopback) curl_easy_setopt(e, CURLOPT_PROXY, "");
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_TCP_KEEPALIVE, 1L);
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, t.errorText);
    curl_easy_setopt(e, CURLOPT_PRIVATE, &t);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &Session::onBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &Session::onHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(e, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(e, CURLOPT_XFERINFOFUNCTION, &Session::onProgress);
    curl_easy_setopt(e, CURLOPT_XFERINFODATA, &t);

    if (!request.bodyFile.isEmpty()) {
        t.bodyFile = std::make_unique<QFile>(request.bodyFile);
        if (!t.bodyFile->open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw HttpError(HttpErrorKind::other,
                            QStringLiteral("cannot write %1").arg(request.bodyFile));
    }

    const QByteArray method = request.method.toUpper();
    const bool sendsBody =
        !(method == "GET" || method == "HEAD") || !request.body.isEmpty() || request.streamBody;
    if (method == "HEAD") {
        curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
    } else if (!sendsBody) {
        curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
    } else if (request.streamBody) {
        request.streamBody->rewind();
        curl_easy_setopt(e, CURLOPT_POST, 1L);
        curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(request.streamBody->size()));
        curl_easy_setopt(e, CURLOPT_READFUNCTION, &Session::onRead);
        curl_easy_setopt(e, CURLOPT_READDATA, &t);
        curl_easy_setopt(e, CURLOPT_SEEKFUNCTION, &Session::onSeek);
        curl_easy_setopt(e, CURLOPT_SEEKDATA, &t);
        if (method != "POST") curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, method.constData());
    } else {
        curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(request.body.size()));
        curl_easy_setopt(e, CURLOPT_POSTFIELDS, request.body.constData());
        if (method != "POST") curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, method.constData());
    }

    for (const auto& [name, value] : request.headers.fields()) {
        // "Name;" is how curl spells a header with an empty value.
        const QByteArray line = value.isEmpty() ? name + ';' : name + ": " + value;
        headerList = curl_slist_append(headerList, line.constData());
    }
    // No waiting for "100 Continue", and no form content type the caller
    // did not choose: the body goes out as given.
    if (!request.headers.contains("Expect")) headerList = curl_slist_append(headerList, "Expect:");
    if (sendsBody && !request.headers.contains("Content-Type"))
        headerList = curl_slist_append(headerList, "Content-Type:");
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, headerList);

    t.lastActivity = m_clock.now();
    std::unique_lock lock(m_mutex);
    if (m_stop) throw HttpError(HttpErrorKind::cancelled, QStringLiteral("client shut down"));
    m_incoming.push_back(&t);
    curl_multi_wakeup(m_multi);
    m_doneCv.wait(lock, [&] { return t.done; });
    lock.unlock();

    if (t.bodyFile && !t.bodyFile->flush() && !t.error)
        t.error = HttpError(HttpErrorKind::other,
                            QStringLiteral("cannot write %1").arg(request.bodyFile));
    if (t.error) {
        if (t.tooLarge || t.pastDeadline) logLimit(request, *t.error);
        throw *t.error;
    }
    long status = 0;
    curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &status);
    t.response.status = int(status);
    return std::move(t.response);
}

void HttpClient::Session::finish(Transfer* t, std::optional<HttpError> error) {
    curl_multi_remove_handle(m_multi, t->easy);
    std::lock_guard lock(m_mutex);
    t->error = std::move(error);
    t->done = true;
    m_doneCv.notify_all();
}

void HttpClient::Session::run() {
    std::vector<Transfer*> active;
    for (;;) {
        {
            std::lock_guard lock(m_mutex);
            while (!m_incoming.empty()) {
                Transfer* t = m_incoming.front();
                m_incoming.pop_front();
                curl_multi_add_handle(m_multi, t->easy);
                active.push_back(t);
            }
            if (m_stop) break;
        }

        int running = 0;
        curl_multi_perform(m_multi, &running);
        int left = 0;
        while (CURLMsg* msg = curl_multi_info_read(m_multi, &left)) {
            if (msg->msg != CURLMSG_DONE) continue;
            Transfer* t = nullptr;
            curl_easy_getinfo(msg->easy_handle, CURLINFO_PRIVATE, &t);
            const CURLcode code = msg->data.result;
            std::optional<HttpError> error;
            if (code != CURLE_OK) {
                QString detail = QString::fromUtf8(t->errorText);
                if (detail.isEmpty()) detail = QString::fromUtf8(curl_easy_strerror(code));
                if (t->bodyReadFailed)
                    error = HttpError(HttpErrorKind::other,
                                      QStringLiteral("the request body could not be read"));
                else if (t->tooLarge)
                    error = HttpError::answerLargerThan(*t->request->maxBodyBytes);
                else
                    error = HttpError(kindOf(code), detail);
            }
            std::erase(active, t);
            finish(t, std::move(error));
        }

        const double now = m_clock.now();
        for (Transfer* t : std::vector<Transfer*>(active)) {
            std::optional<HttpError> error;
            if (t->request->cancelToken && t->request->cancelToken->isCancelled())
                error = HttpError(HttpErrorKind::cancelled);
            else if (t->request->timeout > 0 && now - t->lastActivity >= t->request->timeout)
                error = HttpError(HttpErrorKind::timedOut,
                                  QStringLiteral("no data for %1 s").arg(t->request->timeout));
            else if (t->deadline && now >= *t->deadline) {
                t->pastDeadline = true;
                error = HttpError(HttpErrorKind::timedOut,
                                  QStringLiteral("not complete within %1 s")
                                      .arg(t->request->totalTimeout.value_or(0)));
            }
            if (error) {
                std::erase(active, t);
                finish(t, std::move(error));
            }
        }

        // While transfers run, wake often enough to see cancellations and
        // timeouts (the clock may be a test's, moved from outside).
        const int waitMs = active.empty() ? 10000 : int(kPollStep.count());
        curl_multi_poll(m_multi, nullptr, 0, waitMs, nullptr);
    }
    for (Transfer* t : active)
        finish(t, HttpError(HttpErrorKind::cancelled, QStringLiteral("client shut down")));
    std::lock_guard lock(m_mutex);
    for (Transfer* t : m_incoming) {
        t->error = HttpError(HttpErrorKind::cancelled, QStringLiteral("client shut down"));
        t->done = true;
    }
    m_incoming.clear();
    m_doneCv.notify_all();
}

// --------------------------------------------------------------- HttpClient

HttpClient& HttpClient::shared() {
    static HttpClient client(Clock::system());
    return client;
}

HttpClient::HttpClient(Clock& clock, int maxConnectionsPerHost)
    : m_clock(clock), m_maxConnectionsPerHost(maxConnectionsPerHost) {}

HttpClient::~HttpClient() = default;

HttpClient::Session* HttpClient::session() {
    if (!CurlLibrary::load()) throw HttpError(HttpErrorKind::other, CurlLibrary::loadError());
    std::call_once(m_sessionMade, [this] {
        m_session = std::make_unique<Session>(m_clock, m_maxConnectionsPerHost);
    });
    return m_session.get();
}

HttpResponse HttpClient::send(const HttpRequest& request) {
    return session()->send(request);
}

int HttpClient::maxConnectionsPerHost() const {
    return m_maxConnectionsPerHost;
}
