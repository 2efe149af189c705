// GTK backend of the text-entry control: a GtkTextView (input methods included) in a
// GtkScrolledWindow, placed in the parent window's client area.
#include <gtk/gtk.h>

#include <cstdlib>

#include "kiro/ui/editbox.h"
#include "kiro/ui/font_gtk.h"
#include "kiro/ui/text_gtk.h"
#include "kiro/ui/window.h"
#include "kiro/ui/window_gtk.h"
#include "kiro/ui/window_native_gtk.h"

namespace kiro::ui {

struct EditBox::Native {
    GtkWidget* scroller = nullptr;  // weak: cleared when GTK destroys it with the window
    GtkWidget* view = nullptr;      // weak, the same
    GtkCssProvider* css = nullptr;
    bool composing = false;
};

namespace {

constexpr std::uint32_t processKey = 0xE5;  // the code of a key taken by an input method

std::wstring bufferText(GtkWidget* view) {
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));
    GtkTextIter start;
    GtkTextIter end;
    gtk_text_buffer_get_bounds(buffer, &start, &end);
    gchar* utf8 = gtk_text_buffer_get_text(buffer, &start, &end, TRUE);
    std::wstring text = gtk::wide(utf8);
    g_free(utf8);
    return text;
}

std::string cssString(const std::wstring& text) {
    std::wstring quoted = L"\"";
    for (wchar_t c : text) {
        if (c < 0x20 || c == 0x7F) continue;
        if (c == L'"' || c == L'\\') quoted.push_back(L'\\');
        quoted.push_back(c);
    }
    quoted.push_back(L'"');
    return gtk::utf8(quoted);
}

}  // namespace

EditBox::EditBox(Window& parent) : parent_(&parent), native_(std::make_unique<Native>()) {
    GtkWidget* area = gtkClientArea(parent);
    if (area != nullptr) {
        Native& n = *native_;
        n.scroller = gtk_scrolled_window_new(nullptr, nullptr);
        gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(n.scroller), GTK_POLICY_AUTOMATIC,
                                       GTK_POLICY_AUTOMATIC);
        n.view = gtk_text_view_new();
        // Lines run on to the right and scroll, as in a multi-line edit control.
        gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(n.view), GTK_WRAP_NONE);
        gtk_container_add(GTK_CONTAINER(n.scroller), n.view);
        g_object_add_weak_pointer(G_OBJECT(n.scroller), reinterpret_cast<gpointer*>(&n.scroller));
        g_object_add_weak_pointer(G_OBJECT(n.view), reinterpret_cast<gpointer*>(&n.view));

        g_signal_connect(n.view, "preedit-changed",
                         G_CALLBACK(+[](GtkTextView*, gchar* preedit, gpointer data) {
                             static_cast<Native*>(data)->composing =
                                 preedit != nullptr && preedit[0] != '\0';
                         }),
                         native_.get());
        g_signal_connect(n.view, "key-press-event",
                         G_CALLBACK(+[](GtkWidget*, GdkEventKey* event, gpointer data) -> gboolean {
                             auto* self = static_cast<EditBox*>(data);
                             if (self->forwardMessage_ == 0 || !Window::isLive(self->parent_)) return FALSE;
                             const std::uint32_t vk =
                                 self->native_->composing ? processKey : virtualKeyOf(event);
                             // The key data as the window's own key messages carry it.
                             const LParam keyData = LParam(1 | (std::uint32_t(event->hardware_keycode) << 16));
                             self->parent_->postMessage(self->forwardMessage_, vk, keyData);
                             return FALSE;  // the control handles the key as well
                         }),
                         this);
        // Keeps the text readable after the parent window has taken the control with it.
        g_signal_connect(n.view, "destroy", G_CALLBACK(+[](GtkWidget* view, gpointer data) {
                             auto* self = static_cast<EditBox*>(data);
                             self->text_ = withoutReturns(bufferText(view));
                         }),
                         this);

        gtk_widget_set_size_request(n.scroller, 16, 16);
        gtk_fixed_put(GTK_FIXED(area), n.scroller, 0, 0);
        gtk_widget_show_all(n.scroller);
    }
    setFont(nullptr, 17);
}

EditBox::~EditBox() {
    Native& n = *native_;
    if (n.view != nullptr) {
        g_signal_handlers_disconnect_by_data(n.view, this);
        g_signal_handlers_disconnect_by_data(n.view, native_.get());
        g_object_remove_weak_pointer(G_OBJECT(n.view), reinterpret_cast<gpointer*>(&n.view));
    }
    if (n.scroller != nullptr) {
        GtkWidget* scroller = n.scroller;
        g_object_remove_weak_pointer(G_OBJECT(scroller), reinterpret_cast<gpointer*>(&n.scroller));
        gtk_widget_destroy(scroller);
    }
    if (n.css != nullptr) g_object_unref(n.css);
}

void EditBox::setText(const std::wstring& text) {
    text_ = toLineFeeds(text);
    GtkWidget* view = native_->view;
    if (view == nullptr) return;
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));
    const std::string utf8 = gtk::utf8(text_);
    gtk_text_buffer_set_text(buffer, utf8.data(), static_cast<gint>(utf8.size()));
    GtkTextIter end;
    gtk_text_buffer_get_end_iter(buffer, &end);
    gtk_text_buffer_place_cursor(buffer, &end);
    gtk_text_view_scroll_mark_onscreen(GTK_TEXT_VIEW(view), gtk_text_buffer_get_insert(buffer));
}

const std::wstring& EditBox::getText() {
    if (native_->view != nullptr) text_ = withoutReturns(bufferText(native_->view));
    return text_;
}

void EditBox::setFont(const wchar_t* face, int height) {
    prepareFonts();  // the face may be a Windows name that the set-up maps
    GtkWidget* view = native_->view;
    if (view == nullptr) return;
    std::wstring family = face != nullptr ? std::wstring(face) : std::wstring(defaultFace);
    family = family.substr(0, maxFace);
    std::string css = "textview { font-family: " + cssString(family) + ";";
    // As with a GDI font, 0 leaves the size to the default and a negative height counts the
    // same as a positive one.
    if (height != 0) css += " font-size: " + std::to_string(std::abs(height)) + "px;";
    css += " }";

    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, css.c_str(), -1, nullptr);
    GtkStyleContext* style = gtk_widget_get_style_context(view);
    if (native_->css != nullptr) {
        gtk_style_context_remove_provider(style, GTK_STYLE_PROVIDER(native_->css));
        g_object_unref(native_->css);
    }
    gtk_style_context_add_provider(style, GTK_STYLE_PROVIDER(provider),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    native_->css = provider;
    gtk_widget_queue_draw(view);
}

void EditBox::setBounds(const Rect& r) {
    GtkWidget* scroller = native_->scroller;
    if (scroller == nullptr) return;
    GtkWidget* area = gtk_widget_get_parent(scroller);
    if (area != nullptr && GTK_IS_FIXED(area)) gtk_fixed_move(GTK_FIXED(area), scroller, r.left, r.top);
    gtk_widget_set_size_request(scroller, r.right > 0 ? r.right : 0, r.bottom > 0 ? r.bottom : 0);
}

void EditBox::focus() {
    if (native_->view != nullptr) gtk_widget_grab_focus(native_->view);
}

void EditBox::invalidate() {
    if (native_->scroller != nullptr) gtk_widget_queue_draw(native_->scroller);
}

void EditBox::setForwardMessage(std::uint32_t msg) { forwardMessage_ = msg; }

}  // namespace kiro::ui
