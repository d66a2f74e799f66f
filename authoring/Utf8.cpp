// SPDX-License-Identifier: MIT
#include "Utf8.h"

#include "ControlCharacters.h"
#include "IcuError.h"
#include "StrictDecoder.h"

#include <unicode/ustring.h>

namespace qurimo {

std::string toUtf8(std::u16string_view text) {
    if (text.empty()) {
        return {};
    }
    std::string out(text.size() * 3, '\0');
    int32_t length = 0;
    UErrorCode error = U_ZERO_ERROR;
    u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length,
                       reinterpret_cast<const UChar*>(text.data()),
                       static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &error);
    if (U_FAILURE(error)) {
        throw icuFailure("把文本转成 UTF-8", error);
    }
    out.resize(static_cast<std::size_t>(length));
    return out;
}

std::u16string fromUtf8(std::string_view bytes) {
    if (bytes.empty()) {
        return {};
    }
    std::u16string out(bytes.size(), u'\0');
    int32_t length = 0;
    UErrorCode error = U_ZERO_ERROR;
    u_strFromUTF8WithSub(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                         &length, bytes.data(), static_cast<int32_t>(bytes.size()), 0xFFFD, nullptr,
                         &error);
    if (U_FAILURE(error)) {
        throw icuFailure("解码 UTF-8", error);
    }
    out.resize(static_cast<std::size_t>(length));
    return out;
}

std::size_t codePoints(std::u16string_view text) {
    return static_cast<std::size_t>(u_countChar32(reinterpret_cast<const UChar*>(text.data()),
                                                  static_cast<int32_t>(text.size())));
}

bool decodeUtf8(std::string_view bytes, std::u16string& out) {
    out.assign(bytes.size() + 1, u'\0');
    int32_t length = 0;
    UErrorCode error = U_ZERO_ERROR;
    u_strFromUTF8(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &length,
                  bytes.data(), static_cast<int32_t>(bytes.size()), &error);
    if (U_FAILURE(error) && !isUndecodable(error)) {
        throw icuFailure("解码 UTF-8", error);
    }
    out.resize(U_SUCCESS(error) ? static_cast<std::size_t>(length) : 0);
    return U_SUCCESS(error);
}

bool isUtf8(std::string_view bytes) {
    int32_t length = 0;
    UErrorCode error = U_ZERO_ERROR;
    u_strFromUTF8(nullptr, 0, &length, bytes.data(), static_cast<int32_t>(bytes.size()), &error);
    if (U_FAILURE(error) && error != U_BUFFER_OVERFLOW_ERROR && !isUndecodable(error)) {
        throw icuFailure("解码 UTF-8", error); // measuring only: U_BUFFER_OVERFLOW_ERROR is usual
    }
    return !isUndecodable(error);
}

std::string escapeControlsUtf8(std::string_view text, std::u16string_view kept) {
    return toUtf8(escapeControls(fromUtf8(text), kept));
}

} // namespace qurimo
