#include "runtime/path.h"

#include <gtest/gtest.h>

using rt::CollapseDoubledSeparators;
using rt::JoinEntryPath;

TEST(EntryPaths, WindowsExamples) {
    EXPECT_EQ(JoinEntryPath("C:\\t", "b.txt", '\\'), "C:\\t\\b.txt");
    EXPECT_EQ(JoinEntryPath("C:\\", "name", '\\'), "C:\\name");
    EXPECT_EQ(JoinEntryPath("C:\\a\\b", "name", '\\'), "C:\\a\\b\\name");
}

TEST(EntryPaths, PosixExamples) {
    EXPECT_EQ(JoinEntryPath("/", "name", '/'), "/name");
    EXPECT_EQ(JoinEntryPath("/home/ann", "it's here.txt", '/'), "/home/ann/it's here.txt");
    EXPECT_EQ(JoinEntryPath("/home/ann/", "x", '/'), "/home/ann/x");
}

TEST(EntryPaths, CollapseIsOneNonOverlappingPass) {
    EXPECT_EQ(CollapseDoubledSeparators("a\\\\\\b", '\\'), "a\\\\b");    // three become two
    EXPECT_EQ(CollapseDoubledSeparators("a\\\\\\\\b", '\\'), "a\\\\b");  // four become two
    EXPECT_EQ(CollapseDoubledSeparators("\\\\server\\share", '\\'), "\\server\\share");
    EXPECT_EQ(CollapseDoubledSeparators("a//b", '\\'), "a//b");  // only the given separator
}

TEST(FileUrls, PosixPathsKeepTheirSlashesAndEscapeTheRest) {
    using rt::FileURL;
    EXPECT_EQ(FileURL("/usr/share/doc/tervala/index.html", '/'),
              "file:///usr/share/doc/tervala/index.html");
    EXPECT_EQ(FileURL("/home/ann/My Files/#1 100%.html", '/'),
              "file:///home/ann/My%20Files/%231%20100%25.html");
    EXPECT_EQ(FileURL("/t/caf\xC3\xA9/a:b?c", '/'), "file:///t/caf%C3%A9/a%3Ab%3Fc");
    EXPECT_EQ(FileURL("/", '/'), "file:///");
}

TEST(FileUrls, WindowsPathsGetARootedDriveAndForwardSlashes) {
    EXPECT_EQ(rt::FileURL("C:\\Program Files\\Tervala\\index.html", '\\'),
              "file:///C:/Program%20Files/Tervala/index.html");
}
