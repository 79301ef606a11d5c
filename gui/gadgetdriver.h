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

// A localised gadget with its text and tooltip tokens.
struct TLocalizedGadget {
    std::weak_ptr<TGadget> gadget;  // an entry whose gadget is gone counts as absent
    std::string textToken;
    std::string tipToken;
};

class TGadgetDriver : public rt::TObject {
public:
    ~TGadgetDriver() override = default;

    // Supplied by the platform driver.
    virtual std::string UserName() = 0;
    virtual std::string ComputerName() = 0;
    // flags: the FONT_* style bits; null when the platform has no such font.
    virtual std::shared_ptr<TGuiFont> LoadFont(const std::string& fontName, double size,
                                               int flags) = 0;
    // Keeps the creation contract: windows with a null group go on the desktop; kinds
    // desktop, menu item and tree node return right after the native object is made
    // (a menu item keeps its text in `name`, its tag from `style`, and is appended to
    // the group); every other gadget gets its text, is appended to its group, shaped
    // (locking its layout) unless it is a toolbar, and shown (a window unless its style
    // has WINDOW_HIDDEN; any other gadget disabled like its group). Null when the native
    // object cannot be made. Drivers make the native object and call FinishCreation.
    virtual TGadgetPtr CreateGadget(int kind, const std::string& text, int x, int y, int w,
                                    int h, const TGadgetPtr& group, int style) = 0;
    virtual TGadgetPtr ActiveGadget() = 0;
    // The colour chooser preset to the colour: the chosen colour as 0xRRGGBB with
    // COLOR_CHOSEN added, or 0 when the user cancelled.
    virtual int RequestColor(int red, int green, int blue) = 0;
    // The font chooser preset to the font: the chosen font, or null when cancelled.
    virtual std::shared_ptr<TGuiFont> RequestFont(const std::shared_ptr<TGuiFont>& font) = 0;
    virtual void SetPointer(int shape) = 0;
    virtual std::shared_ptr<TIconStrip> LoadIconStrip(const std::string& source) = 0;

    // Colours and fonts (guicolor.cpp, guifont.cpp). LookupColor writes the colour of a
    // COLOR_* kind and returns 1, or writes nothing and returns 0 for an unknown kind.
    virtual int LookupColor(int kind, int& red, int& green, int& blue);
    // A FONT_KIND_* face; a size of 0 or less takes DefaultFontSize(kind).
    virtual std::shared_ptr<TGuiFont> LibraryFont(int kind, double size, int style);
    // LoadFont with the size rounded half up to whole points.
    virtual std::shared_ptr<TGuiFont> LoadFontWithDouble(const std::string& fontName,
                                                         double size, int style);
    virtual double DefaultFontSize(int kind);

    // Localisation (gadgetlocalization.cpp). Recorded gadgets show their tokens through
    // the localisation engine and follow every change of mode or language.
    virtual void SetLocalizationMode(int mode);
    virtual void SetLanguage(const std::shared_ptr<TGadgetLanguage>& language);
    virtual void ApplyLanguage();
    virtual void SetGadgetLocalization(const TGadgetPtr& gadget, const std::string& textToken,
                                       const std::string& tipToken);
    // Shows the recorded tokens again, and every ITEM_LOCALIZED item (recorded or not).
    virtual void ApplyLocalization(const TGadgetPtr& gadget);
    virtual void LocalizeGadgetItem(const TGadgetPtr& gadget, int index);
    virtual int GadgetLocalized(const TGadget* gadget);
    // Safe from any thread: the load worker's PutGadgetText passes through here.
    virtual void DelocalizeGadget(const TGadget* gadget);

protected:
    // What CreateGadget does once it has made the native object (null when it could not):
    // the rest of the creation contract above. Returns the gadget.
    TGadgetPtr FinishCreation(const TGadgetPtr& gadget, int kind, const std::string& text,
                              int x, int y, int w, int h, const TGadgetPtr& group, int style);

    std::map<const TGadget*, TLocalizedGadget> _mapLocalized;
    std::mutex localizedLock_;

private:
    // With creation texts as tokens (localisation mode LOCALIZATION_TOKENS) the text is
    // recorded as the gadget's text token, else set.
    void SetCreationText(const TGadgetPtr& gadget, const std::string& text);
    // The recorded entry of a live gadget; a stale entry is dropped. Lock held.
    TLocalizedGadget* LiveEntry(const TGadget* gadget);
};

// The installed driver; initialises the toolkit on first use.
TGadgetDriver& CurrentGadgetDriver();

}  // namespace gui
