// The edit box's GTK widgets: the bounds place the scrolled text view, the font sets its lines.
#include <gtk/gtk.h>

#include "kiro/ui/editbox.h"
#include "kiro/ui/window_gtk.h"
#include "support/uidriver.h"

namespace kiro::ui {

static GtkWidget* findView(GtkWidget* root) {
    if (GTK_IS_TEXT_VIEW(root) || !GTK_IS_CONTAINER(root)) return GTK_IS_TEXT_VIEW(root) ? root : nullptr;
    GtkWidget* found = nullptr;
    GList* kids = gtk_container_get_children(GTK_CONTAINER(root));
    for (GList* l = kids; l != nullptr && found == nullptr; l = l->next) found = findView(GTK_WIDGET(l->data));
    g_list_free(kids);
    return found;
}

static int lineHeight(GtkWidget* view) {
    GtkTextIter start;
    gtk_text_buffer_get_start_iter(gtk_text_view_get_buffer(GTK_TEXT_VIEW(view)), &start);
    int y = 0, height = 0;
    gtk_text_view_get_line_yrange(GTK_TEXT_VIEW(view), &start, &y, &height);
    return height;
}

using EditBoxGtk = uitest::Ui;

TEST_F(EditBoxGtk, BoundsPlaceTheControlAndTheFontSizesItsLines) {
    Window window(nullptr, ws::OverlappedWindow);
    window.setClientSize(300, 120);
    EditBox box(window);
    window.show();
    box.setBounds(Rect{10, 20, 200, 80});  // width and height in right and bottom
    box.setText(L"文字");
    box.setFont(L"IPAGothic", 10);
    uitest::pump(150);
    GtkWidget* view = findView(gtkToplevel(window));
    ASSERT_NE(view, nullptr);
    GtkAllocation a;
    gtk_widget_get_allocation(gtk_widget_get_parent(view), &a);
    EXPECT_EQ((std::vector<int>{a.x, a.y, a.width, a.height}), (std::vector<int>{10, 20, 200, 80}));
    const int small = lineHeight(view);
    box.setFont(nullptr, 40);
    uitest::pump(150);
    EXPECT_GT(lineHeight(view), small * 2) << small;
    EXPECT_EQ(box.getText(), L"文字");
}

}  // namespace kiro::ui
