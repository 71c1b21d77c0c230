#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>

// The system clipboard as the design's general pasteboard: one item of
// several formats (MIME types), a change counter, and marker formats.
// Main thread only.
class Pasteboard {
public:
    // One item: its formats and their exact bytes, in order.
    using Item = QList<QPair<QString, QByteArray>>;

    virtual ~Pasteboard() = default;
    // Incremented on every change of the contents, ours included.
    virtual int changeCount() const = 0;
    // The current contents (X11 holds at most one item).
    virtual QList<Item> items() const = 0;
    virtual QStringList types() const = 0;
    virtual QString string() const = 0;
    // Replaces the contents; returns the new change count.
    virtual int clearContents() = 0;
    virtual bool writeItems(const QList<Item>& items) = 0;
    // Puts text (as text/plain;charset=utf-8 and UTF8_STRING) plus extra
    // formats (markers) in one item.
    virtual bool setString(const QString& text, const Item& extraFormats = {}) = 0;
    // How often a reader (the application receiving a paste) has fetched a
    // text format of the contents this process put last. Stays 0 where the
    // platform cannot tell; the paste then restores after a fixed delay.
    virtual int textFetchCount() const { return 0; }

    // Whether a format carries the text itself (the MIME types and the X11
    // targets readers ask for).
    static bool isTextFormat(const QString& format);
    // The one item of another owner's contents, read format by format.
    // Markers carry no bytes; anything else without bytes could not be read
    // and is left out.
    static QList<Item> readItem(const QStringList& formats,
                                const std::function<QByteArray(const QString&)>& read);

    static Pasteboard& shared();
    static void setShared(Pasteboard* pasteboard);
    // A pasteboard that hands each call to whatever shared() is at that
    // moment, for services made before the session's clipboard is chosen.
    static Pasteboard& forwarding();
    // The X PRIMARY selection, from which a terminal of the xterm family
    // pastes; none until one is installed.
    static Pasteboard* sharedPrimary();
    static void setSharedPrimary(Pasteboard* pasteboard);
};

// An in-memory pasteboard: the process-wide one until a real one is
// installed.
class MemoryPasteboard : public Pasteboard {
public:
    int changeCount() const override { return m_changeCount; }
    QList<Item> items() const override { return m_items; }
    QStringList types() const override {
        QStringList t;
        for (const Item& item : m_items)
            for (const auto& f : item) t << f.first;
        return t;
    }
    QString string() const override {
        for (const Item& item : m_items)
            for (const auto& f : item)
                if (f.first.startsWith("text/plain")) return QString::fromUtf8(f.second);
        return {};
    }
    int clearContents() override {
        m_items.clear();
        return ++m_changeCount;
    }
    bool writeItems(const QList<Item>& items) override {
        m_items = items;
        ++m_changeCount;
        return true;
    }
    bool setString(const QString& text, const Item& extra = {}) override {
        Item item{{"text/plain;charset=utf-8", text.toUtf8()}};
        item += extra;
        m_items = {item};
        ++m_changeCount;
        m_textFetches = 0;
        return true;
    }
    int textFetchCount() const override { return m_textFetches; }

protected:
    QList<Item> m_items;
    int m_changeCount = 0;
    int m_textFetches = 0;
};
