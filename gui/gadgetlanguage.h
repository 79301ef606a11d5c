#pragma once
// A language for the localisation engine: a name and a dictionary of token texts, with
// its file format:
//
//   [LanguageDefinition]
//   LanguageId = "English"
//   ok = "OK"                  ; a comment
//   greeting = "Hello,\n\"you\""
//
// Tokens are matched in any case. A ";" outside a quoted text starts a comment, a line
// beginning with "[" ends the section, and texts may hold the escapes \\ \" \n \r \t
// (any other backslash keeps the character after it). Language files are named
// <name>.language.ini and may be UTF-8, UTF-16 with a byte-order mark, or ISO 8859-1.

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "runtime/object.h"

namespace gui {

inline constexpr const char* LANGUAGE_FILE_SUFFIX = ".language.ini";

class TGadgetLanguage : public rt::TObject,
                        public std::enable_shared_from_this<TGadgetLanguage> {
public:
    std::string strName;
    std::map<std::string, std::string> mapDictionary;  // lower-cased token -> text

    static std::shared_ptr<TGadgetLanguage> Create(const std::string& name);

    void SetName(const std::string& name) { strName = name; }
    std::string GetName() const { return strName; }
    void DefineToken(const std::string& token, const std::string& text);
    void RemoveToken(const std::string& token);
    // The token's text, or nothing when it has none.
    std::optional<std::string> LookupToken(const std::string& token) const;
    void ClearTokens() { mapDictionary.clear(); }

    // Defines the tokens of the entry lines, up to the end of the section.
    void LoadEntriesFromText(const std::string& text);
    // The language in the file format, lines ended by CR LF.
    std::string Serialize() const;
    // Replaces name and tokens by those of the text; null, and nothing changed, when the
    // text has no "[LanguageDefinition]" section with a LanguageId entry.
    std::shared_ptr<TGadgetLanguage> Deserialize(const std::string& text);

    // A language read from a file, given with or without its suffix; null when there is
    // no such file or it holds no language.
    static std::shared_ptr<TGadgetLanguage> LoadLanguage(const std::string& source);
    // The text without white space at either end; when stripQuotes is not 0 also
    // without one pair of enclosing double quotes.
    static std::string StripWhitespace(const std::string& text, int stripQuotes);
    // The text of a language file ready for reading: without a byte-order mark, every
    // line ended by "\n".
    static std::string Prepare(const std::string& text);
};

using TGadgetLanguagePtr = std::shared_ptr<TGadgetLanguage>;

}  // namespace gui
