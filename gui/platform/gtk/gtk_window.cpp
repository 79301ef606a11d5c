#include "gui/platform/gtk/gtk_window.h"

#include <algorithm>

#include "gui/driversupport.h"
#include "gui/event.h"
#include "gui/platform/gtk/compact_style.h"
#include "gui/platform/gtk/display_text.h"
#include "gui/platform/gtk/gtk_menu.h"
#include "gui/platform/gtk/text_scale.h"

// A GtkWindow that lays its contents out at no less than their minimum size. A window
// manager that ignores the size hints (or none at all) can make the window smaller than
// that, and GTK would then hand the menu bar, the status bar and their box negative sizes.
G_DECLARE_FINAL_TYPE(TervalaWindow, tervala_window, TERVALA, WINDOW, GtkWindow)

struct _TervalaWindow {
    GtkWindow parent_instance;
};

G_DEFINE_TYPE(TervalaWindow, tervala_window, GTK_TYPE_WINDOW)

static void tervala_window_size_allocate(GtkWidget* widget, GtkAllocation* allocation) {
    GtkRequisition minimum;
    gtk_widget_get_preferred_size(widget, &minimum, nullptr);
    GtkAllocation atLeastMinimum = *allocation;
    atLeastMinimum.width = MAX(atLeastMinimum.width, MAX(minimum.width, 1));
    atLeastMinimum.height = MAX(atLeastMinimum.height, MAX(minimum.height, 1));
    GTK_WIDGET_CLASS(tervala_window_parent_class)->size_allocate(widget, &atLeastMinimum);
}

static void tervala_window_class_init(TervalaWindowClass* klass) {
    GTK_WIDGET_CLASS(klass)->size_allocate = tervala_window_size_allocate;
}

static void tervala_window_init(TervalaWindow*) {}

namespace gui::gtk {

namespace {

constexpr long long kStatusIntervalUs = 40000;

TGtkWindow* Self(gpointer data) { return static_cast<TGtkWindow*>(data); }

void OnClientResized(int w, int h, gpointer data) { Self(data)->ClientResized(w, h); }

// The close box only asks; the application decides whether the window goes.
gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
    RaiseGadgetEvent(WindowClose, Self(data)->shared_from_this());
    return TRUE;
}

gboolean OnConfigure(GtkWidget*, GdkEvent*, gpointer data) {
    Self(data)->Configured();
    return FALSE;
}

// The request for attention has been answered once the user comes to the window.
void OnActiveChanged(GtkWindow* window, GParamSpec*, gpointer) {
    if (gtk_window_is_active(window)) gtk_window_set_urgency_hint(window, FALSE);
}

gboolean OnWindowState(GtkWidget*, GdkEventWindowState* event, gpointer data) {
    Self(data)->StateChanged(event->new_window_state);
    return FALSE;
}

// A device length or position in toolkit pixels; the toolkit's own value when that is the
// one scaled, so that rounding never drifts.
int LogicalSize(int device, int current) {
    return Scaled(current) == device ? current : Unscaled(device);
}

int NaturalHeight(GtkWidget* widget) {
    if (!gtk_widget_get_visible(widget)) return 0;
    int minimum = 0, natural = 0;
    gtk_widget_get_preferred_height(widget, &minimum, &natural);
    return natural;
}

}  // namespace

