// The window at the user's text scale (Xft.dpi, GNOME's text-scaling-factor): every label
// and button holds its whole text, no gadget covers another, and a screenshot of each scale
// is kept beside the test program (text-scale-1.25.png...) for a look.

#include <string>
#include <vector>

#include "app/main_window.h"
#include "gui/gui.h"
#include "gui/platform/gtk/gtk_gadget.h"
#include "tests/gtk/gtk_fixture.h"

namespace gtktest {
namespace {

constexpr int kXftDpiAt96 = 96 * 1024;  // GTK's setting counts 1/1024 dpi

class TextScaleTest : public MainWindowTest, public ::testing::WithParamInterface<double> {
protected:
    void SetUp() override {
        g_object_get(gtk_settings_get_default(), "gtk-xft-dpi", &savedDpi_, nullptr);
        SetXftDpi(static_cast<int>(kXftDpiAt96 * GetParam()));
        MainWindowTest::SetUp();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        SetXftDpi(savedDpi_);
    }

private:
    static void SetXftDpi(int dpi) { g_object_set(gtk_settings_get_default(), "gtk-xft-dpi", dpi, nullptr); }

    int savedDpi_ = -1;
};

std::vector<GtkWidget*> ClientWidgets(const app::MainWindow& g) {
    std::vector<GtkWidget*> widgets;
    GList* children =
        gtk_container_get_children(GTK_CONTAINER(gtk_widget_get_parent(gui::gtk::WidgetOf(g.dirField))));
    for (GList* c = children; c != nullptr; c = c->next) widgets.push_back(GTK_WIDGET(c->data));
    g_list_free(children);
    return widgets;
}

std::string Describe(GtkWidget* widget) {
    if (GTK_IS_LABEL(widget)) return gtk_label_get_text(GTK_LABEL(widget));
    if (GTK_IS_BUTTON(widget)) return gtk_button_get_label(GTK_BUTTON(widget));
    return G_OBJECT_TYPE_NAME(widget);
}

bool Overlap(const GtkAllocation& a, const GtkAllocation& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// The window as GTK draws it, whatever part of it the X server shows.
void KeepScreenshot(const gui::TGadgetPtr& window, double scale) {
    GtkWidget* toplevel = GTK_WIDGET(NativeWindow(window));
    cairo_surface_t* shot = cairo_image_surface_create(CAIRO_FORMAT_RGB24,
                                                       gtk_widget_get_allocated_width(toplevel),
                                                       gtk_widget_get_allocated_height(toplevel));
    cairo_t* cr = cairo_create(shot);
    gtk_widget_draw(toplevel, cr);
    cairo_destroy(cr);
    char name[32];
    g_snprintf(name, sizeof name, "text-scale-%.2f.png", scale);
    EXPECT_EQ(cairo_surface_write_to_png(shot, name), CAIRO_STATUS_SUCCESS) << name;
    cairo_surface_destroy(shot);
}

TEST_P(TextScaleTest, EveryTextIsWholeAndNoGadgetCoversAnother) {
    gui::PutGadgetText(g.dirField, "/home/ann/a directory with a rather long name/below it");
    gui::PutGadgetText(g.statusLabel, "Dir log interval run #12 complete");
    gui::PutStatusBarText(g.window, "Saving datafile...");
    gui::AppendAreaText(g.reportArea, "08 Dec 2026 22:11:58 - New file: /home/ann/notes/plan.txt\n");
    Settle();
    const std::vector<GtkWidget*> widgets = ClientWidgets(g);
    for (GtkWidget* widget : widgets) {
        if (!GTK_IS_LABEL(widget) && !GTK_IS_BUTTON(widget)) continue;
        int minimum = 0, natural = 0;
        gtk_widget_get_preferred_width(widget, &minimum, &natural);
        EXPECT_GE(gtk_widget_get_allocated_width(widget), natural) << Describe(widget) << " is cut";
    }
    for (std::size_t i = 0; i < widgets.size(); ++i) {
        for (std::size_t j = i + 1; j < widgets.size(); ++j) {
            GtkAllocation a, b;
            gtk_widget_get_allocation(widgets[i], &a);
            gtk_widget_get_allocation(widgets[j], &b);
            EXPECT_FALSE(Overlap(a, b)) << Describe(widgets[i]) << " and " << Describe(widgets[j]);
        }
    }
    EXPECT_EQ(gui::ClientWidthOf(g.window), 480);
    EXPECT_EQ(gui::ClientHeightOf(g.window), 400);
    KeepScreenshot(g.window, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Scales, TextScaleTest, ::testing::Values(1.0, 1.25, 1.5, 2.0));

}  // namespace
}  // namespace gtktest
