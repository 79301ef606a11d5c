// The localisation engine: tokens, cycles, built-ins, localised gadgets and items,
// dates and times.

#include "gui/localization.h"

#include "gui/gadgetitem.h"
#include "gui/gadgetlanguage.h"
#include "runtime/program.h"
#include "tests/gui/gui_fixture.h"

namespace guitest {
namespace {

using namespace gui;
namespace hl = gui::headless;

class LocalizationTest : public GuiTest {
protected:
    TGadgetLanguagePtr german = Language("Deutsch", "Hallo", "Gruß");
    TGadgetLanguagePtr english = Language("English", "Hello", "Greeting");
    TGadgetPtr window = MakeWindow("w", 0, 0, 300, 200, nullptr, WINDOW_CLIENTCOORDS);

    static TGadgetLanguagePtr Language(const std::string& name, const std::string& hello,
                                       const std::string& tip) {
        TGadgetLanguagePtr language = TGadgetLanguage::Create(name);
        language->DefineToken("hello", hello);
        language->DefineToken("tip", tip);
        return language;
    }
};

TEST_F(LocalizationTest, WithLocalizationOffTextsStayAsTheyAre) {
    SetLocalizationLanguage(german);
    EXPECT_EQ(LocalizeString("{{appdir}}"), "{{appdir}}");
    EXPECT_EQ(LocalizeString("{{hello}}"), "{{hello}}");
}

TEST_F(LocalizationTest, TokensAreLookedUpInAnyCaseAndLocalisedInTurn) {
    SetLocalizationMode(LOCALIZATION_ON);
    EXPECT_EQ(LocalizeString("{{hello}}, {{name}}"), "hello, name");  // no language yet
    german->DefineToken("Greeting", "{{HELLO}} {{Name}}");
    german->DefineToken("NAME", "Ann");
    SetLocalizationLanguage(german);
    EXPECT_EQ(LocalizeString("{{greeting}}! {{unknown}} {{half"), "Hallo Ann! unknown {{half");
}

TEST_F(LocalizationTest, ACyclicTokenGivesErrorTextAndOneWarning) {
    german->DefineToken("a", "{{b}}");
    german->DefineToken("b", "{{a}}");
    SetLocalizationLanguage(german);
    SetLocalizationMode(LOCALIZATION_ON);
    testing::internal::CaptureStderr();
    EXPECT_EQ(LocalizeString("{{a}}"), "!ERROR!");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "WARNING: Encountered cyclic localization string: \"{{a}}\".\n");
    EXPECT_EQ(LocalizeString("{{hello}} {{hello}}"), "Hallo Hallo");  // repeats are no cycle
}

TEST_F(LocalizationTest, BuiltInTokensNameTheProgramAndItsPlaces) {
    SetLocalizationMode(LOCALIZATION_ON);
    SetAppTitle("Tervala_gui v1.4");
    EXPECT_EQ(LocalizeString("{{AppTitle}}"), "Tervala_gui v1.4");
    EXPECT_EQ(LocalizeString("{{launchdir}}"), rt::LaunchDir());
    const std::string dir = LocalizeString("{{appdir}}");
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(LocalizeString("{{appfile}}").rfind(dir, 0), 0u);
    const std::string bytes = LocalizeString("{{gcmemalloced}}");
    EXPECT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.find_first_not_of("0123456789"), std::string::npos) << bytes;
}

TEST_F(LocalizationTest, LocalisedGadgetsFollowModeAndLanguageUntilGivenAText) {
    const TGadgetPtr label = MakeLabel("", 0, 0, 50, 20, window);
    LocalizeGadget(label, "{{hello}}", "{{tip}}");
    EXPECT_EQ(FetchGadgetText(label), "{{hello}}");
    SetLocalizationLanguage(german);
    SetLocalizationMode(LOCALIZATION_ON);
    EXPECT_EQ(FetchGadgetText(label), "Hallo");
    EXPECT_EQ(label->GetTooltip(), "Gruß");
    SetLocalizationLanguage(english);
    EXPECT_EQ(FetchGadgetText(label), "Hello");

    PutGadgetText(label, "fixed");
    SetLocalizationLanguage(german);
    EXPECT_EQ(FetchGadgetText(label), "fixed");
}

