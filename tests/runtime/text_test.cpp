#include "runtime/text.h"

#include <gtest/gtest.h>

#include <vector>

using namespace rt;

TEST(Text, RoundTripsEveryPlaneThroughUtf16) {
    const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";  // a é € 😀 z
    const std::u16string units = Utf8ToUtf16(text);
    EXPECT_EQ(units, (std::u16string{u'a', 0xE9, 0x20AC, 0xD83D, 0xDE00, u'z'}));
    EXPECT_EQ(Utf16ToUtf8(units), text);
    EXPECT_EQ(Utf16Length(text), 6u);
}

TEST(Text, InvalidBytesSurviveAndTheRestOfTheTextIsKept) {
    // A lone continuation byte, a truncated sequence, an overlong form and a Latin-1 byte.
    const std::string text = std::string("ok\x80") + "mid\xE2\x82" + "x\xC0\xAF" + "caf\xE9";
    const std::u16string units = Utf8ToUtf16(text);
    EXPECT_EQ(units.substr(0, 2), u"ok");
    EXPECT_EQ(units[2], 0xDC80);
    EXPECT_NE(units.find(u"mid"), std::u16string::npos);
    EXPECT_NE(units.find(u"caf"), std::u16string::npos);
    EXPECT_EQ(Utf16ToUtf8(units), text);
    EXPECT_EQ(Utf16Length(text), units.size());
}

TEST(Text, EncodedSurrogatesAreNotAcceptedAsCharacters) {
    const std::string cesu = "\xED\xA0\xBD\xED\xB8\x80";  // a surrogate pair encoded half by half
    const std::u16string units = Utf8ToUtf16(cesu);
    EXPECT_EQ(units.size(), cesu.size());
    EXPECT_EQ(Utf16ToUtf8(units), cesu);
}

TEST(Text, UnpairedSurrogateFromUtf16BecomesReplacement) {
    EXPECT_EQ(Utf16ToUtf8(std::u16string{0xD800, u'a'}), "\xEF\xBF\xBD" "a");
}

// The code points of some UTF-16 units, read the way every caller walks them.
std::vector<char32_t> PointsOf(std::u16string_view units) {
    std::vector<char32_t> points;
    for (std::size_t i = 0; i < units.size();) points.push_back(NextCodePoint(units, i));
    return points;
}

TEST(Surrogates, PairsCombineAtTheEdgesOfTheirRanges) {
    EXPECT_EQ(CombineSurrogates(0xD800, 0xDC00), U'\U00010000');
    EXPECT_EQ(CombineSurrogates(0xD83D, 0xDE00), U'\U0001F600');
    EXPECT_EQ(CombineSurrogates(0xDBFF, 0xDFFF), U'\U0010FFFF');
    EXPECT_FALSE(IsHighSurrogate(0xD7FF));
    EXPECT_TRUE(IsHighSurrogate(0xDBFF));
    EXPECT_FALSE(IsHighSurrogate(0xDC00));
    EXPECT_TRUE(IsLowSurrogate(0xDC00));
    EXPECT_TRUE(IsLowSurrogate(0xDFFF));
    EXPECT_FALSE(IsLowSurrogate(0xE000));
    EXPECT_FALSE(IsSurrogate(0xD7FF));
    EXPECT_FALSE(IsSurrogate(0xE000));
}

TEST(Surrogates, NextCodePointTakesAPairAsOneAndLoneHalvesAsThemselves) {
    using P = std::vector<char32_t>;
    EXPECT_EQ(PointsOf(u"a\U0001F600z"), (P{U'a', U'\U0001F600', U'z'}));
    // Halves out of order, a high one before a non-surrogate or at the end, and a byte
    // escape after a high one that is still a low surrogate.
    EXPECT_EQ(PointsOf(std::u16string{0xDE00, 0xD83D, u'x'}), (P{0xDE00, 0xD83D, U'x'}));
    EXPECT_EQ(PointsOf(std::u16string{0xD83D, 0xE000}), (P{0xD83D, 0xE000}));
    EXPECT_EQ(PointsOf(std::u16string{u'a', 0xDBFF}), (P{U'a', 0xDBFF}));
    EXPECT_EQ(PointsOf(std::u16string{0xD800, 0xDCE9}), (P{U'\U000100E9'}));
    EXPECT_EQ(PointsOf(std::u16string{0xDCE9, 0xDCE9}), (P{0xDCE9, 0xDCE9}));
    EXPECT_TRUE(PointsOf(u"").empty());
}

TEST(Text, Latin1ConversionStopsAboveCode255) {
    std::string all;
    for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
    std::string back;
    ASSERT_TRUE(Utf8ToLatin1(Latin1ToUtf8(all), back));
    EXPECT_EQ(back, all);
    EXPECT_FALSE(Utf8ToLatin1("\xE2\x82\xAC", back));
}

