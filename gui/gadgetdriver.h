#pragma once
// The native half of the gadgets: one driver object, installed when the gadget module
// initialises (see gui/platform.h for how a program picks its driver).

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "gui/gadget.h"

namespace gui {

class TGadgetLanguage;

// Text and tooltip tokens of a localised gadget.
struct TLocalizationTokens {
    std::string text;
    std::string tip;
};

class TGadgetDriver : public rt::TObject {
public:
    ~TGadgetDriver() override = default;

    // Supplied by the platform driver.
    virtual std::string UserName() = 0;
    virtual std::string ComputerName() = 0;
    virtual std::shared_ptr<TGuiFont> LoadFont(const std::string& fontName, double size,
                                               int flags) = 0;
    // Keeps the creation contract: windows with a null group go on the desktop; kinds
    // desktop, menu item and tree node return right after the native object is made
    // (a menu item keeps its text in `name`, its tag from `style`, and is appended to
    // the group by the driver); every other gadget gets its text, is appended to its
    // group, shaped (locking its layout) unless it is a toolbar, and shown. Null when
    // the native object cannot be made.
    virtual TGadgetPtr CreateGadget(int kind, const std::string& text, int x, int y, int w,
                                    int h, const TGadgetPtr& group, int style) = 0;
    virtual TGadgetPtr ActiveGadget() = 0;
    virtual int RequestColor(int red, int green, int blue) = 0;
    virtual std::shared_ptr<TGuiFont> RequestFont(const std::shared_ptr<TGuiFont>& font) = 0;
    virtual void SetPointer(int shape) = 0;
    virtual std::shared_ptr<TIconStrip> LoadIconStrip(const std::string& source) = 0;

    // Colour, font and localisation services of the base (most built later; the map
    // bookkeeping is here already because freeing and PutGadgetText go through it).
    virtual int LookupColor(int /*kind*/, int& red, int& green, int& blue);
    virtual std::shared_ptr<TGuiFont> LibraryFont(int /*kind*/, double /*size*/, int /*style*/) {
        return nullptr;
    }
    virtual std::shared_ptr<TGuiFont> LoadFontWithDouble(const std::string& fontName,
                                                         double size, int style) {
        return LoadFont(fontName, size, style);
    }
    virtual void SetLocalizationMode(int /*mode*/) {}
    virtual void SetLanguage(const std::shared_ptr<TGadgetLanguage>& /*language*/) {}
    virtual void ApplyLanguage() {}
    virtual void SetGadgetLocalization(const TGadgetPtr& gadget, const std::string& textToken,
                                       const std::string& tipToken);
    virtual void ApplyLocalization(const TGadgetPtr& /*gadget*/) {}
    virtual void LocalizeGadgetItem(const TGadgetPtr& /*gadget*/, int /*index*/) {}
    virtual int GadgetLocalized(const TGadget* gadget);
    // Safe from any thread: the load worker's PutGadgetText passes through here.
    virtual void DelocalizeGadget(const TGadget* gadget);

protected:
    std::map<const TGadget*, TLocalizationTokens> _mapLocalized;
    std::mutex localizedLock_;
};

// The installed driver; initialises the toolkit on first use.
TGadgetDriver& CurrentGadgetDriver();

}  // namespace gui
