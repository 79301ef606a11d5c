#pragma once
// The localisation engine: texts with tokens written between "{{" and "}}" are shown
// with each token replaced by its text in the current language.
//
// Built-in tokens (any case): appfile, appdir, apptitle, launchdir, gcmemalloced (bytes
// the program holds), shorttime, longtime, shortdate, longdate (now, in the language's
// formats). Any other token is looked up in the current language and its text is
// localised in turn; a token without an entry, or any token while no language is set,
// reads as its own name.
//
// Formats of LocalizedTime / LocalizedDate, all parts in the current language:
//   %H hour 00-23   %I hour 01-12   %M minute   %S second   %p the "am" or "pm" text
//   %d day 01-31    %e day 1-31     %o the day's ordinal suffix (tokens th, st, nd, rd)
//   %m month 01-12  %B month name   %b its first three characters
//   %A weekday name %a its first three characters   %Y year   %y year 00-99   %% "%"
// Month and weekday names are the language's tokens january..december and
// sunday..saturday, English without them; %p without an "am"/"pm" token is AM/PM.
// A language may give its formats as the tokens shorttimeformat, longtimeformat,
// shortdateformat and longdateformat; otherwise time is 24-hour, or 12-hour when the
// language has "am" and "pm" tokens, short dates read 2026-12-07 and long dates
// Monday 7 December 2026 (7th with ordinal tokens).

#include <ctime>
#include <memory>
#include <string>

#include "gui/gadget.h"

namespace gui {

class TGadgetLanguage;

// Localisation mode bits.
enum : int {
    LOCALIZATION_ON = 1,      // tokens are replaced; off, every text shows as it is
    LOCALIZATION_TOKENS = 2,  // creation texts of gadgets are text tokens
};

// Shown for a token whose text leads back to itself.
inline constexpr const char* LOCALIZATION_CYCLE_TEXT = "!ERROR!";

class TLocalizationEngine {
public:
    // The mode and language as such; the driver's SetLocalizationMode and SetLanguage
    // also show the change on every localised gadget.
    static void _SetMode(int mode);
    static int GetMode();
    static std::shared_ptr<TGadgetLanguage> GetLanguage();
    static void _SetLanguage(std::shared_ptr<TGadgetLanguage> language);

    // The text with its tokens replaced; unchanged while localisation is off. A cycle
    // of token texts yields LOCALIZATION_CYCLE_TEXT and one warning line on stderr.
    static std::string LocalizeString(const std::string& text);

    // Now (or the given local time) in a format as above.
    static std::string LocalizedTime(const std::string& format);
    static std::string LocalizedDate(const std::string& format);
    static std::string LocalizedTime(const std::string& format, const std::tm& when);
    static std::string LocalizedDate(const std::string& format, const std::tm& when);

    // 1-12 for an English month name or its first three letters (any case), else 0.
    static int _MonthAsNumber(const std::string& name);
    // 0 Sunday .. 6 Saturday, for a date of the Gregorian calendar (month 1-12).
    static int DayOfTheWeek(int year, int month, int day);
};

// Module functions over the current driver's localisation services.
// With LOCALIZATION_ON changing, every localised gadget shows its tokens anew.
void SetLocalizationMode(int mode);
int LocalizationMode();
// Every localised gadget shows its tokens in the new language (null: none).
void SetLocalizationLanguage(const std::shared_ptr<TGadgetLanguage>& language);
std::shared_ptr<TGadgetLanguage> LocalizationLanguage();
std::string LocalizeString(const std::string& text);
// The gadget shows its text and tooltip tokens localised, now and after every change of
// mode or language, until DelocalizeGadget or an explicit PutGadgetText. A gadget with
// ITEM_LOCALIZED items needs this (with empty tokens if need be) for its items to follow
// a change of language.
void LocalizeGadget(const TGadgetPtr& gadget, const std::string& textToken,
                    const std::string& tipToken);
void DelocalizeGadget(const TGadgetPtr& gadget);

}  // namespace gui
