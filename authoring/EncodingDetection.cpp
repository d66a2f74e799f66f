// SPDX-License-Identifier: MIT
#include "EncodingDetection.h"

#include "Codepage936.h"

#include <array>
#include <cstdint>
#include <memory>
#include <unicode/ucnv.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

namespace qurimo {

namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

// Strict UTF-8: false for any malformed sequence, surrogate or overlong form.
bool decodeUtf8(std::string_view bytes, std::u16string& out) {
    out.assign(bytes.size() + 1, u'\0');
    int32_t length = 0;
    UErrorCode error = U_ZERO_ERROR;
    u_strFromUTF8(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &length,
                  bytes.data(), static_cast<int32_t>(bytes.size()), &error);
    out.resize(U_SUCCESS(error) ? static_cast<std::size_t>(length) : 0);
    return U_SUCCESS(error);
}

// Strict code page 936: false for bytes that form no character of the code page.
bool decodeCodepage936(std::string_view bytes, std::u16string& out) {
    UErrorCode error = U_ZERO_ERROR;
    std::unique_ptr<UConverter, decltype(&ucnv_close)> converter(ucnv_open("windows-936", &error),
                                                                 ucnv_close);
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                        &error);
    out.assign(bytes.size() + 1, u'\0');
    const int32_t length = ucnv_toUChars(converter.get(), reinterpret_cast<UChar*>(out.data()),
                                         static_cast<int32_t>(out.size()), bytes.data(),
                                         static_cast<int32_t>(bytes.size()), &error);
    out.resize(U_SUCCESS(error) ? static_cast<std::size_t>(length) : 0);
    return U_SUCCESS(error);
}

// How typical each character is of Chinese text: 2 for the common Chinese characters (level 1
// of GB 2312) and the CJK and full-width punctuation, 1 for the other characters of GB 2312 at
// U+0800 and above (rarer Chinese characters, kana, symbols), 0 for everything else. Code page
// 936 pairs misread as UTF-8 give mostly the two-byte forms below U+0800 (Latin, Greek,
// Cyrillic, Arabic...), which weigh nothing; UTF-8 misread as code page 936 gives a mix
// heavy in rare characters.
const std::array<std::uint8_t, 0x10000>& chineseWeights() {
    static const std::array<std::uint8_t, 0x10000> weights = [] {
        std::array<std::uint8_t, 0x10000> table{};
        for (int lead = 0xA1; lead <= 0xF7; ++lead) {
            if (lead >= 0xAA && lead <= 0xAF) {
                continue; // rows GB 2312 leaves empty; code page 936 gives them to private use
            }
            std::string row;
            for (int trail = 0xA1; trail <= 0xFE; ++trail) {
                row.push_back(static_cast<char>(lead));
                row.push_back(static_cast<char>(trail));
            }
            const bool common = lead == 0xA1 || lead == 0xA3 || (lead >= 0xB0 && lead <= 0xD7);
            for (char16_t c : Codepage936::instance().toUnicode(row)) {
                const bool privateUse = c >= 0xE000 && c <= 0xF8FF;
                if (c >= 0x800 && !privateUse && c != 0xFFFD) {
                    table[c] = common ? 2 : 1;
                }
            }
        }
        return table;
    }();
    return weights;
}

struct Share {
    std::size_t weight = 0;
    std::size_t nonAscii = 0;
};

Share shareOf(const std::u16string& text) {
    const std::array<std::uint8_t, 0x10000>& weights = chineseWeights();
    Share share;
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U16_NEXT(text.data(), i, length, c);
        if (c >= 0x80) {
            ++share.nonAscii;
            share.weight += c < 0x10000 ? weights[static_cast<std::size_t>(c)] : 0;
        }
    }
    return share;
}

bool startsWithUtf8Bom(std::string_view bytes) {
    std::u16string ignored;
    return bytes.starts_with(Utf8Bom) && decodeUtf8(bytes.substr(Utf8Bom.size()), ignored);
}

} // namespace

AuthoringEncoding detectEncoding(std::string_view bytes) {
    if (startsWithUtf8Bom(bytes)) {
        return AuthoringEncoding::Utf8;
    }
    std::u16string asUtf8;
    if (!decodeUtf8(bytes, asUtf8)) {
        return AuthoringEncoding::Codepage936;
    }
    const Share utf8 = shareOf(asUtf8);
    if (utf8.nonAscii == 0) {
        return AuthoringEncoding::Utf8;
    }
    std::u16string asCodepage936;
    if (!decodeCodepage936(bytes, asCodepage936)) {
        return AuthoringEncoding::Utf8;
    }
    const Share codepage936 = shareOf(asCodepage936);
    // utf8.weight / utf8.nonAscii > codepage936.weight / codepage936.nonAscii; a tie goes to
    // code page 936, the encoding of the desktop platform's authoring files, so common Chinese
    // text in code page 936 (weighing 2 a character) is never taken for UTF-8.
    return utf8.weight * codepage936.nonAscii > codepage936.weight * utf8.nonAscii
               ? AuthoringEncoding::Utf8
               : AuthoringEncoding::Codepage936;
}

} // namespace qurimo
