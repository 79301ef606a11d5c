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
