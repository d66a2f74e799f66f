// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qurimo {

// Code page 936 (simplified Chinese) through ICU's "windows-936" converter, which maps the
// user-defined byte areas to private-use characters as Windows does. The converter is opened
// once per process; the program converts on one thread only.
class Codepage936 {
public:
    static Codepage936& instance();

    // Whole strings. Characters outside the code page become '?', undecodable bytes U+FFFD.
    std::string fromUnicode(std::u16string_view text);
    std::u16string toUnicode(std::string_view bytes);

    // The code of every UTF-16 unit of text, each unit converted on its own: its byte b (0 to
    // 255), or lead * 256 + trail as a signed 16-bit number for a double-byte character.
    std::vector<std::int16_t> codesOf(std::u16string_view text);

    // The text of a run of codes, each converted on its own: the single byte for 0 to 255,
    // otherwise the high byte followed by the low byte.
    std::u16string textOf(const std::vector<std::int16_t>& codes);

    Codepage936(const Codepage936&) = delete;
    Codepage936& operator=(const Codepage936&) = delete;

private:
    Codepage936();
    ~Codepage936();

    struct Impl;
    Impl* impl_;
};

} // namespace qurimo
