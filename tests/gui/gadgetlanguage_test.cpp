// Languages: tokens, the file format and reading language files.

#include "gui/gadgetlanguage.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace guitest {
namespace {

using namespace gui;

void ExpectSameLanguage(const TGadgetLanguage& read, const TGadgetLanguage& written) {
    EXPECT_EQ(read.GetName(), written.GetName());
    EXPECT_EQ(read.mapDictionary, written.mapDictionary);
}

TEST(GadgetLanguageTest, SerialisesInTheFileFormat) {
    const TGadgetLanguagePtr language = TGadgetLanguage::Create("English");
    language->DefineToken("OK", "OK");
    language->DefineToken("quote", "say \"hi\"\\");
    EXPECT_EQ(language->Serialize(),
              "[LanguageDefinition]\r\n"
              "LanguageId = \"English\"\r\n"
              "ok = \"OK\"\r\n"
              "quote = \"say \\\"hi\\\"\\\\\"\r\n");
}

TEST(GadgetLanguageTest, ASerialisedLanguageReadsBackEqual) {
    const TGadgetLanguagePtr written = TGadgetLanguage::Create("Deutsch \"de\"");
    written->DefineToken("plain", "Hallo");
    written->DefineToken("spaced", "  padded  ");
    written->DefineToken("marks", "a;b=c [d] \"e\" \\f");
    written->DefineToken("lines", "one\r\ntwo\tthree");
    written->DefineToken("empty", "");
    written->DefineToken("umlaut", "Größe");
    const TGadgetLanguagePtr read = TGadgetLanguage::Create("old");
    read->DefineToken("stale", "x");
    ASSERT_EQ(read->Deserialize(written->Serialize()), read);
    ExpectSameLanguage(*read, *written);
}

TEST(GadgetLanguageTest, TextWithoutHeaderOrIdLeavesTheLanguageAlone) {
    const TGadgetLanguagePtr language = TGadgetLanguage::Create("kept");
    language->DefineToken("a", "1");
    EXPECT_EQ(language->Deserialize("LanguageId = \"x\"\nb = \"2\"\n"), nullptr);
    EXPECT_EQ(language->Deserialize("[LanguageDefinition]\nb = \"2\"\n[Other]\nLanguageId=x\n"),
              nullptr);
    EXPECT_EQ(language->GetName(), "kept");
    EXPECT_EQ(language->mapDictionary, (std::map<std::string, std::string>{{"a", "1"}}));
}

TEST(GadgetLanguageTest, EntryLinesWithCommentsQuotesAndEscapes) {
    const TGadgetLanguagePtr language = TGadgetLanguage::Create("x");
    language->LoadEntriesFromText(
        "; a comment line\r\n"
        "  Plain =  unquoted text ; comment\r\n"
        "quoted = \" keeps ; and spaces \" ; comment\n"
        "\"Token\" = \"tab\\there\\nnext \\q\"\r"
        "no equals sign\n"
        " = no token\n"
        "[Next section]\n"
        "after = \"ignored\"\n");
    EXPECT_EQ(language->mapDictionary,
              (std::map<std::string, std::string>{{"plain", "unquoted text"},
                                                  {"quoted", " keeps ; and spaces "},
                                                  {"token", "tab\there\nnext q"}}));
    EXPECT_EQ(language->LookupToken("PLAIN"), "unquoted text");
    EXPECT_EQ(language->LookupToken("after"), std::nullopt);
    language->RemoveToken("Quoted");
    EXPECT_EQ(language->mapDictionary.count("quoted"), 0u);
}

TEST(GadgetLanguageTest, LanguageFilesAreFoundWithTheirSuffixInAnyEncoding) {
    testsupport::TempDir dir;
    const std::string text =
        "[LanguageDefinition]\r\nLanguageId = \"de\"\r\nsize = \"Größe\"\r\n";
    dir.write("utf8.language.ini", "\xEF\xBB\xBF" + text);
    dir.write("plain.language.ini", text);
    std::string utf16 = "\xFF\xFE";
    for (char16_t unit : u"[LanguageDefinition]\nLanguageId=de\nsize=\"Größe\"\n") {
        if (unit == 0) break;
        utf16 += static_cast<char>(unit & 0xFF);
        utf16 += static_cast<char>(unit >> 8);
    }
    dir.write("wide.language.ini", utf16);
    dir.write("latin.language.ini", "[LanguageDefinition]\nLanguageId=de\nsize=Gr\xF6\xDF" "e\n");
    for (const char* name : {"utf8", "plain", "wide.language.ini", "latin"}) {
        const TGadgetLanguagePtr language = TGadgetLanguage::LoadLanguage(dir / name);
        ASSERT_NE(language, nullptr) << name;
        EXPECT_EQ(language->GetName(), "de") << name;
        EXPECT_EQ(language->LookupToken("size"), "Größe") << name;
    }
    EXPECT_EQ(TGadgetLanguage::LoadLanguage(dir / "missing"), nullptr);
    dir.write("bad.language.ini", "no language here\n");
    EXPECT_EQ(TGadgetLanguage::LoadLanguage(dir / "bad"), nullptr);
}

}  // namespace
}  // namespace guitest
