#include "platform/wayland/DataControlPasteboard.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <unistd.h>
#include <wayland-client.h>

#include <QElapsedTimer>
#include <QHash>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <ctime>

#include "platform/DebugLog.h"
#include "platform/Threading.h"
#include "wlr-data-control-client-protocol.h"

namespace {

// Our text goes out in the formats Wayland and X11 readers ask for.
const QStringList kTextFormats{"text/plain;charset=utf-8", "text/plain", "UTF8_STRING", "STRING",
                               "TEXT"};

// Writes all of `bytes` to a reader's pipe. A reader that went away must not
// end this process with SIGPIPE: the signal is held for the write and
// dropped after it.
void writeAll(int fd, const QByteArray& bytes) {
    sigset_t pipeSignal, old;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &old);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    const timespec none{0, 0};
    while (sigtimedwait(&pipeSignal, nullptr, &none) > 0) {
    }
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

// Reads a pipe to its end, waiting at most `timeoutMs` in all.
QByteArray readAll(int fd, int timeoutMs) {
    QByteArray bytes;
    QElapsedTimer clock;
    clock.start();
    char buffer[16384];
    for (;;) {
        const int left = timeoutMs - int(clock.elapsed());
        if (left <= 0) break;
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, left);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) break;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        bytes.append(buffer, n);
    }
    return bytes;
}

}  // namespace

struct DataControlPasteboard::Private {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_seat* seat = nullptr;
    zwlr_data_control_manager_v1* manager = nullptr;
    zwlr_data_control_device_v1* device = nullptr;
    QSocketNotifier* notifier = nullptr;

    // Offers announced by the compositor and their formats; `selection` is
    // the clipboard's (null: empty).
    QHash<zwlr_data_control_offer_v1*, QStringList> offers;
    zwlr_data_control_offer_v1* selection = nullptr;

    // Our contents while they are the clipboard's.
    struct Source {
        zwlr_data_control_source_v1* source = nullptr;
        Item item;
        int textFetches = 0;
    };
    std::unique_ptr<Source> ours;
    // Set by our own clearing, whose announcement is not someone's change.
    bool clearedByUs = false;
    int changeCount = 0;

    ~Private() {
        if (notifier) notifier->setEnabled(false);
        if (ours) zwlr_data_control_source_v1_destroy(ours->source);
        for (auto it = offers.begin(); it != offers.end(); ++it)
            zwlr_data_control_offer_v1_destroy(it.key());
        if (device) zwlr_data_control_device_v1_destroy(device);
        if (manager) zwlr_data_control_manager_v1_destroy(manager);
        if (seat) wl_seat_destroy(seat);
        if (registry) wl_registry_destroy(registry);
        if (display) wl_display_disconnect(display);
    }

    void flush() { wl_display_flush(display); }

    void dispatch() {
        while (wl_display_prepare_read(display) != 0) wl_display_dispatch_pending(display);
        flush();
        if (wl_display_read_events(display) != 0 || wl_display_dispatch_pending(display) < 0) {
            debugLog(QStringLiteral("[Clipboard] the Wayland connection broke (error %1)")
                         .arg(wl_display_get_error(display)));
            notifier->setEnabled(false);
        }
    }

    // ---- the protocol's events

