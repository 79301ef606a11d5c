// What tervala-cli writes for a change line, in text and in JSON.

#include "app/cli/change_format.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "app/comparison.h"

namespace {

using cli::JsonString;

// 08 Dec 2026 22:11:58 UTC; the tests compare the two forms, whatever the time zone.
constexpr std::time_t SOME_TIME = 1796767918;

TEST(CliChangeFormat, TextIsTheReportLineAndJsonTheSameMoment) {
    const app::ReportedChange change{app::LABEL_NEW_FILE, "/srv/a b.txt", SOME_TIME};
    const std::string text = cli::TextChangeLine(change);
    EXPECT_EQ(text, app::ChangeLine(app::LABEL_NEW_FILE, "/srv/a b.txt", "\n", SOME_TIME));

    std::smatch t;
    ASSERT_TRUE(std::regex_match(
        text, t,
        std::regex(R"re((\d\d) (\w\w\w) (\d{4}) (\d\d:\d\d:\d\d) - New file: /srv/a b\.txt\n)re")));
    const std::string json = cli::JsonChangeLine(change);
    std::smatch j;
    ASSERT_TRUE(
        std::regex_match(json, j,
                         std::regex(R"re(\{"time":"(\d{4})-(\d\d)-(\d\d)T(\d\d:\d\d:\d\d)",)re"
                                    R"re("change":"new file","path":"/srv/a b\.txt"\}\n)re")))
        << json;
    const std::vector<std::string> months{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    EXPECT_EQ(j[1], t[3]);
    EXPECT_EQ(months.at(std::stoi(j[2]) - 1), t[2]);
    EXPECT_EQ(j[3], t[1]);
    EXPECT_EQ(j[4], t[4]);
}

TEST(CliChangeFormat, JsonStringsEscapeWhatJsonCannotHoldAndKeepTheRest) {
    EXPECT_EQ(JsonString("/plain/path.txt"), R"("/plain/path.txt")");
    EXPECT_EQ(JsonString(R"(say "hi" \ there)"), R"("say \"hi\" \\ there")");
    EXPECT_EQ(JsonString("a\nb\tc\rd\x01z\x7f"), R"("a\nb\tc\rd\u0001z\u007f")");
    // U+0085, a control character in UTF-8.
    EXPECT_EQ(JsonString("x\xc2\x85y"), R"("x\u0085y")");
    // Valid UTF-8 passes as it is, four-byte characters included.
    EXPECT_EQ(JsonString("caf\xc3\xa9 \xf0\x9f\x93\x81"), "\"caf\xc3\xa9 \xf0\x9f\x93\x81\"");
}

TEST(CliChangeFormat, BytesThatAreNotUtf8BecomeOneEscapeEach) {
    EXPECT_EQ(JsonString("bad\xff.txt"), R"("bad\udcff.txt")");
    // A sequence cut short, and an encoded surrogate, which UTF-8 does not allow.
    EXPECT_EQ(JsonString("\xc3"), R"("\udcc3")");
    EXPECT_EQ(JsonString("\xed\xa0\x80"), R"("\udced\udca0\udc80")");
    EXPECT_EQ(JsonString("\xc3\xa9\xe9"), "\"\xc3\xa9\\udce9\"");
}

}  // namespace
