// Statement texts: values travel inside quotes with inner quotes doubled.

#include "app/sql_text.h"

#include <gtest/gtest.h>

#include "app/datafile_name.h"

namespace {

using namespace app::sql;

TEST(SqlText, InsertsQuoteEveryValueAndDoubleInnerApostrophes) {
    EXPECT_EQ(InsertDirectory("/t/it's"), "insert into allist (file) VALUES ('/t/it''s')");
    EXPECT_EQ(InsertFile("/t/a''b.txt", "1'2"),
              "insert into allist (file,ident) VALUES ('/t/a''''b.txt', '1''2')");
    EXPECT_EQ(InsertPrevious("C:\\t\\x", ""),
              "insert into lastallist (file,ident) VALUES ('C:\\t\\x', '')");
}

TEST(SqlText, LookupsUseTheirOwnQuoteKind) {
    EXPECT_EQ(LookupPrevious("/t/it's"), "select file,ident from lastallist where file = '/t/it''s'");
    // The removal lookup encloses the path in double quotes: only those are doubled.
    EXPECT_EQ(LookupCurrent("/t/say \"hi\" it's"),
              "select file,ident from allist where file = \"/t/say \"\"hi\"\" it's\"");
}

TEST(SqlText, QuotedKeepsNonAsciiBytes) {
    EXPECT_EQ(Quoted("caf\xc3\xa9 '", '\''), "'caf\xc3\xa9 '''");
    EXPECT_EQ(Quoted("", '"'), "\"\"");
}

TEST(DatafileName, ReplacesSeparatorsBlanksAndColons) {
    EXPECT_EQ(app::DeriveDatafileName("C:\\My Files"), "C__My_Files");
    EXPECT_EQ(app::DeriveDatafileName("/home/ann/My Files"), "_home_ann_My_Files");
    EXPECT_EQ(app::DeriveDatafileName("/"), "_");
    EXPECT_EQ(app::DeriveDatafileName("/t/it's caf\xc3\xa9"), "_t_it's_caf\xc3\xa9");
}

}  // namespace
