#include "app/user_guide.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "app/files_written.h"
#include "app/status_texts.h"
#include "runtime/program.h"

namespace {

// This test program sits in build/tests/app, so its "prefix" is build/tests.
TEST(UserGuide, IsTheGuideUnderShareBesideTheProgramsDirectory) {
    const std::filesystem::path program = rt::ProgramFile();
    const std::string prefix = program.parent_path().parent_path().generic_string();
    ASSERT_EQ(prefix.find_first_of(" #%?"), std::string::npos) << "a path this test cannot spell";
    // A drive letter ("C:/x") is not rooted the way "/x" is: the URL adds its own "/".
    const std::string scheme = prefix.front() == '/' ? "file://" : "file:///";
    EXPECT_EQ(app::UserGuideURL(), scheme + prefix + "/share/doc/tervala/index.html");
}

std::string GuideHtml() {
    std::ifstream in(TERVALA_USER_GUIDE, std::ios::binary);
    std::ostringstream html;
    html << in.rdbuf();
    return html.str();
}

// A piece of the guide as a reader sees it, with an italic part written {part}.
std::string AsRead(std::string html) {
    html = std::regex_replace(html, std::regex("<i>([^<]*)</i>"), "{$1}");
    html = std::regex_replace(html, std::regex("<[^>]*>"), "");
    for (const auto& [entity, character] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}}) {
        html = std::regex_replace(html, std::regex(entity), character);
    }
    html = std::regex_replace(html, std::regex("\\s+"), " ");
    return std::regex_replace(html, std::regex("^ | $"), "");
}

// Every line (cells break lines with <br>) of the first column of the guide's table with
// this id.
std::set<std::string> FirstColumn(const std::string& html, const std::string& id) {
    std::smatch table;
    const std::regex tableAt("<table id=\"" + id + "\">([\\s\\S]*?)</table>");
    if (!std::regex_search(html, table, tableAt)) return {};
    std::set<std::string> lines;
    const std::string rows = table[1];
    const std::regex firstCell("<tr><td>([\\s\\S]*?)</td>");
    for (std::sregex_iterator row(rows.begin(), rows.end(), firstCell), end; row != end; ++row) {
        const std::string cell = (*row)[1];
        const std::regex lineBreak("<br>");
        for (std::sregex_token_iterator line(cell.begin(), cell.end(), lineBreak, -1), none; line != none;
             ++line) {
            lines.insert(AsRead(*line));
        }
    }
    return lines;
}

// The guide's tables list what the program can show and write, and nothing else.
TEST(UserGuide, ListsEveryStatusTextAndEveryFileWrittenAndNoOther) {
    const std::string html = GuideHtml();
    ASSERT_FALSE(html.empty());
    EXPECT_EQ(FirstColumn(html, "status-texts"),
              std::set<std::string>(app::STATUS_TEXTS.begin(), app::STATUS_TEXTS.end()));
    const auto written = app::FilesWritten("{datafile}", "{log}");
    EXPECT_EQ(FirstColumn(html, "files-written"), std::set<std::string>(written.begin(), written.end()));
}

}  // namespace
