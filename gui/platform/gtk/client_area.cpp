#include "gui/platform/gtk/client_area.h"

struct _TervalaClientArea {
    GtkFixed parent_instance;
    TervalaClientAreaResized resized;
    gpointer resized_data;
    int width;
    int height;
    gboolean allocating;  // rectangles set while allocating are placed by that allocation
};

G_DEFINE_TYPE(TervalaClientArea, tervala_client_area, GTK_TYPE_FIXED)

namespace {

GQuark RectQuark() {
    static const GQuark quark = g_quark_from_static_string("tervala-client-rect");
    return quark;
}

const GdkRectangle* RectOf(GtkWidget* child) {
    return static_cast<const GdkRectangle*>(g_object_get_qdata(G_OBJECT(child), RectQuark()));
}

void PreferredNothing(GtkWidget*, gint* minimum, gint* natural) {
    *minimum = 0;
    *natural = 0;
}

bool SharesRows(const GdkRectangle& a, const GdkRectangle& b) {
    return a.y < b.y + b.height && b.y < a.y + a.height;
}

// The right edge a label's text may reach: the nearest gadget to its right on its rows, or
// the area's edge. A larger font then does not cut a label that has free room beside it.
int LabelRoomEnd(GtkWidget* area, GtkWidget* label, const GdkRectangle& rect) {
    int end = gtk_widget_get_allocated_width(area);
    GList* children = gtk_container_get_children(GTK_CONTAINER(area));
    for (GList* c = children; c != nullptr; c = c->next) {
        const GdkRectangle* other = RectOf(GTK_WIDGET(c->data));
        if (c->data == label || other == nullptr || !gtk_widget_get_visible(GTK_WIDGET(c->data)))
            continue;
        if (other->x >= rect.x + rect.width && SharesRows(*other, rect)) end = MIN(end, other->x);
    }
    g_list_free(children);
    return end;
}

void AllocateChild(GtkWidget* child, gpointer area) {
    const GdkRectangle* rect = RectOf(child);
    if (rect == nullptr || !gtk_widget_get_visible(child)) return;
    // GTK insists on a size request before every allocation, and warns about allocations
    // below that minimum (a gadget squeezed by a small window): such a widget gets its
    // minimum at its place, never a zero size, and the area's window clips it. A progress
    // bar is the exception in height: its trough keeps its own height in any allocation.
    GtkRequisition minimum;
    gtk_widget_get_preferred_size(child, &minimum, nullptr);
    if (GTK_IS_PROGRESS_BAR(child)) minimum = GtkRequisition{0, 0};
    GtkAllocation allocation = *rect;
    if (GTK_IS_LABEL(child)) {
        int natural = 0;
        gtk_widget_get_preferred_width(child, nullptr, &natural);
        allocation.width = MAX(allocation.width,
                               MIN(natural, LabelRoomEnd(GTK_WIDGET(area), child, *rect) - rect->x));
    }
    allocation.width = MAX(allocation.width, MAX(minimum.width, 1));
    allocation.height = MAX(allocation.height, MAX(minimum.height, 1));
    gtk_widget_size_allocate(child, &allocation);
}

void SizeAllocate(GtkWidget* widget, GtkAllocation* allocation) {
    TervalaClientArea* self = TERVALA_CLIENT_AREA(widget);
    gtk_widget_set_allocation(widget, allocation);
    if (gtk_widget_get_realized(widget))
        gdk_window_move_resize(gtk_widget_get_window(widget), allocation->x, allocation->y,
                               allocation->width, allocation->height);
    self->allocating = TRUE;
    if (allocation->width != self->width || allocation->height != self->height) {
        self->width = allocation->width;
        self->height = allocation->height;
        if (self->resized != nullptr) self->resized(self->width, self->height, self->resized_data);
    }
    gtk_container_forall(GTK_CONTAINER(widget), AllocateChild, widget);
    self->allocating = FALSE;
}

// The area has a window of its own so that children reaching past it are clipped instead of
// painting over the status bar; that window needs its background drawn.
gboolean Draw(GtkWidget* widget, cairo_t* cr) {
    gtk_render_background(gtk_widget_get_style_context(widget), cr, 0, 0,
                          gtk_widget_get_allocated_width(widget),
                          gtk_widget_get_allocated_height(widget));
    return GTK_WIDGET_CLASS(tervala_client_area_parent_class)->draw(widget, cr);
}

}  // namespace

static void tervala_client_area_class_init(TervalaClientAreaClass* klass) {
    GtkWidgetClass* widget_class = GTK_WIDGET_CLASS(klass);
    widget_class->get_preferred_width = PreferredNothing;
    widget_class->get_preferred_height = PreferredNothing;
    widget_class->size_allocate = SizeAllocate;
    widget_class->draw = Draw;
}

static void tervala_client_area_init(TervalaClientArea* self) {
    gtk_widget_set_has_window(GTK_WIDGET(self), TRUE);
    self->width = -1;
    self->height = -1;
}

GtkWidget* tervala_client_area_new(void) {
    return GTK_WIDGET(g_object_new(TERVALA_TYPE_CLIENT_AREA, nullptr));
}

void tervala_client_area_set_resized_callback(TervalaClientArea* area,
                                              TervalaClientAreaResized callback,
                                              gpointer user_data) {
    area->resized = callback;
    area->resized_data = user_data;
}

void tervala_client_area_place(TervalaClientArea* area, GtkWidget* child, int x, int y,
                               int width, int height) {
    GdkRectangle* rect = g_new(GdkRectangle, 1);
    *rect = GdkRectangle{x, y, width < 0 ? 0 : width, height < 0 ? 0 : height};
    g_object_set_qdata_full(G_OBJECT(child), RectQuark(), rect, g_free);
    if (gtk_widget_get_parent(child) == nullptr) {
        gtk_fixed_put(GTK_FIXED(area), child, x, y);
        return;
    }
    if (!area->allocating) gtk_widget_queue_allocate(GTK_WIDGET(area));
}

gboolean tervala_client_area_is_allocated(TervalaClientArea* area) { return area->width >= 0; }

int tervala_client_area_width(TervalaClientArea* area) { return area->width < 0 ? 0 : area->width; }

int tervala_client_area_height(TervalaClientArea* area) {
    return area->height < 0 ? 0 : area->height;
}
