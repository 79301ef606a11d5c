// Requesters, message boxes, the URL opener and the date and time texts.

#include <clocale>
#include <cstdlib>
#include <ctime>

#include "runtime/filesystem.h"
#include "tests/gui/gui_fixture.h"
#include "tests/support/temp_dir.h"

namespace guitest {
namespace {

using namespace gui;
namespace hl = gui::headless;

class SystemTest : public GuiTest {};

TEST_F(SystemTest, RequestersReturnTheQueuedAnswersInOrder) {
    hl::QueueDirAnswer("/home/ann/t");
    hl::QueueDirAnswer("");
    hl::QueueFileAnswer("/home/ann/data.db");
    EXPECT_EQ(RequestDir("Select dir to monitor", ""), "/home/ann/t");
    EXPECT_EQ(RequestDir("Select dir to monitor", ""), "");
    EXPECT_EQ(RequestFile("Save datafile as", "", 1, ""), "/home/ann/data.db");

    const auto& calls = hl::RequesterCalls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].kind, hl::REQUEST_DIR);
    EXPECT_EQ(calls[0].title, "Select dir to monitor");
    EXPECT_EQ(calls[0].initialPath, rt::CurrentDir());  // made absolute
    EXPECT_EQ(calls[2].kind, hl::REQUEST_FILE);
    EXPECT_EQ(calls[2].file.save, 1);
    EXPECT_TRUE(calls[2].file.filters.empty());
}

TEST_F(SystemTest, DriverReceivesTheParsedFilterGroups) {
    hl::QueueFileAnswer("");
    RequestFile("Open", "txt,log", 0, "notes/today.txt");
    const TFileRequest& request = hl::RequesterCalls().back().file;
    EXPECT_EQ(request.filters, (std::vector<TFileFilter>{{"Files", "*.txt;*.log"}}));
    EXPECT_EQ(request.initialDir, "notes");
    EXPECT_EQ(request.initialName, "today.txt");
    EXPECT_EQ(request.group, 0);
}

TEST_F(SystemTest, UnansweredRequesterIsReportedAndCancelled) {
    EXPECT_THROW(RequestDir("Select dir to monitor", ""), std::logic_error);
    std::string reported;
    hl::SetUnansweredHandler([&](const hl::TRequesterCall& call) { reported = call.title; });
    EXPECT_EQ(RequestFile("Save logfile as", "", 1, ""), "");
    EXPECT_EQ(reported, "Save logfile as");
    EXPECT_EQ(Proceed("Go on?"), -1);  // closed with the close box
    EXPECT_EQ(Confirm("Sure?"), 0);
    EXPECT_FALSE(hl::RequesterCalls().back().answered);
}

TEST_F(SystemTest, MessageBoxesAnswerFromTheQueue) {
    hl::QueueMessageAnswer(1);
    hl::QueueMessageAnswer(0);
    Notify("Done", 1);
    EXPECT_EQ(Confirm("Replace?"), 1);
    EXPECT_EQ(Proceed("Save?"), 0);
    const auto& calls = hl::RequesterCalls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].kind, hl::REQUEST_NOTIFY);
    EXPECT_EQ(calls[0].serious, 1);
    EXPECT_EQ(calls[2].title, "Save?");
}

TEST_F(SystemTest, OpenUrlHandsTheNormalisedUrlToTheSystem) {
    EXPECT_EQ(OpenURL("https://tervala.example/"), 1);
    EXPECT_EQ(OpenURL("no-such-host.invalid"), 1);
    hl::SetOpenUrlResult(0);
    EXPECT_EQ(OpenURL("http://down"), 0);
    EXPECT_EQ(hl::TakeOpenedUrls(), (std::vector<std::string>{"https://tervala.example/",
                                                              "http:no-such-host.invalid",
                                                              "http://down"}));
    EXPECT_TRUE(hl::OpenedUrls().empty());
}

TEST_F(SystemTest, EmptyUrlOpensNothing) {
    EXPECT_EQ(OpenURL(""), 0);
    EXPECT_TRUE(hl::OpenedUrls().empty());
}

// Switches the process to a German locale for one test, generating it when the
// machine has none installed.
class GermanLocale {
public:
    GermanLocale() {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"}) {
            if (std::setlocale(LC_ALL, name)) return;
        }
#ifdef _WIN32
        // Windows names its locales its own way and has them all.
        for (const char* name : {"German_Germany.1252", "de-DE", "German"}) {
            if (std::setlocale(LC_ALL, name)) return;
        }
#else
        const std::string command = "localedef -i de_DE -f UTF-8 " + dir_.path() +
                                    "/de_DE.UTF-8 >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0) return;
        setenv("LOCPATH", dir_.path().c_str(), 1);
        std::setlocale(LC_ALL, "de_DE.UTF-8");
#endif
    }
    ~GermanLocale() {
        std::setlocale(LC_ALL, "C");
#ifndef _WIN32
        unsetenv("LOCPATH");
#endif
    }
    GermanLocale(const GermanLocale&) = delete;
    GermanLocale& operator=(const GermanLocale&) = delete;
    bool active() const {
        const std::string name = std::setlocale(LC_ALL, nullptr);
        return name.rfind("de", 0) == 0 || name.rfind("German", 0) == 0;
    }

private:
    testsupport::TempDir dir_;
};

std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

TEST_F(SystemTest, DateAndTimeTextsAreTheSameInEveryLocale) {
    const std::time_t when = LocalTime(2026, 12, 7, 9, 5, 3);
    GermanLocale german;
    if (!german.active()) GTEST_SKIP() << "no German locale can be had on this machine";
    char localised[64];
    std::strftime(localised, sizeof localised, "%b", std::localtime(&when));
    ASSERT_STREQ(localised, "Dez");  // the process locale really is German
    EXPECT_EQ(DateText(when), "07 Dec 2026");
    EXPECT_EQ(TimeText(when), "09:05:03");
}

}  // namespace
}  // namespace guitest
