// GTK backend of the open helper: the desktop's default handler for a URI (GIO), with GIO
// errors turned into the nearest ShellExecute code. The handler inherits this process's
// working directory; GIO has no way to give it another.
#include <gio/gio.h>
#include <gtk/gtk.h>

#include <algorithm>

#include "kiro/ui/open.h"
#include "kiro/ui/text_gtk.h"

namespace kiro::ui {

namespace {

constexpr int launched = 42;

int codeOf(const GError* error) {
    if (error == nullptr) return 31;
    if (error->domain == G_IO_ERROR) {
        switch (error->code) {
        case G_IO_ERROR_NOT_FOUND: return 2;
        case G_IO_ERROR_PERMISSION_DENIED: return 5;
        case G_IO_ERROR_NO_SPACE: return 8;
        default: return 31;  // no handler, or nothing better known
        }
    }
    if (error->domain == G_SPAWN_ERROR) {
        switch (error->code) {
        case G_SPAWN_ERROR_ACCES:
        case G_SPAWN_ERROR_PERM: return 5;
        case G_SPAWN_ERROR_NOMEM: return 8;
        case G_SPAWN_ERROR_NOEXEC:
        case G_SPAWN_ERROR_LIBBAD: return 11;
        case G_SPAWN_ERROR_NOENT: return 27;  // the associated program is missing
        default: return 0;
        }
    }
    return 31;
}

int launchUri(const char* uri) {
    GAppLaunchContext* context = nullptr;
    if (GdkDisplay* display = gdk_display_get_default()) {
        context = G_APP_LAUNCH_CONTEXT(gdk_display_get_app_launch_context(display));
    }
    GError* error = nullptr;
    const gboolean ok = g_app_info_launch_default_for_uri(uri, context, &error);
    const int code = ok ? launched : codeOf(error);
    g_clear_error(&error);
    if (context != nullptr) g_object_unref(context);
    return code;
}

// The absolute form of a path relative to the current directory, with either separator.
std::string fullPath(const std::wstring& path) {
    std::wstring slashed = path;
    std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
    const std::string utf8 = gtk::utf8(slashed);
    gchar* full = g_canonicalize_filename(utf8.c_str(), nullptr);
    std::string result = full;
    g_free(full);
    return result;
}

}  // namespace

int launchAssociated(const std::wstring& path, bool webAddress) {
    if (webAddress) return launchUri(gtk::utf8(path).c_str());
    if (path.empty()) return 2;

    const std::string full = fullPath(path);
    if (!g_file_test(full.c_str(), G_FILE_TEST_EXISTS)) {
        gchar* folder = g_path_get_dirname(full.c_str());
        const bool folderExists = g_file_test(folder, G_FILE_TEST_IS_DIR);
        g_free(folder);
        return folderExists ? 2 : 3;
    }
    gchar* uri = g_filename_to_uri(full.c_str(), nullptr, nullptr);
    if (uri == nullptr) return 2;
    const int code = launchUri(uri);
    g_free(uri);
    return code;
}

}  // namespace kiro::ui
