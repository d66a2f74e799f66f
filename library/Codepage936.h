#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qurimo {

// Code page 936 (simplified Chinese) through ICU's "windows-936" converter, which maps the
// user-defined byte areas to private-use characters as the desktop platform does. The
// converter is opened once per process; conversions of single characters are cached, since
// the codec converts every character of every sentence on its own.
class Codepage936 {
public:
    static Codepage936& instance();

    // Whole strings. Characters outside the code page become '?', undecodable bytes U+FFFD.
    std::string fromUnicode(std::u16string_view text);
    std::u16string toUnicode(std::string_view bytes);

    // The code of one UTF-16 unit: its byte b (0 to 255), or lead * 256 + trail as a signed
    // 16-bit number for a double-byte character.
    std::int16_t codeOf(char16_t unit);

    // Appends the text of a 16-bit code: the single byte for 0 to 255, otherwise the high byte
    // followed by the low byte, each converted as the code page sees them.
    void appendCharacterOf(std::int16_t code, std::u16string& out);

    Codepage936(const Codepage936&) = delete;
    Codepage936& operator=(const Codepage936&) = delete;

private:
    Codepage936();
    ~Codepage936();

    struct Impl;
    Impl* impl_;
};

} // namespace qurimo