TEST_F(LocalizationTest, CreationTextsAreTokensInTokenMode) {
    SetLocalizationLanguage(german);
    SetLocalizationMode(LOCALIZATION_ON | LOCALIZATION_TOKENS);
    const TGadgetPtr button = MakeButton("{{hello}}", 0, 0, 50, 20, window);
    EXPECT_EQ(FetchGadgetText(button), "Hallo");
    EXPECT_TRUE(CurrentGadgetDriver().GadgetLocalized(button.get()));
    DiscardGadget(button);
    EXPECT_FALSE(CurrentGadgetDriver().GadgetLocalized(button.get()));
}

TEST_F(LocalizationTest, TokenItemsShowLocalisedAndFollowTheLanguage) {
    const TGadgetPtr list = MakeListBox(0, 0, 100, 100, window);
    SetLocalizationLanguage(german);
    SetLocalizationMode(LOCALIZATION_ON);
    LocalizeGadget(list, "", "");
    list->InsertItem(0, "{{hello}}", "{{tip}}", -1, nullptr, ITEM_LOCALIZED);
    list->InsertItem(1, "{{hello}}");
    EXPECT_EQ(hl::ListTextsOf(list), (std::vector<std::string>{"Hallo", "{{hello}}"}));
    EXPECT_EQ(hl::ListItemsOf(list)[0].tip, "Gruß");
    EXPECT_EQ(list->ItemText(0), "{{hello}}");
    SetLocalizationLanguage(english);
    EXPECT_EQ(hl::ListTextsOf(list), (std::vector<std::string>{"Hello", "{{hello}}"}));
}

std::tm Moment(int year, int month, int day, int hour, int minute) {
    std::tm when{};
    when.tm_year = year - 1900;
    when.tm_mon = month - 1;
    when.tm_mday = day;
    when.tm_hour = hour;
    when.tm_min = minute;
    when.tm_sec = 9;
    when.tm_wday = TLocalizationEngine::DayOfTheWeek(year, month, day);
    return when;
}

TEST_F(LocalizationTest, DatesAndTimesUseTheLanguagesNamesAndSuffixes) {
    const std::tm monday = Moment(2026, 12, 7, 14, 5);
    const std::string longDate = "%A %e%o %B %Y, %a %d.%m.%y";
    EXPECT_EQ(TLocalizationEngine::LocalizedDate(longDate, monday),
              "Monday 7 December 2026, Mon 07.12.26");
    EXPECT_EQ(TLocalizationEngine::LocalizedTime("%H:%M:%S %I%p %%", monday), "14:05:09 02PM %");

    for (const char* suffix : {"th", "st", "nd", "rd"}) german->DefineToken(suffix, suffix);
    german->DefineToken("december", "Dezember");
    german->DefineToken("monday", "Montag");
    german->DefineToken("pm", "nachm.");
    SetLocalizationLanguage(german);
    EXPECT_EQ(TLocalizationEngine::LocalizedDate(longDate, monday),
              "Montag 7th Dezember 2026, Mon 07.12.26");
    EXPECT_EQ(TLocalizationEngine::LocalizedTime("%I:%M %p", monday), "02:05 nachm.");
    const std::pair<int, const char*> ordinals[] = {
        {1, "1st"}, {2, "2nd"}, {3, "3rd"}, {11, "11th"}, {12, "12th"}, {22, "22nd"}, {31, "31st"}};
    for (const auto& [day, text] : ordinals) {
        EXPECT_EQ(TLocalizationEngine::LocalizedDate("%e%o", Moment(2026, 1, day, 0, 0)), text);
    }
}

TEST_F(LocalizationTest, CalendarHelpers) {
    EXPECT_EQ(TLocalizationEngine::DayOfTheWeek(2026, 12, 7), 1);
    EXPECT_EQ(TLocalizationEngine::DayOfTheWeek(2000, 2, 29), 2);
    EXPECT_EQ(TLocalizationEngine::DayOfTheWeek(2024, 3, 1), 5);
    EXPECT_EQ(TLocalizationEngine::_MonthAsNumber("Dec"), 12);
    EXPECT_EQ(TLocalizationEngine::_MonthAsNumber("SEPTEMBER"), 9);
    EXPECT_EQ(TLocalizationEngine::_MonthAsNumber("ju"), 0);
    EXPECT_EQ(TLocalizationEngine::_MonthAsNumber("Dezember"), 0);
}

}  // namespace
}  // namespace guitest
