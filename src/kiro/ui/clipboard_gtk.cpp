// GTK backend of the clipboard helpers: the CLIPBOARD selection through GtkClipboard.
#include <gtk/gtk.h>

#include "kiro/ui/clipboard.h"
#include "kiro/ui/text_gtk.h"

namespace kiro::ui {

namespace {

GtkClipboard* clipboard() {
    GdkDisplay* display = gdk_display_get_default();
    if (display == nullptr) return nullptr;
    return gtk_clipboard_get_for_display(display, GDK_SELECTION_CLIPBOARD);
}

}  // namespace

std::wstring getClipboardText() {
    GtkClipboard* board = clipboard();
    if (board == nullptr) return {};
    // Waits for the owner's answer in a nested loop, so timers keep running meanwhile.
    gchar* text = gtk_clipboard_wait_for_text(board);
    std::wstring result = gtk::wide(text);
    g_free(text);
    return result;
}

bool setClipboardText(const std::wstring& text) {
    if (text.empty()) return false;
    GtkClipboard* board = clipboard();
    if (board == nullptr) return false;
    // As with the Unicode text format, the text ends at its first null character.
    const std::string utf8 = gtk::utf8(text);
    gtk_clipboard_set_text(board, utf8.c_str(), -1);
    // Lets a clipboard manager keep the text once this program has ended.
    gtk_clipboard_set_can_store(board, nullptr, 0);
    return true;
}

}  // namespace kiro::ui
