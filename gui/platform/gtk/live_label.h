#pragma once
// A GtkLabel that can be a polite live region: assistive technology reads each new text of
// an announced label out as it comes, without moving the focus there.

#include <gtk/gtk.h>

G_BEGIN_DECLS

#define TERVALA_TYPE_LABEL (tervala_label_get_type())
G_DECLARE_FINAL_TYPE(TervalaLabel, tervala_label, TERVALA, LABEL, GtkLabel)

GtkWidget* tervala_label_new(void);
void tervala_label_set_announced(TervalaLabel* label, gboolean announced);

G_END_DECLS
