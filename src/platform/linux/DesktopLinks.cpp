// clang-format off
// GIO first: glib's headers use "signals" as a field name, which Qt's
// headers define as a macro.
#include <gio/gio.h>
#include "platform/linux/DesktopLinks.h"
// clang-format on

#include "platform/OnDemandLibrary.h"

namespace {

// GIO is opened when a link's handler is first looked up, not at start.
OnDemandLibrary& gio() {
    static OnDemandLibrary l("libgio-2.0.so.0",
                             {"g_app_info_get_default_for_uri_scheme",
                              "g_app_info_get_all_for_type", "g_object_unref", "g_list_free_full"},
                             "[Links]", "the installed handlers of links are not looked up");
    return l;
}

}  // namespace

bool DesktopLinks::hasSchemeHandler(const QString& scheme) {
    OnDemandLibrary& l = gio();
    if (!l.load()) return false;
    const auto defaultFor = l.function<decltype(&g_app_info_get_default_for_uri_scheme)>(0);
    const auto allFor = l.function<decltype(&g_app_info_get_all_for_type)>(1);
    const auto unref = l.function<decltype(&g_object_unref)>(2);
    const auto freeList = l.function<decltype(&g_list_free_full)>(3);
    const QByteArray name = scheme.toUtf8();
    if (GAppInfo* info = defaultFor(name.constData())) {
        unref(info);
        return true;
    }
    const QByteArray type = "x-scheme-handler/" + name;
    GList* all = allFor(type.constData());
    const bool any = all != nullptr;
    freeList(all, unref);
    return any;
}
