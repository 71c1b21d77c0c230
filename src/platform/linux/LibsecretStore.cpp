// clang-format off
// libsecret first: glib's headers use "signals" as a field name, which Qt's
// headers define as a macro.
#include <libsecret/secret.h>
#include "platform/SecretStore.h"
#include "platform/linux/LibsecretStore.h"
// clang-format on

#include <QDBusConnection>
#include <QDBusConnectionInterface>

#include "platform/OnDemandLibrary.h"

namespace {

// libsecret (with GIO and GObject under it) is opened on the first use of a
// running Secret Service, not at start.
OnDemandLibrary& library() {
    static OnDemandLibrary l(
        "libsecret-1.so.0",
        {"secret_password_lookup_sync", "secret_password_store_sync", "secret_password_clear_sync",
         "secret_password_free", "secret_error_get_quark", "g_error_free"},
        "[Auth]", "the keychain is not used, the tokens are kept in the settings copy only");
    return l;
}

// The functions, once library().load() answered true.
struct Secret {
    decltype(&secret_password_lookup_sync) lookup;
    decltype(&secret_password_store_sync) store;
    decltype(&secret_password_clear_sync) clear;
    decltype(&secret_password_free) freePassword;
    decltype(&secret_error_get_quark) errorQuark;
    decltype(&g_error_free) freeError;
};
const Secret& secret() {
    OnDemandLibrary& l = library();
    static const Secret s{
        l.function<decltype(Secret::lookup)>(0),     l.function<decltype(Secret::store)>(1),
        l.function<decltype(Secret::clear)>(2),      l.function<decltype(Secret::freePassword)>(3),
        l.function<decltype(Secret::errorQuark)>(4), l.function<decltype(Secret::freeError)>(5)};
    return s;
}

const SecretSchema* schema() {
    static const SecretSchema s = {"com.ormil.app.Token",
                                   SECRET_SCHEMA_DONT_MATCH_NAME,
                                   {
                                       {"service", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                       {"account", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                       {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING},
                                   },
                                   0,
                                   nullptr,
                                   nullptr,
                                   nullptr,
                                   nullptr,
                                   nullptr,
                                   nullptr,
                                   nullptr};
    return &s;
}

// Asking for the service by name would let the bus start one, and a freshly
// started keyring may want to prompt for a password nobody is there to type.
bool serviceRunning() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()) return false;
    return bus.interface()
               ->isServiceRegistered(QStringLiteral("org.freedesktop.secrets"))
               .value() &&
           library().load();
}

int statusOf(GError* error) {
    if (!error) return SecretStore::success;
    int status = SecretStore::notAvailable;
    if (error->domain == secret().errorQuark() && error->code == SECRET_ERROR_IS_LOCKED)
        status = SecretStore::interactionNotAllowed;
    secret().freeError(error);
    return status;
}
}  // namespace

SecretStore::ReadResult LibsecretStore::read(const QString& service, const QString& account) {
    if (!serviceRunning()) return {notAvailable, std::nullopt};
    GError* error = nullptr;
    const QByteArray s = service.toUtf8(), a = account.toUtf8();
    gchar* found = secret().lookup(schema(), nullptr, &error, "service", s.constData(), "account",
                                   a.constData(), nullptr);
    if (error) return {statusOf(error), std::nullopt};
    if (!found) return {itemNotFound, std::nullopt};
    QByteArray data(found);
    secret().freePassword(found);
    return {success, data};
}

int LibsecretStore::add(const QString& service, const QString& account, const QByteArray& data) {
    if (!serviceRunning()) return notAvailable;
    GError* error = nullptr;
    const QByteArray s = service.toUtf8(), a = account.toUtf8();
    const QByteArray label = "Ormil " + a;
    secret().store(schema(), SECRET_COLLECTION_DEFAULT, label.constData(), data.constData(),
                   nullptr, &error, "service", s.constData(), "account", a.constData(), nullptr);
    return statusOf(error);
}

int LibsecretStore::update(const QString& service, const QString& account, const QByteArray& data) {
    // Storing under the same attributes replaces the item's secret.
    return add(service, account, data);
}

int LibsecretStore::remove(const QString& service, const QString& account) {
    if (!serviceRunning()) return notAvailable;
    GError* error = nullptr;
    const QByteArray s = service.toUtf8(), a = account.toUtf8();
    const gboolean removed = secret().clear(schema(), nullptr, &error, "service", s.constData(),
                                            "account", a.constData(), nullptr);
    if (error) return statusOf(error);
    return removed ? success : itemNotFound;
}