    static void global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                       uint32_t version) {
        auto* d = static_cast<Private*>(data);
        const QByteArray iface(interface);
        if (iface == zwlr_data_control_manager_v1_interface.name && !d->manager)
            d->manager = static_cast<zwlr_data_control_manager_v1*>(
                wl_registry_bind(registry, name, &zwlr_data_control_manager_v1_interface, 1));
        else if (iface == wl_seat_interface.name && !d->seat)
            d->seat = static_cast<wl_seat*>(
                wl_registry_bind(registry, name, &wl_seat_interface, qMin(version, 1u)));
    }
    static void globalRemove(void*, wl_registry*, uint32_t) {}

    static void offerFormat(void* data, zwlr_data_control_offer_v1* offer, const char* format) {
        static_cast<Private*>(data)->offers[offer] << QString::fromUtf8(format);
    }

    static void dataOffer(void* data, zwlr_data_control_device_v1*,
                          zwlr_data_control_offer_v1* offer) {
        static const zwlr_data_control_offer_v1_listener listener{offerFormat};
        auto* d = static_cast<Private*>(data);
        d->offers.insert(offer, {});
        zwlr_data_control_offer_v1_add_listener(offer, &listener, d);
    }

    void dropOffer(zwlr_data_control_offer_v1* offer) {
        if (!offer) return;
        offers.remove(offer);
        zwlr_data_control_offer_v1_destroy(offer);
    }

    static void selectionChanged(void* data, zwlr_data_control_device_v1*,
                                 zwlr_data_control_offer_v1* offer) {
        auto* d = static_cast<Private*>(data);
        if (d->selection != offer) d->dropOffer(d->selection);
        d->selection = offer;
        // The compositor announces our own contents too; while they are
        // still ours (a newer owner would have cancelled them first), the
        // change was counted when we made it.
        const bool ourOwn = offer ? d->ours != nullptr : d->clearedByUs;
        d->clearedByUs = false;
        if (!ourOwn) ++d->changeCount;
    }

    static void finished(void* data, zwlr_data_control_device_v1* device) {
        auto* d = static_cast<Private*>(data);
        debugLog(QStringLiteral("[Clipboard] the compositor ended the data-control device"));
        zwlr_data_control_device_v1_destroy(device);
        d->device = nullptr;
    }

    static void primarySelection(void* data, zwlr_data_control_device_v1*,
                                 zwlr_data_control_offer_v1* offer) {
        static_cast<Private*>(data)->dropOffer(offer);
    }

    static void send(void* data, zwlr_data_control_source_v1* source, const char* mime,
                     int32_t fd) {
        auto* d = static_cast<Private*>(data);
        const QString format = QString::fromUtf8(mime);
        if (d->ours && d->ours->source == source) {
            for (const auto& [f, bytes] : std::as_const(d->ours->item))
                if (f == format) {
                    if (Pasteboard::isTextFormat(format)) ++d->ours->textFetches;
                    writeAll(fd, bytes);
                    break;
                }
        }
        ::close(fd);
    }

    static void cancelled(void* data, zwlr_data_control_source_v1* source) {
        auto* d = static_cast<Private*>(data);
        if (d->ours && d->ours->source == source) d->ours.reset();
        zwlr_data_control_source_v1_destroy(source);
    }

    // ---- reading and writing

    QByteArray read(const QString& format) const {
        int fds[2];
        if (!selection || ::pipe2(fds, O_CLOEXEC) != 0) return {};
        zwlr_data_control_offer_v1_receive(selection, format.toUtf8().constData(), fds[1]);
        ::close(fds[1]);
        wl_display_flush(display);
        QByteArray bytes = readAll(fds[0], kReadTimeoutMs);
        ::close(fds[0]);
        return bytes;
    }

    void put(std::unique_ptr<Source> next) {
        static const zwlr_data_control_source_v1_listener listener{send, cancelled};
        next->source = zwlr_data_control_manager_v1_create_data_source(manager);
        zwlr_data_control_source_v1_add_listener(next->source, &listener, this);
        for (const auto& format : std::as_const(next->item))
            zwlr_data_control_source_v1_offer(next->source, format.first.toUtf8().constData());
        zwlr_data_control_device_v1_set_selection(device, next->source);
        if (ours) zwlr_data_control_source_v1_destroy(ours->source);
        ours = std::move(next);
        ++changeCount;
        flush();
    }
};