TEST(OneLineText, ControlCharactersAndLineSeparatorsBecomeVisibleEscapes) {
    EXPECT_EQ(EscapeControlCharacters("a\nb\tc\rd"), "a\\nb\\tc\\rd");
    EXPECT_EQ(EscapeControlCharacters(std::string("\x1b[31m\x7f\x01\0", 8)),
              "\\x1b[31m\\x7f\\x01\\x00");
    // C1 controls (NEL among them), separators, bidirectional controls and zero-width
    // characters, each at both ends of its range.
    const std::pair<const char*, const char*> escaped[] = {
        {"\xC2\x85", "\\u0085"}, {"\xC2\x9F", "\\u009f"}, {"\xE2\x80\xA8", "\\u2028"},
        {"\xE2\x80\xA9", "\\u2029"}, {"\xE2\x80\xAA", "\\u202a"}, {"\xE2\x80\xAE", "\\u202e"},
        {"\xE2\x81\xA6", "\\u2066"}, {"\xE2\x81\xA9", "\\u2069"}, {"\xE2\x80\x8E", "\\u200e"},
        {"\xE2\x80\x8F", "\\u200f"}, {"\xE2\x80\x8B", "\\u200b"}, {"\xE2\x80\x8D", "\\u200d"},
        {"\xE2\x81\xA0", "\\u2060"}, {"\xEF\xBB\xBF", "\\ufeff"}};
    for (const auto& [character, escape] : escaped) {
        EXPECT_EQ(EscapeControlCharacters(std::string("x") + character + "y"),
                  std::string("x") + escape + "y")
            << escape;
    }
    // Printable text, a backslash, characters beside the escaped ones and bytes that are not
    // UTF-8 (a lone C1 byte and a cut-off sequence among them) stay as they are.
    const std::string kept =
        "caf\xC3\xA9 \\n \xC2\xA0\xE2\x80\xA7\xE2\x80\xAF\xE2\x80\x8A\xE2\x81\xA1\xE2\x81\xA5"
        "\xEF\xBB\xBE \xFF\x85\xE2\x80 \xC2";
    EXPECT_EQ(EscapeControlCharacters(kept), kept);
    EXPECT_EQ(EscapeControlCharacters(""), "");
}

TEST(StorableText, ValidTextIsUnchanged) {
    for (const std::string text : {"", "/plain/ascii", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"}) {
        EXPECT_EQ(EscapeNonUtf8(text), text);
        EXPECT_EQ(UnescapeNonUtf8(text), text);
    }
}

TEST(StorableText, NamesDifferingOnlyInInvalidBytesStayDistinctAndRoundTrip) {
    const std::string e9 = "t/bad\xE9.txt", e8 = "t/bad\xE8.txt";
    const std::string genuineEscape = "t/\xF4\x8F\xBE\x80";  // U+10FF80 itself, a valid character
    const std::string escapedE9 = EscapeNonUtf8(e9);
    EXPECT_NE(escapedE9, EscapeNonUtf8(e8));
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(escapedE9)), escapedE9);  // valid UTF-8 all through
    EXPECT_NE(EscapeNonUtf8(genuineEscape), EscapeNonUtf8("t/\x80"));
    for (const std::string& name : {e9, e8, genuineEscape, std::string("\xFF\xFE\xED\xA0\x80 x")})
        EXPECT_EQ(UnescapeNonUtf8(EscapeNonUtf8(name)), name);
}

// The database reads U+2029 back as a line feed and stores U+FFFE and U+FFFF as U+FFFD,
// each of which would make it another name.
TEST(StorableText, CharactersTheDatabaseWouldChangeAreStoredEscaped) {
    for (const char* character : {"\xE2\x80\xA9", "\xEF\xBF\xBE", "\xEF\xBF\xBF"}) {
        const std::string name = std::string("t/a") + character + "b";
        const std::string stored = EscapeNonUtf8(name);
        EXPECT_EQ(stored.find(character), std::string::npos);
        EXPECT_EQ(UnescapeNonUtf8(stored), name);
    }
    EXPECT_EQ(EscapeNonUtf8("t/\xEF\xBF\xBD"), "t/\xEF\xBF\xBD");
}

TEST(WideNames, EveryUnitSequenceRoundTrips) {
    const std::u16string names[] = {
        u"plain.txt",
        std::u16string{u'a', 0xD83D, 0xDE00, u'b'},  // a valid pair
        std::u16string{u'x', 0xD800, u'y'},          // lone high surrogate
        std::u16string{0xDFFF},                      // lone low surrogate outside the escapes
        std::u16string{u'b', u'a', u'd', 0xDCE9},    // the escape of the byte E9
        std::u16string{0xDBFF, 0xDBFF, 0xDC00},      // a lone high, then a pair
    };
    for (const std::u16string& name : names) EXPECT_EQ(Utf8ToWideName(WideNameToUtf8(name)), name);
}

TEST(WideNames, InvalidBytesAndValidTextAreTheUsualConversion) {
    const std::string bytes = "caf\xC3\xA9 bad\xE9\xFF \xF0\x9F\x98\x80";
    EXPECT_EQ(Utf8ToWideName(bytes), Utf8ToUtf16(bytes));
    EXPECT_EQ(WideNameToUtf8(Utf8ToWideName(bytes)), bytes);
    // A lone surrogate keeps its own 3-byte form instead of becoming U+FFFD.
    EXPECT_EQ(WideNameToUtf8(std::u16string{0xD800}), "\xED\xA0\x80");
}
