#include "tools/scenario/script.h"

#include <gtest/gtest.h>

#include "tools/scenario/line_match.h"
#include "tools/scenario/script_text.h"

namespace scenario {
namespace {

const TPlaceholders PLACES{"/tmp/r", "/"};

std::vector<std::string> Split(std::string_view line) {
    std::vector<std::string> args;
    std::string error;
    EXPECT_TRUE(SplitArguments(line, PLACES, args, error)) << error;
    return args;
}

std::string SplitError(std::string_view line) {
    std::vector<std::string> args;
    std::string error;
    EXPECT_FALSE(SplitArguments(line, PLACES, args, error));
    return error;
}

TEST(ScriptText, QuotesEscapesAndPlaceholders) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Split("  write\t$ROOT/a.txt   hello "), (V{"write", "/tmp/r/a.txt", "hello"}));
    EXPECT_EQ(Split(R"(write "$ROOT$SEPmy file" "say \"hi\"\\n\r\n\t")"),
              (V{"write", "/tmp/r/my file", "say \"hi\"\\n\r\n\t"}));
    EXPECT_EQ(Split(R"(a "" b)"), (V{"a", "", "b"}));
    EXPECT_EQ(Split(R"(pre"fix and"post)"), (V{"prefix andpost"}));
    EXPECT_EQ(Split(R"(caf\u00e9 \u20AC)"), (V{"caf\xC3\xA9", "\xE2\x82\xAC"}));
    // A surrogate pair is one character; U+DC80..U+DCFF is one raw byte.
    EXPECT_EQ(Split(R"(\uD83D\uDE00 bad\uDCE9)"), (V{"\xF0\x9F\x98\x80", "bad\xE9"}));
    EXPECT_EQ(Split("$HOME $ROOTS"), (V{"$HOME", "/tmp/rS"}));
}

TEST(ScriptText, MalformedText) {
    EXPECT_EQ(SplitError(R"(write "open)"), "a quoted argument is not closed");
    EXPECT_EQ(SplitError(R"(a\qb)"), "unknown escape \\q");
    EXPECT_EQ(SplitError(R"(end\)"), "a backslash ends the line");
    EXPECT_EQ(SplitError(R"(\u12G4)"), "\\u needs four hex digits");
    EXPECT_EQ(SplitError(R"(\uD83D x)"), "a high surrogate needs a low one");
    EXPECT_EQ(SplitError(R"(\uDE00)"), "a lone low surrogate");
}

TEST(ScriptText, BlockLinesAreTakenWhole) {
    std::string line;
    std::string error;
    ASSERT_TRUE(ExpandBlockLine(R"(<T> - New file: $ROOT/"a  b".txt\t\u00e9)", PLACES, line, error));
    EXPECT_EQ(line, "<T> - New file: /tmp/r/\"a  b\".txt\t\xC3\xA9");
}

bool Parse(std::string_view text, TScript& script, std::string& error) {
    return ParseScript("s.scn", text, PLACES, script, error);
}

TEST(Script, CommandsBlocksAndLineNumbers) {
    TScript script;
    std::string error;
    ASSERT_TRUE(Parse("# comment\n\nmkdir $ROOT/t\r\n  expect-report\n<T> - x\n\n  # kept\n end \n"
                      "when polls 3 click startstop\ntimeout 5\n",
                      script, error))
        << error;
    ASSERT_EQ(script.commands.size(), 4u);
    EXPECT_EQ(script.commands[0].line, 3);
    EXPECT_EQ(script.commands[0].args, std::vector<std::string>{"/tmp/r/t"});
    EXPECT_EQ(script.commands[1].kind, TCommandKind::Expectation);
    EXPECT_EQ(script.commands[1].block, (std::vector<std::string>{"<T> - x", "", "  # kept"}));
    EXPECT_EQ(script.commands[2].line, 9);
    const TCommand armed = ArmedCommand(script.commands[2]);
    EXPECT_EQ(armed.name, "click");
    EXPECT_EQ(armed.args, std::vector<std::string>{"startstop"});
    EXPECT_EQ(armed.kind, TCommandKind::User);
    EXPECT_EQ(script.timeoutSeconds, 5);
}

TEST(Script, DefaultTimeout) {
    TScript script;
    std::string error;
    ASSERT_TRUE(Parse("close\n", script, error));
    EXPECT_EQ(script.timeoutSeconds, DEFAULT_TIMEOUT_SECONDS);
}

TEST(Script, MalformedLinesNameTheirLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"close\nfrobnicate x\n", "s.scn:2: unknown command \"frobnicate\""},
        {"click\n", "s.scn:1: click: takes 1 argument(s), found 0"},
        {"click nowhere\n", "s.scn:1: click: \"nowhere\" is not a gadget name"},
        {"menu quit\n", "s.scn:1: menu: \"quit\" is not a menu item (exit or about)"},
        {"chmod 9 $ROOT/x\n", "s.scn:1: chmod: \"9\" is not an octal permission"},
        {"write-hex $ROOT/x ABC\n", "s.scn:1: write-hex: \"ABC\" is not a sequence of hex byte pairs"},
        {"timeout 0\n", "s.scn:1: timeout: \"0\" is not a number of seconds"},
        {"expect-progress -1\n", "s.scn:1: expect-progress: \"-1\" is not a number of 0 or more"},
        {"\n\nexpect-log $ROOT/l\nline\n", "s.scn:3: expect-log: no `end` line closes the block"},
        {"expect-report\nbad \\x\nend\n", "s.scn:2: malformed line: unknown escape \\x"},
        {"write \"x\n", "s.scn:1: malformed line: a quoted argument is not closed"},
        {"when sometimes 1 close\n", "s.scn:1: when: \"sometimes\" is not a trigger condition"},
        {"when polls x close\n", "s.scn:1: when: \"x\" is not a number of 0 or more"},
        {"when status x expect-status y\n",
         "s.scn:1: when: \"expect-status\" cannot be armed: a trigger takes a user or file command"},
        {"when status x click\n", "s.scn:1: when: click takes 1 argument(s), found 0"},
    };
    for (const auto& [text, message] : cases) {
        TScript script;
        std::string error;
        EXPECT_FALSE(Parse(text, script, error)) << text;
        EXPECT_EQ(error, message) << text;
    }
}