std::unique_ptr<DataControlPasteboard> DataControlPasteboard::create(QObject* parent) {
    auto d = std::make_unique<Private>();
    d->display = wl_display_connect(nullptr);
    if (!d->display) return nullptr;
    static const wl_registry_listener registryListener{Private::global, Private::globalRemove};
    d->registry = wl_display_get_registry(d->display);
    wl_registry_add_listener(d->registry, &registryListener, d.get());
    wl_display_roundtrip(d->display);
    if (!d->manager || !d->seat) {
        debugLog(QStringLiteral("[Clipboard] the Wayland compositor offers no data-control"));
        return nullptr;
    }
    static const zwlr_data_control_device_v1_listener deviceListener{
        Private::dataOffer, Private::selectionChanged, Private::finished,
        Private::primarySelection};
    d->device = zwlr_data_control_manager_v1_get_data_device(d->manager, d->seat);
    zwlr_data_control_device_v1_add_listener(d->device, &deviceListener, d.get());
    // The current clipboard arrives with the device.
    wl_display_roundtrip(d->display);
    d->changeCount = 0;
    return std::unique_ptr<DataControlPasteboard>(new DataControlPasteboard(std::move(d), parent));
}

DataControlPasteboard::DataControlPasteboard(std::unique_ptr<Private> priv, QObject* parent)
    : QObject(parent), d(std::move(priv)) {
    d->notifier = new QSocketNotifier(wl_display_get_fd(d->display), QSocketNotifier::Read, this);
    connect(d->notifier, &QSocketNotifier::activated, this, [this] { d->dispatch(); });
}

DataControlPasteboard::~DataControlPasteboard() = default;

int DataControlPasteboard::changeCount() const {
    return d->changeCount;
}

QList<Pasteboard::Item> DataControlPasteboard::items() const {
    ORMIL_ASSERT_MAIN_THREAD();
    if (d->ours) return {d->ours->item};
    if (!d->selection) return {};
    return readItem(d->offers.value(d->selection),
                    [this](const QString& format) { return d->read(format); });
}

QStringList DataControlPasteboard::types() const {
    if (d->ours) {
        QStringList t;
        for (const auto& f : std::as_const(d->ours->item)) t << f.first;
        return t;
    }
    return d->selection ? d->offers.value(d->selection) : QStringList{};
}

QString DataControlPasteboard::string() const {
    ORMIL_ASSERT_MAIN_THREAD();
    const QStringList available = types();
    for (const QString& format : kTextFormats) {
        if (!available.contains(format)) continue;
        if (d->ours) {
            for (const auto& [f, bytes] : std::as_const(d->ours->item))
                if (f == format) return QString::fromUtf8(bytes);
        }
        return QString::fromUtf8(d->read(format));
    }
    return {};
}

int DataControlPasteboard::clearContents() {
    ORMIL_ASSERT_MAIN_THREAD();
    if (d->device) {
        zwlr_data_control_device_v1_set_selection(d->device, nullptr);
        d->clearedByUs = true;
    }
    if (d->ours) zwlr_data_control_source_v1_destroy(d->ours->source);
    d->ours.reset();
    d->flush();
    return ++d->changeCount;
}

bool DataControlPasteboard::writeItems(const QList<Item>& items) {
    ORMIL_ASSERT_MAIN_THREAD();
    if (items.isEmpty() || !d->device) return false;
    auto next = std::make_unique<Private::Source>();
    // The clipboard holds one item: a snapshot taken here never has more.
    next->item = items.first();
    d->put(std::move(next));
    return true;
}

bool DataControlPasteboard::setString(const QString& text, const Item& extraFormats) {
    ORMIL_ASSERT_MAIN_THREAD();
    if (!d->device) return false;
    auto next = std::make_unique<Private::Source>();
    const QByteArray utf8 = text.toUtf8();
    for (const QString& format : kTextFormats) next->item.append({format, utf8});
    next->item += extraFormats;
    d->put(std::move(next));
    return true;
}

int DataControlPasteboard::textFetchCount() const {
    return d->ours ? d->ours->textFetches : 0;
}
