// The tervala program: the application's main routine on the native GTK driver, which
// this executable links (see gui/platform.h).

#include "app/idle_loop.h"

int main() { return app::RunMain(); }
