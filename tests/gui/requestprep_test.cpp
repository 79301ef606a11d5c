// Requester arguments and URLs as the driver receives them.

#include "gui/requestprep.h"

#include <gtest/gtest.h>

#include "runtime/filesystem.h"
#include "tests/support/temp_dir.h"

namespace guitest {
namespace {

using namespace gui;
using namespace std::string_literals;

TEST(FileFilterTest, PlainListIsOneGroupNamedFiles) {
    EXPECT_EQ(FilterText("txt,log"), "Files\0*.txt;*.log\0"s);
    EXPECT_EQ(FilterGroups("txt,log"), (std::vector<TFileFilter>{{"Files", "*.txt;*.log"}}));
}

TEST(FileFilterTest, NamedGroups) {
    EXPECT_EQ(FilterGroups("Text files:txt,log;Images:png"),
              (std::vector<TFileFilter>{{"Text files", "*.txt;*.log"}, {"Images", "*.png"}}));
}

TEST(FileFilterTest, EmptyListOffersNoChoices) {
    EXPECT_EQ(FilterText(""), "");
    EXPECT_TRUE(FilterGroups("").empty());
}

TEST(FileFilterTest, PreselectionByTheInitialPathsExtension) {
    const char* list = "Text:txt;Images:png,jpg";
    EXPECT_EQ(PreselectedFilterGroup(list, "c:/data/a.txt"), 1);
    EXPECT_EQ(PreselectedFilterGroup(list, "c:/data/a.png"), 0);  // in the last group
    EXPECT_EQ(PreselectedFilterGroup(list, "c:/data/a.TXT"), 1);
    EXPECT_EQ(PreselectedFilterGroup(list, "c:/data/a"), 0);
    EXPECT_EQ(PreselectedFilterGroup(list, "c:/data/a.jpg"), 0);
    EXPECT_EQ(PreselectedFilterGroup("A:x;B:png,gif;C:z", "p.gif"), 2);
    EXPECT_EQ(PreselectedFilterGroup("A:x;B:png,gif;C:z", "p.png"), 2);
    EXPECT_EQ(PreselectedFilterGroup("", "p.png"), 0);
}

TEST(InitialPathTest, WindowsPathsSplitAtTheLastBackslash) {
    const TInitialPath initial = SplitInitialPath("c:/data/a.png", '\\');
    EXPECT_EQ(initial.dir, "c:\\data");
    EXPECT_EQ(initial.name, "a.png");
    EXPECT_EQ(SplitInitialPath("a.png", '\\').dir, "");
    EXPECT_EQ(SplitInitialPath("a.png", '\\').name, "a.png");
}

TEST(InitialPathTest, PosixPathsKeepBackslashesInNames) {
    const TInitialPath initial = SplitInitialPath("/data/back\\slash.txt", '/');
    EXPECT_EQ(initial.dir, "/data");
    EXPECT_EQ(initial.name, "back\\slash.txt");
    EXPECT_EQ(SplitInitialPath("/a.txt", '/').dir, "");  // the root
}

TEST(InitialPathTest, FileRequestCarriesEverythingParsed) {
    const TFileRequest request =
        PrepareFileRequest("Save datafile as", "Text:txt;Images:png,jpg", 1, "/data/a.txt");
    EXPECT_EQ(request.title, "Save datafile as");
    EXPECT_EQ(request.filters.size(), 2u);
    EXPECT_EQ(request.group, 1);
#ifdef _WIN32
    EXPECT_EQ(request.initialDir, "\\data");  // "/" is read as the backslash
#else
    EXPECT_EQ(request.initialDir, "/data");
#endif
    EXPECT_EQ(request.initialName, "a.txt");
    EXPECT_EQ(request.save, 1);
}

class UrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = rt::CurrentDir();
        ASSERT_TRUE(rt::ChangeDir(dir.path()));
    }
    void TearDown() override { rt::ChangeDir(previous); }
    testsupport::TempDir dir;
    std::string previous;
};

TEST_F(UrlTest, WebAndFileUrlsPassUnchangedWhateverTheirCase) {
    EXPECT_EQ(NormalizeURL("HTTP://Example.org/x"), "HTTP://Example.org/x");
    EXPECT_EQ(NormalizeURL("https://example.org"), "https://example.org");
    EXPECT_EQ(NormalizeURL("File:/tmp/x"), "File:/tmp/x");
}

TEST_F(UrlTest, ExistingRelativePathBecomesAnAbsoluteFileUrlWithItsAnchor) {
    dir.write("doc.html", "<p>");
    EXPECT_EQ(NormalizeURL("doc.html#part2"), "file:" + (dir / "doc.html") + "#part2");
    EXPECT_EQ(NormalizeURL(dir.path()), "file:" + dir.path());
}

TEST_F(UrlTest, BareHostBecomesHttpWithoutSlashes) {
    EXPECT_EQ(NormalizeURL("example.org"), "http:example.org");
    EXPECT_EQ(NormalizeURL("example.org#top"), "http:example.org#top");
}

}  // namespace
}  // namespace guitest
