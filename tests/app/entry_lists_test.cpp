// The entry lists in a working database: paths go in and come back as they were given,
// lookups match exactly one path, and the previous list keeps a directory's empty identity.

#include "app/entry_lists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/sql_text.h"
#include "database/sqlite/sqlite.h"
#include "runtime/path.h"

namespace {

using app::TEntryLists;
using app::TListReader;

// A path written with "/" in the platform's form.
std::string Native(std::string path) {
    std::replace(path.begin(), path.end(), '/', rt::PATH_SEPARATOR);
    return path;
}

class EntryListsTest : public ::testing::Test {
protected:
    void SetUp() override {
        tdb = db::TDBSQLite::Create(":memory:", "", 0, "", "", "", "");
        ASSERT_TRUE(tdb);
        tdb->executeQuery(app::sql::SET_ENCODING);
    }

    void CreateTables(TEntryLists& lists) {
        ASSERT_TRUE(lists.CreatePrevious());
        ASSERT_TRUE(lists.CreateCurrent());
    }

    // Rotates `allist` into `lastallist` as a logging run does.
    void Rotate() {
        TEntryLists lists(*tdb);
        lists.ClearPrevious();
        TListReader old = lists.ReadOldList();
        while (old.Next()) lists.CopyToPrevious(old);
        lists.ClearCurrent();
    }

    std::vector<std::string> RawRows(const std::string& table) {
        std::vector<std::string> rows;
        auto query = tdb->executeQuery("select file, ifnull(ident, '<NULL>') from " + table +
                                       " order by id");
        while (query->nextRow()) {
            const auto row = query->rowRecord();
            rows.push_back(row->getString(0) + "|" + row->getString(1));
        }
        return rows;
    }

    // The comparison's questions, asked in its order: each current path's previous identity
    // ("-" when it is not there), then whether each previous path is still there.
    std::vector<std::string> Answers() {
        std::vector<std::string> answers;
        TEntryLists lists(*tdb);
        auto current = lists.ReadCurrent();
        while (current && current->Next()) answers.push_back(lists.PreviousIdentOf(*current).value_or("-"));
        lists.CurrentListAsked();
        TListReader previous = lists.ReadPrevious();
        while (previous.Next()) answers.push_back(lists.InCurrent(previous) ? "in" : "out");
        return answers;
    }

