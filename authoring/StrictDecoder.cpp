// SPDX-License-Identifier: MIT
#include "StrictDecoder.h"

#include "IcuError.h"

#include <algorithm>

namespace qurimo {

StrictDecoder::StrictDecoder(AuthoringEncoding encoding) {
    const bool utf8 = encoding == AuthoringEncoding::Utf8;
    UErrorCode error = U_ZERO_ERROR;
    converter_.reset(ucnv_open(utf8 ? "UTF-8" : "windows-936", &error));
    if (U_SUCCESS(error)) {
        ucnv_setToUCallBack(converter_.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                            &error);
    }
    if (U_FAILURE(error)) {
        throw icuFailure(utf8 ? "打开 UTF-8 转换器" : "打开代码页 936 转换器", error);
    }
}

std::optional<StrictDecoder::Invalid> StrictDecoder::decode(std::string_view bytes,
                                                            std::u16string& out) {
    out.assign(bytes.size(), u'\0'); // no byte gives more than one unit
    UChar* const start = reinterpret_cast<UChar*>(out.data());
    UChar* target = start;
    const char* source = bytes.data();
    UErrorCode error = U_ZERO_ERROR;
    ucnv_resetToUnicode(converter_.get());
    ucnv_toUnicode(converter_.get(), &target, start + out.size(), &source,
                   bytes.data() + bytes.size(), nullptr, true, &error);
    out.resize(static_cast<std::size_t>(target - start));
    if (U_SUCCESS(error)) {
        return std::nullopt;
    }
    if (!isUndecodable(error)) {
        throw icuFailure("解码", error);
    }
    char invalid[32];
    int8_t length = sizeof invalid;
    UErrorCode ignored = U_ZERO_ERROR;
    ucnv_getInvalidChars(converter_.get(), invalid, &length, &ignored);
    const auto taken = static_cast<std::size_t>(std::max<int8_t>(length, 0));
    return Invalid{static_cast<std::size_t>(source - bytes.data()) - taken,
                   std::max<std::size_t>(taken, 1)};
}

bool isUndecodable(UErrorCode error) {
    return error == U_INVALID_CHAR_FOUND || error == U_ILLEGAL_CHAR_FOUND ||
           error == U_TRUNCATED_CHAR_FOUND;
}

} // namespace qurimo
