#include "gui/platform/headless/headlessdrivers.h"

#include <algorithm>

#include "gui/guicolor.h"
#include "gui/guifont.h"
#include "gui/iconstrip.h"
#include "gui/platform/headless/headlessgadget.h"

namespace gui::headless {
namespace {

inline constexpr int DEFAULT_DESKTOP_WIDTH = 1920;
inline constexpr int DEFAULT_DESKTOP_HEIGHT = 1080;

bool KnownKind(int kind) { return kind >= GADGET_DESKTOP && kind <= GADGET_CANVAS; }

// Every character as wide as half the point size.
class THeadlessFont : public TGuiFont {
public:
    int CharWidth(int /*character*/) const override { return (size + 1) / 2; }
};

}  // namespace

std::vector<std::string> THeadlessGadgetDriver::DefaultFonts() {
    return {"MS Shell Dlg", "Arial", "Times New Roman", "Consolas", "Courier New",
            "Comic Sans MS"};
}

std::shared_ptr<TGuiFont> THeadlessGadgetDriver::LoadFont(const std::string& fontName,
                                                          double size, int flags) {
    if (installedFonts.empty()) return nullptr;
    const bool installed = std::find(installedFonts.begin(), installedFonts.end(), fontName) !=
                           installedFonts.end();
    auto font = std::make_shared<THeadlessFont>();
    font->name = installed ? fontName : installedFonts.front();
    font->size = static_cast<int>(size);
    font->style = flags;
    font->handle = nextFontHandle_++;
    return font;
}

int THeadlessGadgetDriver::RequestColor(int /*red*/, int /*green*/, int /*blue*/) {
    if (colorAnswers.empty()) return 0;
    const int answer = colorAnswers.front();
    colorAnswers.pop_front();
    return answer < 0 ? 0 : (answer & 0xFFFFFF) | COLOR_CHOSEN;
}

std::shared_ptr<TGuiFont> THeadlessGadgetDriver::RequestFont(
    const std::shared_ptr<TGuiFont>& /*font*/) {
    if (fontAnswers.empty()) return nullptr;
    std::shared_ptr<TGuiFont> answer = fontAnswers.front();
    fontAnswers.pop_front();
    return answer;
}

void THeadlessGadgetDriver::SetPointer(int shape) {
    pointerShape = shape;
    ++pointerChanges;
}

std::shared_ptr<TIconStrip> THeadlessGadgetDriver::LoadIconStrip(const std::string& source) {
    const auto found = iconSources.find(source);
    if (found == iconSources.end()) return nullptr;
    return TIconStrip::Create(found->second);
}

TGadgetPtr THeadlessGadgetDriver::CreateGadget(int kind, const std::string& text, int x, int y,
                                               int w, int h, const TGadgetPtr& group,
                                               int style) {
    if (!KnownKind(kind)) return nullptr;
    if (kind == GADGET_DESKTOP) {
        if (!desktop_) SetDesktopSize(DEFAULT_DESKTOP_WIDTH, DEFAULT_DESKTOP_HEIGHT);
        return desktop_;
    }
    auto gadget = std::make_shared<THeadlessGadget>(kind, style);
    if (kind == GADGET_MENUITEM || kind == GADGET_NODE) gadget->SetTag(style);
    if (kind == GADGET_WINDOW && !group) windows_.push_back(gadget);
    return FinishCreation(gadget, kind, text, x, y, w, h, group, style);
}

void THeadlessGadgetDriver::ForgetWindow(const TGadget* window) {
    std::erase_if(windows_, [window](const TGadgetPtr& w) { return w.get() == window; });
}

void THeadlessGadgetDriver::SetDesktopSize(int w, int h) {
    if (!desktop_) desktop_ = std::make_shared<THeadlessGadget>(GADGET_DESKTOP, 0);
    desktop_->SetRect(0, 0, w, h);
}

}  // namespace gui::headless
