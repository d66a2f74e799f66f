#include "Module1.h"

#include "Codepage936.h"
#include "RuntimeError.h"

#include <cstdint>

namespace qurimo {

namespace {

constexpr int Shift = 20;

std::u16string shiftText(const std::u16string& text, int delta) {
    Codepage936& codepage = Codepage936::instance();
    std::u16string result;
    result.reserve(text.size());
    const std::size_t n = text.size();
    for (std::size_t p = 0; p < n; ++p) {
        const int shifted = codepage.codeOf(text[p]) + delta;
        if (shifted < INT16_MIN || shifted > INT16_MAX) {
            throw RuntimeError(ErrorNumber::Overflow);
        }
        codepage.appendCharacterOf(static_cast<std::int16_t>(shifted), result);
    }
    return result;
}

} // namespace

std::u16string EncodeText(const std::u16string& text) {
    return shiftText(text, -Shift);
}

std::u16string DecodeText(const std::u16string& text) {
    return shiftText(text, +Shift);
}

} // namespace qurimo
