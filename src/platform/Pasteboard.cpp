#include "platform/Pasteboard.h"

#include <atomic>

namespace {
std::atomic<Pasteboard*> g_pasteboard{nullptr};
std::atomic<Pasteboard*> g_primary{nullptr};
}  // namespace

bool Pasteboard::isTextFormat(const QString& format) {
    return format.startsWith(QLatin1String("text/plain")) || format == "UTF8_STRING" ||
           format == "STRING" || format == "TEXT" || format == "COMPOUND_TEXT";
}

QList<Pasteboard::Item> Pasteboard::readItem(
    const QStringList& formats, const std::function<QByteArray(const QString&)>& read) {
    Item item;
    for (const QString& format : formats) {
        const QByteArray bytes = read(format);
        if (bytes.isEmpty() && format.contains('/')) continue;
        item.append({format, bytes});
    }
    if (item.isEmpty()) return {};
    return {item};
}

Pasteboard& Pasteboard::shared() {
    static MemoryPasteboard memoryOnly;
    Pasteboard* p = g_pasteboard.load();
    return p ? *p : memoryOnly;
}

void Pasteboard::setShared(Pasteboard* pasteboard) {
    g_pasteboard.store(pasteboard);
}

namespace {

class ForwardingPasteboard : public Pasteboard {
public:
    int changeCount() const override { return shared().changeCount(); }
    QList<Item> items() const override { return shared().items(); }
    QStringList types() const override { return shared().types(); }
    QString string() const override { return shared().string(); }
    int clearContents() override { return shared().clearContents(); }
    bool writeItems(const QList<Item>& items) override { return shared().writeItems(items); }
    bool setString(const QString& text, const Item& extraFormats) override {
        return shared().setString(text, extraFormats);
    }
    int textFetchCount() const override { return shared().textFetchCount(); }
};

}  // namespace

Pasteboard& Pasteboard::forwarding() {
    static ForwardingPasteboard forwarding;
    return forwarding;
}

Pasteboard* Pasteboard::sharedPrimary() {
    return g_primary.load();
}

void Pasteboard::setSharedPrimary(Pasteboard* pasteboard) {
    g_primary.store(pasteboard);
}
