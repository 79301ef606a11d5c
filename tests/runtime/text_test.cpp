#include "runtime/text.h"

#include <gtest/gtest.h>

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

TEST(Text, Latin1ConversionStopsAboveCode255) {
    std::string all;
    for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
    std::string back;
    ASSERT_TRUE(Utf8ToLatin1(Latin1ToUtf8(all), back));
    EXPECT_EQ(back, all);
    EXPECT_FALSE(Utf8ToLatin1("\xE2\x82\xAC", back));
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

TEST(StorableText, AParagraphSeparatorIsStoredEscaped) {
    // The database reads U+2029 back as a line feed, which would make it another name.
    const std::string name = "t/a\xE2\x80\xA9" "b";
    const std::string stored = EscapeNonUtf8(name);
    EXPECT_EQ(stored.find("\xE2\x80\xA9"), std::string::npos);
    EXPECT_EQ(UnescapeNonUtf8(stored), name);
}
