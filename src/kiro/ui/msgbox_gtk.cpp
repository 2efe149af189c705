// Message boxes on Linux: a modal GtkMessageDialog kept above other windows; without a
// display the text goes to the standard error stream and the first button counts as chosen.
#include <gtk/gtk.h>

#include <cstdio>

#include "kiro/io/charset/charset.h"
#include "kiro/ui/loop.h"
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

}  // namespace

int messageBox(const std::wstring& text, const std::wstring& caption, unsigned flags) {
    const std::string body = kiro::io::toUtf8(text);
    const std::string title = kiro::io::toUtf8(caption);
    if (!initializeToolkit()) {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), body.c_str());
        return firstButton(flags);
    }
    GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, typeOf(flags),
                                               GTK_BUTTONS_NONE, "%s", body.c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), title.c_str());
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);

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

    const int response = gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    while (gtk_events_pending()) gtk_main_iteration();
    // Closing the box by its frame counts as Cancel where there is one, else as the only
    // button or No.
    if (response < 0) return (flags & MbButtonMask) == MbOk ? IdOk : fallback;
    return response;
}

int messageBoxNarrow(const std::string& text, const std::string& caption, unsigned flags) {
    return messageBox(kiro::io::fromAnsi(text.data(), text.size()),
                      kiro::io::fromAnsi(caption.data(), caption.size()), flags);
}

}  // namespace kiro::ui
