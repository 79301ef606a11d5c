#include "gui/platform/gtk/live_label.h"

#include <gtk/gtk-a11y.h>

#include <initializer_list>

struct _TervalaLabel {
    GtkLabel parent_instance;
    gboolean announced;
};

G_DEFINE_TYPE(TervalaLabel, tervala_label, GTK_TYPE_LABEL)

// The label's accessible adds the live-region attributes to what GTK reports.
G_DECLARE_FINAL_TYPE(TervalaLabelAccessible, tervala_label_accessible, TERVALA, LABEL_ACCESSIBLE,
                     GtkLabelAccessible)

struct _TervalaLabelAccessible {
    GtkLabelAccessible parent_instance;
};

G_DEFINE_TYPE(TervalaLabelAccessible, tervala_label_accessible, GTK_TYPE_LABEL_ACCESSIBLE)

namespace {

AtkAttributeSet* WithAttribute(AtkAttributeSet* attributes, const char* name, const char* value) {
    auto* attribute = g_new(AtkAttribute, 1);
    attribute->name = g_strdup(name);
    attribute->value = g_strdup(value);
    return g_slist_prepend(attributes, attribute);
}

AtkAttributeSet* LiveAttributes(AtkObject* accessible) {
    AtkAttributeSet* attributes =
        ATK_OBJECT_CLASS(tervala_label_accessible_parent_class)->get_attributes(accessible);
    GtkWidget* widget = gtk_accessible_get_widget(GTK_ACCESSIBLE(accessible));
    if (widget == nullptr || !TERVALA_IS_LABEL(widget) || !TERVALA_LABEL(widget)->announced)
        return attributes;
    // The whole text is one message: a reader speaks it whole, after what it is saying.
    for (const char* live : {"live", "container-live"})
        attributes = WithAttribute(attributes, live, "polite");
    for (const char* atomic : {"atomic", "container-atomic"})
        attributes = WithAttribute(attributes, atomic, "true");
    return attributes;
}

}  // namespace

static void tervala_label_accessible_class_init(TervalaLabelAccessibleClass* klass) {
    ATK_OBJECT_CLASS(klass)->get_attributes = LiveAttributes;
}

static void tervala_label_accessible_init(TervalaLabelAccessible*) {}

static void tervala_label_class_init(TervalaLabelClass* klass) {
    gtk_widget_class_set_accessible_type(GTK_WIDGET_CLASS(klass),
                                         tervala_label_accessible_get_type());
}

static void tervala_label_init(TervalaLabel*) {}

GtkWidget* tervala_label_new(void) { return GTK_WIDGET(g_object_new(TERVALA_TYPE_LABEL, nullptr)); }

void tervala_label_set_announced(TervalaLabel* label, gboolean announced) {
    label->announced = announced;
}