TEST(LineMatch, MasksOnlyALeadingTimestamp) {
    EXPECT_EQ(MaskTimestamp("07 Dec 2026 09:05:03 - New dir: /a"), "<T> - New dir: /a");
    EXPECT_EQ(MaskTimestamp("07 Dec 2026 09:05:03"), "<T>");
    EXPECT_EQ(MaskTimestamp("07 Dez 2026 09:05:03 - x"), "07 Dez 2026 09:05:03 - x");
    EXPECT_EQ(MaskTimestamp("7 Dec 2026 09:05:03 - x"), "7 Dec 2026 09:05:03 - x");
    EXPECT_EQ(MaskTimestamp("x 07 Dec 2026 09:05:03"), "x 07 Dec 2026 09:05:03");
    EXPECT_EQ(MaskTimestamp("07 Dec 2026 09-05:03"), "07 Dec 2026 09-05:03");
}

TEST(LineMatch, SplitsAtLineFeeds) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitLines(""), V{});
    EXPECT_EQ(SplitLines("a\n"), V{"a"});
    EXPECT_EQ(SplitLines("a\n\nb"), (V{"a", "", "b"}));
}

TEST(LineMatch, ComparesInOrderAsSetOrAsSubsequence) {
    using V = std::vector<std::string>;
    const V found{"01 Jan 2027 00:00:00 a", "b", "b", "c"};
    EXPECT_EQ(DescribeMismatch({"<T> a", "b", "b", "c"}, found, TLineMatch::Exact), "");
    EXPECT_NE(DescribeMismatch({"b", "<T> a", "b", "c"}, found, TLineMatch::Exact), "");
    EXPECT_EQ(DescribeMismatch({"c", "b", "<T> a", "b"}, found, TLineMatch::AnyOrder), "");
    // As a set every line must occur as often as expected.
    EXPECT_NE(DescribeMismatch({"c", "b", "<T> a"}, found, TLineMatch::AnyOrder), "");
    EXPECT_EQ(DescribeMismatch({"<T> a", "c"}, found, TLineMatch::Subsequence), "");
    EXPECT_EQ(DescribeMismatch({"b", "b"}, found, TLineMatch::Subsequence), "");
    EXPECT_NE(DescribeMismatch({"c", "b"}, found, TLineMatch::Subsequence), "");
    EXPECT_NE(DescribeMismatch({"b", "b", "b"}, found, TLineMatch::Subsequence), "");
    const std::string message = DescribeMismatch({"<T> a", "x"}, found, TLineMatch::Exact);
    EXPECT_NE(message.find("first difference at line 2: expected \"x\", found \"b\""),
              std::string::npos)
        << message;
}

TEST(LineMatch, QuotesAsScriptsWrite) {
    EXPECT_EQ(Quoted("a\"b\\c\r\n"), R"("a\"b\\c\r\n")");
    EXPECT_EQ(Quoted("caf\xC3\xA9 bad\xE9"), "\"caf\xC3\xA9 bad\\uDCE9\"");
}

}  // namespace
}  // namespace scenario
