#pragma once
// Fonts: loaded by the current driver by face name or by kind of face.

#include <memory>
#include <string>

#include "runtime/object.h"

namespace gui {

// Style bits.
enum : int { FONT_BOLD = 1, FONT_ITALIC = 2, FONT_UNDERLINE = 4, FONT_STRIKETHROUGH = 8 };

// Kinds of face for LibraryFont / LookupGuiFont; any other kind is the default GUI face.
enum : int {
    FONT_KIND_GUI = 1,
    FONT_KIND_MONOSPACED = 2,
    FONT_KIND_SANSSERIF = 3,
    FONT_KIND_SERIF = 4,
    FONT_KIND_SCRIPT = 5,
};

class TGuiFont : public rt::TObject {
public:
    std::string name;
    std::string path;
    int style = 0;
    int size = 0;
    int handle = 0;

    // Width of a character in pixels; drivers that measure text override it.
    virtual int CharWidth(int /*character*/) const { return 0; }
};

using TGuiFontPtr = std::shared_ptr<TGuiFont>;

TGuiFontPtr LoadGuiFont(const std::string& name, double size, int bold = 0, int italic = 0,
                        int underline = 0, int strikethrough = 0);
// A face of a FONT_KIND_*; a size of 0 or less takes the driver's default for the kind.
TGuiFontPtr LookupGuiFont(int kind, double size = 0, int style = 0);
// The font chooser preset to the font: the chosen font, or null when cancelled.
TGuiFontPtr RequestFont(const TGuiFontPtr& font);
// Fields of a font; "" or 0 for none.
std::string FontName(const TGuiFontPtr& font);
int FontSize(const TGuiFontPtr& font);
int FontStyle(const TGuiFontPtr& font);

}  // namespace gui
