#include "platform/x11/X11Pasteboard.h"

#include <qpa/qplatformnativeinterface.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QScreen>
#include <cstring>

// X11 headers last: their macros clash with Qt.
#include <X11/Xlib.h>
#undef Bool
#undef Status
#undef None

#include "platform/Threading.h"

namespace {

// Formats that describe the selection protocol rather than the contents.
bool isProtocolTarget(const QString& format) {
    static const QStringList targets{"TARGETS",        "MULTIPLE", "TIMESTAMP",
                                     "SAVE_TARGETS",   "DELETE",   "INSERT_SELECTION",
                                     "INSERT_PROPERTY"};
    return targets.contains(format);
}

// Contents we put: counts how often a reader asked for a text format, which
// tells the paste that the target has taken its text.
class CountingMimeData : public QMimeData {
public:
    int textFetches = 0;
    // Our own reads (snapshots, string()) are not the target's.
    bool counting = true;

protected:
    QVariant retrieveData(const QString& format, QMetaType type) const override {
        if (counting && Pasteboard::isTextFormat(format))
            ++const_cast<CountingMimeData*>(this)->textFetches;
        return QMimeData::retrieveData(format, type);
    }
};

// Suspends the fetch count of our contents for one read of our own.
class OwnRead {
public:
    explicit OwnRead(QMimeData* ours) : m_ours(static_cast<CountingMimeData*>(ours)) {
        if (m_ours) m_ours->counting = false;
    }
    ~OwnRead() {
        if (m_ours) m_ours->counting = true;
    }

private:
    QPointer<CountingMimeData> m_ours;
};

Display* qtDisplay() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

// Whether the owner of a foreign selection lists UTF8_STRING among its
// targets (Qt hands the list over as the 32-bit atoms of the wire). Our own
// contents list no targets.
bool offersUtf8String(const QMimeData& data) {
    static const unsigned long utf8String = [] {
        Display* dpy = qtDisplay();
        return dpy ? XInternAtom(dpy, "UTF8_STRING", True) : 0;
    }();
    if (!utf8String) return false;
    const QByteArray targets = data.data(QStringLiteral("TARGETS"));
    for (qsizetype at = 0; at + 4 <= targets.size(); at += 4) {
        quint32 atom = 0;
        std::memcpy(&atom, targets.constData() + at, 4);
        if (atom == utf8String) return true;
    }
    return false;
}

// Qt claims a selection with the time of the last X event it handled. When
// another client took the selection since, with a later time, and Qt has not
// handled that change's notice yet (a copy in another window just before the
// dictation is put: Ormil sees the user's keys on connections of its own),
// the server refuses the claim and a paste would put the other client's
// contents. Setting Qt's clock to the server's time now (one round trip)
// makes our claim the latest.
void takeServerTime() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!native || !screen) return;
    // Handed out under a generic type; its own takes the time (xcb_timestamp_t).
    using SetTime = void (*)(QScreen*, quint32);
    const auto setTime = reinterpret_cast<SetTime>(
        reinterpret_cast<void (*)()>(native->nativeResourceFunctionForScreen("setapptime")));
    const quint32 now = quint32(quintptr(native->nativeResourceForScreen("gettimestamp", screen)));
    if (setTime && now) setTime(screen, now);
}

}  // namespace

X11Pasteboard::X11Pasteboard(QClipboard* clipboard, QObject* parent, QClipboard::Mode mode)
    : QObject(parent),
      m_clipboard(clipboard ? clipboard : QGuiApplication::clipboard()),
      m_mode(mode) {
    connect(m_clipboard, &QClipboard::changed, this, [this](QClipboard::Mode changed) {
        if (changed == m_mode) onChanged();
    });
}

bool X11Pasteboard::ownsSelection() const {
    return m_mode == QClipboard::Selection ? m_clipboard->ownsSelection()
                                           : m_clipboard->ownsClipboard();
}

void X11Pasteboard::onChanged() {
    // Our own writes count once, when they are made.
    if (m_writing) return;
    if (m_ours && ownsSelection() && m_clipboard->mimeData(m_mode) == m_ours.data()) return;
    ++m_changeCount;
}

QList<Pasteboard::Item> X11Pasteboard::items() const {
    const OwnRead own(m_ours.data());
    const QMimeData* data = m_clipboard->mimeData(m_mode);
    if (!data) return {};
    QStringList formats = data->formats();
    formats.removeIf([](const QString& f) { return f.isEmpty() || isProtocolTarget(f); });
    return readItem(formats, [data](const QString& format) { return data->data(format); });
}

QStringList X11Pasteboard::types() const {
    const QMimeData* data = m_clipboard->mimeData(m_mode);
    return data ? data->formats() : QStringList{};
}

QString X11Pasteboard::string() const {
    const OwnRead own(m_ours.data());
    // GTK serves "text/plain" (with or without a charset) with CR LF line
    // ends, as that MIME type asks, and UTF8_STRING with the text's own;
    // Qt's text() takes the charset one. The text is what a reader asking
    // for UTF8_STRING gets: Qt reads that target as "text/plain" whenever
    // the owner offers it, and serves our "text/plain" as it (contents put
    // back after a paste included).
    if (const QMimeData* data = m_clipboard->mimeData(m_mode)) {
        const bool utf8String =
            ownsSelection() ? data->hasFormat(QStringLiteral("text/plain")) : offersUtf8String(*data);
        if (utf8String) {
            const QByteArray bytes = data->data(QStringLiteral("text/plain"));
            if (!bytes.isEmpty()) return QString::fromUtf8(bytes);
        }
        const QByteArray bytes = data->data(QStringLiteral("text/plain;charset=utf-8"));
        if (!bytes.isEmpty()) return QString::fromUtf8(bytes);
    }
    return m_clipboard->text(m_mode);
}

void X11Pasteboard::put(QMimeData* data) {
    m_writing = true;
    m_ours = data;
    takeServerTime();
    m_clipboard->setMimeData(data, m_mode);
    m_writing = false;
    ++m_changeCount;
}

int X11Pasteboard::clearContents() {
    ORMIL_ASSERT_MAIN_THREAD();
    m_writing = true;
    m_ours = nullptr;
    takeServerTime();
    m_clipboard->clear(m_mode);
    m_writing = false;
    return ++m_changeCount;
}

bool X11Pasteboard::writeItems(const QList<Item>& items) {
    ORMIL_ASSERT_MAIN_THREAD();
    if (items.isEmpty()) return false;
    // The selection holds one item: a snapshot taken here never has more.
    auto* data = new CountingMimeData;
    for (const auto& format : items.first()) data->setData(format.first, format.second);
    put(data);
    return true;
}

bool X11Pasteboard::setString(const QString& text, const Item& extraFormats) {
    ORMIL_ASSERT_MAIN_THREAD();
    auto* data = new CountingMimeData;
    data->setText(text);
    data->setData("text/plain;charset=utf-8", text.toUtf8());
    for (const auto& format : extraFormats) data->setData(format.first, format.second);
    put(data);
    return true;
}

int X11Pasteboard::textFetchCount() const {
    auto* ours = static_cast<const CountingMimeData*>(m_ours.data());
    if (!ours || !ownsSelection()) return 0;
    return ours->textFetches;
}