    std::shared_ptr<db::TDBSQLite> tdb;
};

TEST_F(EntryListsTest, PathsOfAnyBytesComeBackAsTheyWereGivenAndAreFoundAgain) {
    const std::vector<std::string> paths = {
        "/t", "/t/it's", "/t/say \"hi\"", "/t/caf\xe9", "/t/para\xe2\x80\xa9graph", "/t/\xf0\x9f\x98\x80",
        "/t/non\xef\xbf\xbe", "/t/non\xef\xbf\xbf"};
    {
        TEntryLists lists(*tdb);
        CreateTables(lists);
        ASSERT_TRUE(lists.AddDirectory(paths[0]));
        for (std::size_t i = 1; i < paths.size(); ++i) lists.AddFile(paths[i], std::to_string(i));
    }
    Rotate();
    TEntryLists lists(*tdb);
    for (const auto& path : paths) lists.AddFile(path, "new");
    auto current = lists.ReadCurrent();
    ASSERT_TRUE(current);
    std::size_t i = 0;
    while (current->Next()) {
        ASSERT_LT(i, paths.size());
        EXPECT_EQ(current->Path(), paths[i]);
        EXPECT_EQ(lists.PreviousIdentOf(*current), i == 0 ? "" : std::to_string(i));
        ++i;
    }
    EXPECT_EQ(i, paths.size());
    TListReader previous = lists.ReadPrevious();
    while (previous.Next()) EXPECT_TRUE(lists.InCurrent(previous)) << previous.Path();
}

// The lookups try the row after the last one found first; whatever the two orders, they
// answer as a search of the whole list would.
TEST_F(EntryListsTest, LookupsAnswerAlikeWhateverTheOrderOfTheTwoLists) {
    std::vector<std::string> tree;
    for (int i = 0; i < 300; ++i) tree.push_back("/t/" + std::to_string(i / 20) + "/" + std::to_string(i));
    std::mt19937 random(7);
    std::vector<std::string> shuffled = tree;
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    std::vector<std::string> fewerAndMore;  // every seventh gone, a new one after every fifth
    for (std::size_t i = 0; i < tree.size(); ++i) {
        if (i % 7 != 0) fewerAndMore.push_back(tree[i]);
        if (i % 5 == 0) fewerAndMore.push_back(tree[i] + "new");
    }
    const std::vector<std::string> withoutABlock(tree.begin() + 120, tree.end());
    const std::vector<std::string> withoutTheEnd(tree.begin(), tree.end() - 50);
    std::vector<std::string> withABlockBack(tree.begin() + 120, tree.end());
    withABlockBack.insert(withABlockBack.end(), tree.begin(), tree.begin() + 120);
    const std::vector<std::string> reversed(tree.rbegin(), tree.rend());
    const std::vector<std::vector<std::string>> currents = {
        tree, shuffled, fewerAndMore, withoutABlock, withoutTheEnd, withABlockBack, reversed, {}};
    for (const auto& previous : {tree, fewerAndMore, reversed}) {
        for (const auto& current : currents) {
            tdb->executeQuery("drop table if exists allist");
            tdb->executeQuery("drop table if exists lastallist");
            std::map<std::string, std::string> previousIdents;
            {
                TEntryLists lists(*tdb);
                CreateTables(lists);
                for (const auto& path : previous) {
                    previousIdents[path] = std::to_string(path.size() * 31 % 97);
                    lists.AddFile(path, previousIdents[path]);
                }
            }
            Rotate();
            {
                TEntryLists lists(*tdb);
                for (const auto& path : current) lists.AddFile(path, "0");
            }
            std::vector<std::string> expected;
            for (const auto& path : current) {
                expected.push_back(previousIdents.count(path) ? previousIdents[path] : "-");
            }
            const std::set<std::string> inCurrent(current.begin(), current.end());
            for (const auto& path : previous) expected.push_back(inCurrent.count(path) ? "in" : "out");
            EXPECT_EQ(Answers(), expected);
        }
    }
}

// Only a datafile from elsewhere holds one path twice in a list, or compares paths without
// regard to case: a path's previous identity is then still the first row's under it, whether
// the second row is reached by a search or by reading on where the lists agree.
TEST_F(EntryListsTest, APathThatIsInThePreviousListTwiceAnswersWithItsFirstRow) {
    for (const char* collation : {"", " collate nocase"}) {
        const bool nocase = *collation != '\0';
        const std::string again = nocase ? "/t/A" : "/t/a";
        struct Case {
            std::vector<std::string> current;
            std::vector<std::string> answers;
        };
        const Case cases[] = {
            // The current list compares exactly, so '/t/a' is gone from it under the collation.
            {{"/t/b", again}, {"2", "1", nocase ? "out" : "in", "in", "in"}},
            {{"/t/a", "/t/b", again}, {"1", "2", "1", "in", "in", "in"}},
        };
        for (const Case& c : cases) {
            tdb->executeQuery("drop table if exists allist");
            tdb->executeQuery("drop table if exists lastallist");
            tdb->executeQuery(std::string("CREATE TABLE lastallist (id integer primary key AUTOINCREMENT, "
                                          "file text") + collation + ", ident text)");
            tdb->executeQuery(app::sql::CREATE_ALLIST);
            const std::vector<std::string> rows = {"('/t/a', '1')", "('/t/b', '2')", "('" + again + "', '3')"};
            for (const std::string& row : rows) {
                tdb->executeQuery("insert into lastallist (file, ident) values " + row);
            }
            {
                TEntryLists lists(*tdb);
                for (const std::string& path : c.current) lists.AddFile(path, "0");
            }
            EXPECT_EQ(Answers(), c.answers) << collation << " " << c.current.size();
        }
    }
}

TEST_F(EntryListsTest, APathSpelledLikeAColumnIsLookedUpAsAPath) {
    {
        TEntryLists lists(*tdb);
        CreateTables(lists);
        ASSERT_TRUE(lists.AddDirectory("file"));
        lists.AddFile("id", "1");
    }
    Rotate();
    TEntryLists lists(*tdb);
    lists.AddFile("ident", "2");
    TListReader previous = lists.ReadPrevious();
    std::vector<std::string> removed;
    while (previous.Next()) {
        if (!lists.InCurrent(previous)) removed.push_back(previous.Path());
    }
    EXPECT_EQ(removed, (std::vector<std::string>{"file", "id"}));
    auto current = lists.ReadCurrent();
    ASSERT_TRUE(current && current->Next());
    EXPECT_FALSE(lists.PreviousIdentOf(*current));
}

TEST_F(EntryListsTest, ADirectoryKeepsNullInTheCurrentListAndTheEmptyTextInThePrevious) {
    {
        TEntryLists lists(*tdb);
        CreateTables(lists);
        ASSERT_TRUE(lists.AddDirectory("/t"));
        lists.AddFile("/t/a", "0");
    }
    EXPECT_EQ(RawRows("allist"), (std::vector<std::string>{"/t|<NULL>", "/t/a|0"}));
    Rotate();
    EXPECT_EQ(RawRows("lastallist"), (std::vector<std::string>{"/t|", "/t/a|0"}));
    EXPECT_TRUE(RawRows("allist").empty());
}

TEST_F(EntryListsTest, RowsBelowADirectoryAreKeptInTheirOrderAndNoOthers) {
    // Names that sort among the kept ones without being below the directory: just before
    // and just after the separator, and beyond ASCII.
    const std::string before = Native("/t/d") + char(rt::PATH_SEPARATOR - 1) + "txt";
    const std::string after = Native("/t/d") + char(rt::PATH_SEPARATOR + 1);
    {
        TEntryLists lists(*tdb);
        CreateTables(lists);
        ASSERT_TRUE(lists.AddDirectory(Native("/t")));
        for (const std::string& path :
             {Native("/t/d"), before, Native("/t/d\xc4\xaf"), after, Native("/t/dx"), Native("/t/c")}) {
            lists.AddDirectory(path);
        }
        lists.AddFile(Native("/t/d/z"), "1");
        lists.AddDirectory(Native("/t/d/a"));
        lists.AddFile(Native("/t/d/a/it's"), "2");
        lists.AddFile(Native("/t/d\xc4\xaf/x"), "3");
        lists.AddFile(Native("/t/d/bad\xff"), "4");
    }
    Rotate();
    TEntryLists lists(*tdb);
    ASSERT_TRUE(lists.AddDirectory(Native("/t")));
    EXPECT_EQ(lists.KeepPreviousBelow(Native("/t/d")), 4);
    EXPECT_EQ(lists.KeepPreviousBelow(Native("/t/gone")), 0);
    EXPECT_EQ(RawRows("allist"),
              (std::vector<std::string>{Native("/t|<NULL>"), Native("/t/d/z|1"), Native("/t/d/a|<NULL>"),
                                        Native("/t/d/a/it's|2"), Native("/t/d/bad\xf4\x8f\xbf\xbf|4")}));
}

TEST_F(EntryListsTest, BothListsMustAnswerWithTheirIdentities) {
    TEntryLists lists(*tdb);
    tdb->executeQuery("CREATE TABLE allist (id integer primary key, file text, ident text)");
    tdb->executeQuery("CREATE TABLE lastallist (id integer primary key, file text)");
    EXPECT_FALSE(lists.BothAreReadableTables());
    tdb->executeQuery("ALTER TABLE lastallist ADD COLUMN ident text");
    EXPECT_TRUE(lists.BothAreReadableTables());
}

// A view answers the same selects, but may compute its rows without end.
TEST_F(EntryListsTest, ListsThatAreViewsAreRefused) {
    TEntryLists lists(*tdb);
    tdb->executeQuery("CREATE TABLE lastallist (id integer primary key, file text, ident text)");
    tdb->executeQuery(
        "CREATE VIEW allist AS WITH RECURSIVE n(id) AS (SELECT 1 UNION ALL SELECT id + 1 FROM n) "
        "SELECT id, 'x' AS file, NULL AS ident FROM n");
    EXPECT_FALSE(lists.BothAreReadableTables());
    tdb->executeQuery("DROP VIEW allist");
    tdb->executeQuery("CREATE TABLE AlList (id integer primary key, file text, ident text)");
    EXPECT_TRUE(lists.BothAreReadableTables());
    tdb->executeQuery("DROP TABLE lastallist");
    tdb->executeQuery("CREATE VIEW lastallist AS SELECT * FROM allist");
    EXPECT_FALSE(lists.BothAreReadableTables());
}

// The fingerprint tells a saved list from the same entries stored again by a later run.
TEST_F(EntryListsTest, TheFingerprintChangesWithEveryRowAndWithEveryNewRun) {
    TEntryLists lists(*tdb);
    EXPECT_EQ(lists.CurrentFingerprint(), "");
    CreateTables(lists);
    const auto scan = [this](std::string_view ident) {
        TEntryLists run(*tdb);
        run.AddDirectory("/t");
        run.AddFile("/t/a", ident);
        return run.CurrentFingerprint();
    };
    const std::string first = scan("1");
    EXPECT_EQ(first.substr(0, 2), "2 ");
    EXPECT_EQ(lists.CurrentFingerprint(), first);
    Rotate();
    EXPECT_NE(scan("1"), first);
    Rotate();
    const std::string other = scan("2");
    tdb->executeQuery("update allist set ident = '1' where ident = '2'");
    EXPECT_NE(lists.CurrentFingerprint(), other);
    // A path and an identity do not run into each other.
    tdb->executeQuery("update allist set file = '/t/a1', ident = '' where ident = '1'");
    const std::string joined = lists.CurrentFingerprint();
    tdb->executeQuery("update allist set file = '/t/a', ident = '1' where ident = ''");
    EXPECT_NE(lists.CurrentFingerprint(), joined);
}

TEST_F(EntryListsTest, AFailedInsertIsReportedAndTheNextOneWorksOnceTheTableIsThere) {
    TEntryLists lists(*tdb);
    EXPECT_FALSE(lists.AddDirectory("/t"));
    ASSERT_TRUE(lists.CreatePrevious());
    ASSERT_TRUE(lists.CreateCurrent());
    EXPECT_TRUE(lists.AddDirectory("/t"));
    EXPECT_EQ(RawRows("allist"), (std::vector<std::string>{"/t|<NULL>"}));
}

TEST_F(EntryListsTest, AListThatCannotBeReadIsNoList) {
    TEntryLists lists(*tdb);
    EXPECT_FALSE(lists.BothAreReadableTables());
    EXPECT_FALSE(lists.ReadCurrent());
    EXPECT_FALSE(lists.ReadPrevious().Next());
}

}  // namespace
