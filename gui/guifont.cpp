#include "gui/guifont.h"

#include "gui/gadgetdriver.h"

namespace gui {
namespace {

constexpr const char* MONOSPACED_FALLBACK = "Courier New";

constexpr double DEFAULT_GUI_FONT_SIZE = 9;
constexpr double DEFAULT_SERIF_FONT_SIZE = 12;
constexpr double DEFAULT_FONT_SIZE = 10;

std::string LibraryFace(int kind) {
    switch (kind) {
        case FONT_KIND_MONOSPACED: return "Consolas";
        case FONT_KIND_SANSSERIF: return "Arial";
        case FONT_KIND_SERIF: return "Times New Roman";
        case FONT_KIND_SCRIPT: return "Comic Sans MS";
        default: return "MS Shell Dlg";
    }
}

}  // namespace

double TGadgetDriver::DefaultFontSize(int kind) {
    if (kind == FONT_KIND_GUI) return DEFAULT_GUI_FONT_SIZE;
    if (kind == FONT_KIND_SERIF) return DEFAULT_SERIF_FONT_SIZE;
    return DEFAULT_FONT_SIZE;
}

std::shared_ptr<TGuiFont> TGadgetDriver::LoadFontWithDouble(const std::string& fontName,
                                                            double size, int style) {
    return LoadFont(fontName, static_cast<int>(size + 0.5), style);
}

// A platform without the monospaced face gives a substitute under another name.
std::shared_ptr<TGuiFont> TGadgetDriver::LibraryFont(int kind, double size, int style) {
    if (size <= 0) size = DefaultFontSize(kind);
    const std::string face = LibraryFace(kind);
    TGuiFontPtr font = LoadFontWithDouble(face, size, style);
    if (kind == FONT_KIND_MONOSPACED && (!font || font->name != face)) {
        font = LoadFontWithDouble(MONOSPACED_FALLBACK, size, style);
    }
    return font;
}

TGuiFontPtr LoadGuiFont(const std::string& name, double size, int bold, int italic,
                        int underline, int strikethrough) {
    const int style = (bold ? FONT_BOLD : 0) | (italic ? FONT_ITALIC : 0) |
                      (underline ? FONT_UNDERLINE : 0) | (strikethrough ? FONT_STRIKETHROUGH : 0);
    return CurrentGadgetDriver().LoadFontWithDouble(name, size, style);
}

TGuiFontPtr LookupGuiFont(int kind, double size, int style) {
    return CurrentGadgetDriver().LibraryFont(kind, size, style);
}

TGuiFontPtr RequestFont(const TGuiFontPtr& font) {
    return CurrentGadgetDriver().RequestFont(font);
}

std::string FontName(const TGuiFontPtr& font) { return font ? font->name : std::string(); }
int FontSize(const TGuiFontPtr& font) { return font ? font->size : 0; }
int FontStyle(const TGuiFontPtr& font) { return font ? font->style : 0; }

}  // namespace gui