TGtkWindow::TGtkWindow(int gadgetStyle, GtkWindow* transientFor)
    : TGtkGadget(GADGET_WINDOW, gadgetStyle) {
    GtkWidget* window =
        GTK_WIDGET(g_object_new(tervala_window_get_type(), "type", GTK_WINDOW_TOPLEVEL, nullptr));
    GtkWindow* native = GTK_WINDOW(window);
    gtk_window_set_decorated(native, (style & WINDOW_TITLEBAR) != 0);
    gtk_window_set_resizable(native, (style & WINDOW_RESIZABLE) != 0);
    if (style & WINDOW_TOOL) gtk_window_set_type_hint(native, GDK_WINDOW_TYPE_HINT_UTILITY);
    if (transientFor != nullptr) gtk_window_set_transient_for(native, transientFor);

    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_container_add(GTK_CONTAINER(window), box);
    menuBar_ = gtk_menu_bar_new();
    gtk_widget_set_no_show_all(menuBar_, TRUE);  // shown once it has entries
    gtk_box_pack_start(GTK_BOX(box), menuBar_, FALSE, FALSE, 0);
    area_ = TERVALA_CLIENT_AREA(tervala_client_area_new());
    gtk_style_context_add_class(gtk_widget_get_style_context(GTK_WIDGET(area_)), kCompactClass);
    gtk_box_pack_start(GTK_BOX(box), GTK_WIDGET(area_), TRUE, TRUE, 0);
    statusBar_ = gtk_statusbar_new();
    gtk_style_context_add_class(gtk_widget_get_style_context(statusBar_), kCompactClass);
    gtk_widget_set_no_show_all(statusBar_, (style & WINDOW_STATUS) == 0);
    // Without a name a reader calls the bar by its changing text, or nothing when empty.
    atk_object_set_name(gtk_widget_get_accessible(statusBar_), "Status bar");
    gtk_box_pack_start(GTK_BOX(box), statusBar_, FALSE, FALSE, 0);
    gtk_widget_show_all(box);

    Adopt(window, GTK_WIDGET(area_));
    tervala_client_area_set_resized_callback(area_, OnClientResized, this);
    Connect(window, "delete-event", G_CALLBACK(OnDelete));
    Connect(window, "configure-event", G_CALLBACK(OnConfigure));
    Connect(window, "window-state-event", G_CALLBACK(OnWindowState));
    Connect(window, "notify::is-active", G_CALLBACK(OnActiveChanged));
}

TGtkWindow::~TGtkWindow() {
    tervala_client_area_set_resized_callback(area_, nullptr, nullptr);
    CancelStatusUpdate();
}

void TGtkWindow::Free() {
    CancelStatusUpdate();
    TGtkGadget::Free();
}

void TGtkWindow::CancelStatusUpdate() {
    if (statusDue_ != 0) g_source_remove(statusDue_);
    statusDue_ = 0;
}

int TGtkWindow::ChromeHeight() const { return NaturalHeight(menuBar_) + NaturalHeight(statusBar_); }

int TGtkWindow::ClientWidth() const {
    if (style & WINDOW_CLIENTCOORDS) return width;
    if (tervala_client_area_is_allocated(area_)) return Unscaled(tervala_client_area_width(area_));
    return width;
}

int TGtkWindow::ClientHeight() const {
    if (style & WINDOW_CLIENTCOORDS) return height;
    if (tervala_client_area_is_allocated(area_)) return Unscaled(tervala_client_area_height(area_));
    return std::max(height - Unscaled(ChromeHeight()), 0);
}

void TGtkWindow::ResizeNative() {
    const int chrome = (style & WINDOW_CLIENTCOORDS) ? ChromeHeight() : 0;
    gtk_window_resize(Native(), std::max(Scaled(width), 1), std::max(Scaled(height) + chrome, 1));
}

void TGtkWindow::Rethink() {
    gtk_window_move(Native(), Scaled(xpos), Scaled(ypos));
    ResizeNative();
}

void TGtkWindow::ClientResized(int w, int h) {
    if (style & WINDOW_CLIENTCOORDS) {
        const int logicalWidth = LogicalSize(w, width), logicalHeight = LogicalSize(h, height);
        if (logicalWidth == width && logicalHeight == height) return;
        SetRect(xpos, ypos, logicalWidth, logicalHeight);
    } else {
        int frameWidth = 0, frameHeight = 0;
        gtk_window_get_size(Native(), &frameWidth, &frameHeight);
        SetRect(xpos, ypos, LogicalSize(frameWidth, width), LogicalSize(frameHeight, height));
    }
    LayoutKids();
    RaiseGadgetEvent(WindowSize, shared_from_this(), 0, 0, width, height);
}

void TGtkWindow::Configured() {
    int deviceX = 0, deviceY = 0;
    gtk_window_get_position(Native(), &deviceX, &deviceY);
    const int x = LogicalSize(deviceX, xpos), y = LogicalSize(deviceY, ypos);
    if (x == xpos && y == ypos) return;
    SetRect(x, y, width, height);
    RaiseGadgetEvent(WindowMove, shared_from_this(), 0, 0, x, y);
}

int TGtkWindow::State() const {
    int state = TGtkGadget::State();
    if (windowState_ & GDK_WINDOW_STATE_ICONIFIED) state |= STATE_MINIMIZED;
    if (windowState_ & GDK_WINDOW_STATE_MAXIMIZED) state |= STATE_MAXIMIZED;
    return state;
}

