// clang-format off
// GIO first: glib's headers use "signals" as a field name, which Qt's
// headers define as a macro.
#include <gio/gio.h>
#include "platform/linux/DesktopLinks.h"
// clang-format on

bool DesktopLinks::hasSchemeHandler(const QString& scheme) {
    const QByteArray name = scheme.toUtf8();
    if (GAppInfo* info = g_app_info_get_default_for_uri_scheme(name.constData())) {
        g_object_unref(info);
        return true;
    }
    const QByteArray type = "x-scheme-handler/" + name;
    GList* all = g_app_info_get_all_for_type(type.constData());
    const bool any = all != nullptr;
    g_list_free_full(all, g_object_unref);
    return any;
}
