#pragma once
// The client area of a toolkit window: a GtkFixed whose preferred size is 0 and which gives
// every child exactly the rectangle the toolkit computed, or its minimum size at that place
// when the rectangle is smaller (the area clips it). Without this a GtkFixed grows to its
// children's requests and can never shrink back.

#include <gtk/gtk.h>

G_BEGIN_DECLS

#define TERVALA_TYPE_CLIENT_AREA (tervala_client_area_get_type())
G_DECLARE_FINAL_TYPE(TervalaClientArea, tervala_client_area, TERVALA, CLIENT_AREA, GtkFixed)

// Called from size_allocate when the area's size changed, before the children are placed, so
// that rectangles set by the callback take effect in the same allocation.
typedef void (*TervalaClientAreaResized)(int width, int height, gpointer user_data);

GtkWidget* tervala_client_area_new(void);
void tervala_client_area_set_resized_callback(TervalaClientArea* area,
                                              TervalaClientAreaResized callback,
                                              gpointer user_data);
// Adds a child or changes the rectangle of one already added; coordinates are the area's.
void tervala_client_area_place(TervalaClientArea* area, GtkWidget* child, int x, int y,
                               int width, int height);
// False until the area has been given its first allocation.
gboolean tervala_client_area_is_allocated(TervalaClientArea* area);
int tervala_client_area_width(TervalaClientArea* area);
int tervala_client_area_height(TervalaClientArea* area);

G_END_DECLS
