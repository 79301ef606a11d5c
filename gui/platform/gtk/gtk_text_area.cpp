#include "gui/platform/gtk/gtk_controls.h"

#include "gui/platform/gtk/display_text.h"

namespace gui::gtk {

namespace {

void OnRangeChanged(GtkAdjustment*, gpointer data) { static_cast<TGtkTextArea*>(data)->ScrollRangeChanged(); }

void OnScrolled(GtkAdjustment*, gpointer data) { static_cast<TGtkTextArea*>(data)->ScrollMoved(); }

// The view draws no focus ring of its own; the scroller draws the theme's around it.
gboolean DrawFocusRing(GtkWidget* scroller, cairo_t* cr, gpointer view) {
    if (!gtk_widget_has_visible_focus(GTK_WIDGET(view))) return FALSE;
    gtk_render_focus(gtk_widget_get_style_context(scroller), cr, 1, 1,
                     gtk_widget_get_allocated_width(scroller) - 2,
                     gtk_widget_get_allocated_height(scroller) - 2);
    return FALSE;
}

gboolean RedrawScroller(GtkWidget* view, GdkEvent*, gpointer) {
    gtk_widget_queue_draw(gtk_widget_get_parent(view));
    return FALSE;
}

double EndPosition(GtkAdjustment* adjustment) {
    return gtk_adjustment_get_upper(adjustment) - gtk_adjustment_get_page_size(adjustment);
}

}  // namespace

TGtkTextArea::TGtkTextArea(int gadgetStyle) : TGtkGadget(GADGET_TEXTAREA, gadgetStyle) {
    GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroller), GTK_SHADOW_IN);
    GtkWidget* view = gtk_text_view_new();
    GtkTextView* textView = GTK_TEXT_VIEW(view);
    gtk_text_view_set_wrap_mode(textView, (style & TEXTAREA_WORDWRAP) ? GTK_WRAP_WORD_CHAR : GTK_WRAP_NONE);
    // A read-only area keeps its caret, so that the keyboard and a screen reader can move
    // through the report line by line.
    if (style & TEXTAREA_READONLY) gtk_text_view_set_editable(textView, FALSE);
    gtk_container_add(GTK_CONTAINER(scroller), view);
    g_signal_connect_after(scroller, "draw", G_CALLBACK(DrawFocusRing), view);
    g_signal_connect(view, "focus-in-event", G_CALLBACK(RedrawScroller), nullptr);
    g_signal_connect(view, "focus-out-event", G_CALLBACK(RedrawScroller), nullptr);
    gtk_widget_show_all(scroller);
    Adopt(scroller, view);
    ReportEdits(gtk_text_view_get_buffer(textView), "changed");
    Connect(Vertical(), "changed", G_CALLBACK(OnRangeChanged));
    Connect(Vertical(), "value-changed", G_CALLBACK(OnScrolled));
}

GtkAdjustment* TGtkTextArea::Vertical() const {
    return gtk_scrolled_window_get_vadjustment(GTK_SCROLLED_WINDOW(Outer()));
}

GtkTextBuffer* TGtkTextArea::Buffer() const { return gtk_text_view_get_buffer(GTK_TEXT_VIEW(Inner())); }

void TGtkTextArea::SetText(const std::string& text) {
    const std::string shown = DisplayText(text);
    Quietly([&] { gtk_text_buffer_set_text(Buffer(), shown.data(), static_cast<int>(shown.size())); });
}

std::string TGtkTextArea::GetText() const {
    GtkTextIter start, end;
    gtk_text_buffer_get_bounds(Buffer(), &start, &end);
    gchar* text = gtk_text_buffer_get_text(Buffer(), &start, &end, FALSE);
    std::string result = text;
    g_free(text);
    return result;
}

void TGtkTextArea::AddText(const std::string& text) {
    Quietly([&] {
        GtkTextIter end;
        gtk_text_buffer_get_end_iter(Buffer(), &end);
        const std::string shown = DisplayText(text);
        gtk_text_buffer_insert(Buffer(), &end, shown.data(), static_cast<int>(shown.size()));
        gtk_text_buffer_place_cursor(Buffer(), &end);
    });
    ScrollToEnd();
}

void TGtkTextArea::ScrollToEnd() {
    followEnd_ = true;
    gtk_adjustment_set_value(Vertical(), EndPosition(Vertical()));
    gtk_adjustment_set_value(gtk_scrolled_window_get_hadjustment(GTK_SCROLLED_WINDOW(Outer())), 0.0);
}

void TGtkTextArea::ScrollRangeChanged() {
    if (followEnd_) gtk_adjustment_set_value(Vertical(), EndPosition(Vertical()));
}

void TGtkTextArea::ScrollMoved() {
    followEnd_ = gtk_adjustment_get_value(Vertical()) >= EndPosition(Vertical()) - 1.0;
}

int TGtkTextArea::AreaLen(int units) const {
    if (units == TEXTAREA_LINES) return gtk_text_buffer_get_line_count(Buffer());
    return gtk_text_buffer_get_char_count(Buffer());
}

int TGtkTextArea::GetCursorPos(int units) const {
    GtkTextIter cursor;
    gtk_text_buffer_get_iter_at_mark(Buffer(), &cursor, gtk_text_buffer_get_insert(Buffer()));
    return units == TEXTAREA_LINES ? gtk_text_iter_get_line(&cursor) : gtk_text_iter_get_offset(&cursor);
}

int TGtkTextArea::Activate(int command) {
    GtkClipboard* clipboard = gtk_widget_get_clipboard(Inner(), GDK_SELECTION_CLIPBOARD);
    const gboolean editable = gtk_text_view_get_editable(GTK_TEXT_VIEW(Inner()));
    switch (command) {
        case ACTIVATE_CUT:
            gtk_text_buffer_cut_clipboard(Buffer(), clipboard, editable);
            return 1;
        case ACTIVATE_COPY:
            gtk_text_buffer_copy_clipboard(Buffer(), clipboard);
            return 1;
        case ACTIVATE_PASTE:
            gtk_text_buffer_paste_clipboard(Buffer(), clipboard, nullptr, editable);
            return 1;
        default:
            return TGtkGadget::Activate(command);
    }
}

}  // namespace gui::gtk