int TGtkWindow::Activate(int command) {
    switch (command) {
        case ACTIVATE_FOCUS:
            gtk_window_present(Native());
            return 1;
        case ACTIVATE_MINIMIZE:
            gtk_window_iconify(Native());
            return 1;
        case ACTIVATE_MAXIMIZE:
            gtk_window_maximize(Native());
            return 1;
        case ACTIVATE_RESTORE:
            gtk_window_deiconify(Native());
            gtk_window_unmaximize(Native());
            return 1;
        case ACTIVATE_ATTENTION:
            if (!gtk_window_is_active(Native())) gtk_window_set_urgency_hint(Native(), TRUE);
            return 1;
        default:
            return TGtkGadget::Activate(command);
    }
}

void TGtkWindow::SetText(const std::string& text) { gtk_window_set_title(Native(), DisplayText(text).c_str()); }

std::string TGtkWindow::GetText() const {
    const char* title = gtk_window_get_title(Native());
    return title != nullptr ? title : "";
}

// A scan sets the status bar once per entry, far more often than a screen can show. The bar
// takes a text at once when it has shown its last one for a while, and otherwise the newest
// text when that while is over, so the last text of a burst always shows.
void TGtkWindow::SetStatusText(const std::string& text) {
    if (!(style & WINDOW_STATUS)) return;
    statusText_ = text;
    if (statusDue_ != 0) return;
    const long long sinceShown = g_get_monotonic_time() - statusShownAt_;
    if (sinceShown >= kStatusIntervalUs) {
        ShowStatusText();
        return;
    }
    statusDue_ = g_timeout_add(guint((kStatusIntervalUs - sinceShown) / 1000 + 1), OnStatusDue, this);
}

gboolean TGtkWindow::OnStatusDue(gpointer window) {
    auto* self = static_cast<TGtkWindow*>(window);
    self->statusDue_ = 0;
    self->ShowStatusText();
    return G_SOURCE_REMOVE;
}

void TGtkWindow::ShowStatusText() {
    statusShownAt_ = g_get_monotonic_time();
    GtkStatusbar* bar = GTK_STATUSBAR(statusBar_);
    gtk_statusbar_remove_all(bar, 0);
    gtk_statusbar_push(bar, 0, DisplayText(statusText_).c_str());
}

TGadgetPtr TGtkWindow::GetMenu() {
    if (!menu_) menu_ = CreateRootMenu(shared_from_this());
    return menu_;
}

void TGtkWindow::UpdateMenu() {
    if (!(style & WINDOW_MENU)) return;
    RebuildMenuShell(GTK_MENU_SHELL(menuBar_), menu_);
    const bool hasEntries = menu_ && !menu_->kids.empty();
    if (hasEntries == gtk_widget_get_visible(menuBar_)) return;
    gtk_widget_set_visible(menuBar_, hasEntries);
    // A window shaped by its client area keeps that size when the menu bar comes or goes.
    if (style & WINDOW_CLIENTCOORDS) ResizeNative();
    ApplySizeHints();
}

void TGtkWindow::SetMinimumSize(int w, int h) {
    minWidth_ = w;
    minHeight_ = h;
    ApplySizeHints();
}

void TGtkWindow::SetMaximumSize(int w, int h) {
    maxWidth_ = w;
    maxHeight_ = h;
    ApplySizeHints();
}

void TGtkWindow::ApplySizeHints() {
    const int chrome = (style & WINDOW_CLIENTCOORDS) ? ChromeHeight() : 0;
    GdkGeometry geometry{};
    int mask = 0;
    if (minWidth_ > 0 || minHeight_ > 0) {
        geometry.min_width = Scaled(minWidth_);
        geometry.min_height = Scaled(minHeight_) + chrome;
        mask |= GDK_HINT_MIN_SIZE;
    }
    if (maxWidth_ > 0 || maxHeight_ > 0) {
        geometry.max_width = maxWidth_ > 0 ? Scaled(maxWidth_) : G_MAXSHORT;
        geometry.max_height = maxHeight_ > 0 ? Scaled(maxHeight_) + chrome : G_MAXSHORT;
        mask |= GDK_HINT_MAX_SIZE;
    }
    gtk_window_set_geometry_hints(Native(), nullptr, &geometry, GdkWindowHints(mask));
}

}  // namespace gui::gtk
