// Message boxes on Linux: a modal GtkMessageDialog kept above other windows; without a
// display the text goes to the standard error stream and the first button counts as chosen.
#include <gtk/gtk.h>

#include <condition_variable>
#include <cstdio>
#include <mutex>

#include "kiro/io/charset/charset.h"
#include "kiro/ui/loop.h"
#include "kiro/ui/loop_gtk.h"
#include "kiro/ui/msgbox.h"

namespace kiro::ui {

namespace {

GtkMessageType typeOf(unsigned flags) {
    switch (flags & MbIconMask) {
    case MbIconError: return GTK_MESSAGE_ERROR;
    case MbIconQuestion: return GTK_MESSAGE_QUESTION;
    case MbIconWarning: return GTK_MESSAGE_WARNING;
    case MbIconInformation: return GTK_MESSAGE_INFO;
    default: return GTK_MESSAGE_OTHER;
    }
}

int firstButton(unsigned flags) {
    const unsigned buttons = flags & MbButtonMask;
    return (buttons == MbYesNo || buttons == MbYesNoCancel) ? IdYes : IdOk;
}

// Runs the box as gtk_dialog_run would, in a modal loop that the program's quit also ends; the
// quit gives a negative response, as closing the box by its frame does.
int runBox(GtkWidget* dialog) {
    struct Run {
        GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
        int response = GTK_RESPONSE_NONE;
    } run;
    const gulong handler = g_signal_connect(
        dialog, "response", G_CALLBACK(+[](GtkDialog*, gint response, gpointer data) {
            auto* r = static_cast<Run*>(data);
            r->response = response;
            g_main_loop_quit(r->loop);
        }),
        &run);
    gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
    gtk_widget_show(dialog);
    if (!runModalLoop(run.loop)) run.response = GTK_RESPONSE_NONE;
    g_signal_handler_disconnect(dialog, handler);
    g_main_loop_unref(run.loop);
    return run.response;
}

}  // namespace

namespace {

int showBox(const std::wstring& text, const std::wstring& caption, unsigned flags, WindowHandle owner);

// GTK may only be used on the UI thread: a box asked for by a worker is shown there while the
// worker waits for the answer.
int showFromWorker(const std::wstring& text, const std::wstring& caption, unsigned flags,
                   WindowHandle owner) {
    struct Request {
        Request(const std::wstring& t, const std::wstring& c, unsigned f, WindowHandle o)
            : text(t), caption(c), flags(f), owner(o) {}
        const std::wstring& text;
        const std::wstring& caption;
        unsigned flags;
        WindowHandle owner;
        std::mutex lock;
        std::condition_variable done;
        bool answered = false;
        int answer = 0;
    } request(text, caption, flags, owner);
    g_main_context_invoke(
        nullptr,
        [](gpointer data) -> gboolean {
            auto* r = static_cast<Request*>(data);
            const int answer = showBox(r->text, r->caption, r->flags, r->owner);
            std::lock_guard<std::mutex> guard(r->lock);
            r->answer = answer;
            r->answered = true;
            r->done.notify_one();
            return G_SOURCE_REMOVE;
        },
        &request);
    std::unique_lock<std::mutex> guard(request.lock);
    request.done.wait(guard, [&] { return request.answered; });
    return request.answer;
}

}  // namespace

int messageBox(const std::wstring& text, const std::wstring& caption, unsigned flags,
               WindowHandle owner) {
    if (initializeToolkit() && !isUiThread()) return showFromWorker(text, caption, flags, owner);
    return showBox(text, caption, flags, owner);
}

namespace {

int showBox(const std::wstring& text, const std::wstring& caption, unsigned flags, WindowHandle owner) {
    const std::string body = kiro::io::toUtf8(text);
    const std::string title = kiro::io::toUtf8(caption);
    if (!initializeToolkit()) {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), body.c_str());
        return firstButton(flags);
    }
    if (quitRequested()) return dismissedAnswer(flags);
    // The handle of a Window is its GtkWindow; a box stays above the window that owns it.
    GtkWindow* parent = owner != nullptr ? GTK_WINDOW(owner) : nullptr;
    GtkWidget* dialog = gtk_message_dialog_new(parent, GTK_DIALOG_MODAL, typeOf(flags),
                                               GTK_BUTTONS_NONE, "%s", body.c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), title.c_str());
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
    // The text can be selected and copied, as from the Win32 box (an error text is worth
    // pasting into a report).
    GList* labels = gtk_container_get_children(
        GTK_CONTAINER(gtk_message_dialog_get_message_area(GTK_MESSAGE_DIALOG(dialog))));
    for (GList* l = labels; l != nullptr; l = l->next) {
        if (GTK_IS_LABEL(l->data)) gtk_label_set_selectable(GTK_LABEL(l->data), TRUE);
    }
    g_list_free(labels);

    // Button order and labels follow the Win32 box; the answers are the ID* values.
    int fallback = IdOk;
    switch (flags & MbButtonMask) {
    case MbOkCancel:
        gtk_dialog_add_button(GTK_DIALOG(dialog), "OK", IdOk);
        gtk_dialog_add_button(GTK_DIALOG(dialog), "Cancel", IdCancel);
        fallback = IdCancel;
        break;
    case MbYesNo:
        gtk_dialog_add_button(GTK_DIALOG(dialog), "Yes", IdYes);
        gtk_dialog_add_button(GTK_DIALOG(dialog), "No", IdNo);
        fallback = IdNo;
        break;
    case MbYesNoCancel:
        gtk_dialog_add_button(GTK_DIALOG(dialog), "Yes", IdYes);
        gtk_dialog_add_button(GTK_DIALOG(dialog), "No", IdNo);
        gtk_dialog_add_button(GTK_DIALOG(dialog), "Cancel", IdCancel);
        fallback = IdCancel;
        break;
    default:
        gtk_dialog_add_button(GTK_DIALOG(dialog), "OK", IdOk);
        break;
    }
    const bool second = (flags & MbDefButton2) != 0 && (flags & MbButtonMask) != MbOk;
    gtk_dialog_set_default_response(GTK_DIALOG(dialog),
                                    second ? fallback : firstButton(flags));

    const int response = runBox(dialog);
    gtk_widget_destroy(dialog);
    while (gtk_events_pending()) gtk_main_iteration();
    // Closing the box by its frame counts as Cancel where there is one, else as the only
    // button or No.
    if (response < 0) return (flags & MbButtonMask) == MbOk ? IdOk : fallback;
    return response;
}

}  // namespace

int messageBoxNarrow(const std::string& text, const std::string& caption, unsigned flags) {
    return messageBox(kiro::io::fromAnsi(text.data(), text.size()),
                      kiro::io::fromAnsi(caption.data(), caption.size()), flags);
}

}  // namespace kiro::ui
