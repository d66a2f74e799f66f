// SPDX-License-Identifier: MIT
#include "HanScript.h"

#include "IcuError.h"

#include <unicode/uscript.h>
#include <unicode/utf16.h>

namespace qurimo {

bool isHan(char32_t c) {
    UErrorCode error = U_ZERO_ERROR;
    const UScriptCode script = uscript_getScript(static_cast<UChar32>(c), &error);
    requireIcu(error, "判断字符的文字");
    return script == USCRIPT_HAN;
}

bool holdsHan(std::u16string_view text) {
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U16_NEXT(text.data(), i, length, c);
        if (isHan(static_cast<char32_t>(c))) {
            return true;
        }
    }
    return false;
}

} // namespace qurimo
