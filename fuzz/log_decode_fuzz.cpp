// The log file's decoding of loaded bytes: any bytes decode, and the text that a save
// writes for what was loaded reads back as the same text.

#include <string>

#include "fuzz/fuzz_check.h"
#include "runtime/text.h"
#include "runtime/textfile.h"

namespace {

bool StartsWithMark(std::string_view bytes) {
    for (std::string_view mark : {"\xFE\xFF", "\xFF\xFE", "\xEF\xBB\xBF"})
        if (bytes.substr(0, mark.size()) == mark) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = rt::DecodeText(fuzz::Bytes(data, size));
    const std::string saved = rt::EncodeText(text);
    std::string latin1;
    // A text saved as ISO 8859-1 whose first characters spell a byte-order mark is read
    // by that mark, as the format says; every other text must come back unchanged.
    if (rt::Utf8ToLatin1(text, latin1) && StartsWithMark(latin1)) return 0;
    FUZZ_CHECK(rt::DecodeText(saved) == text);
    return 0;
}
