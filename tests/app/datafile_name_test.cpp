// The datafile name derived from the monitored directory.

#include "app/datafile_name.h"

#include <gtest/gtest.h>

namespace {

TEST(DatafileName, ReplacesSeparatorsBlanksAndColons) {
    EXPECT_EQ(app::DeriveDatafileName("C:\\My Files"), "C__My_Files");
    EXPECT_EQ(app::DeriveDatafileName("/home/ann/My Files"), "_home_ann_My_Files");
    EXPECT_EQ(app::DeriveDatafileName("/"), "_");
    EXPECT_EQ(app::DeriveDatafileName("/t/it's caf\xc3\xa9"), "_t_it's_caf\xc3\xa9");
}

}  // namespace
