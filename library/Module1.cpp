// SPDX-License-Identifier: MIT
#include "Module1.h"

#include "Codepage936.h"

#include <cstdint>

namespace qurimo {

namespace {

constexpr int Shift = 20;

std::u16string shiftText(const std::u16string& text, int delta) {
    Codepage936& codepage = Codepage936::instance();
    std::vector<std::int16_t> codes = codepage.codesOf(text);
    for (std::int16_t& code : codes) {
        // Codes of code page 936 lie between -32,448 (81 40) and 255, so no shift by 20
        // leaves the 16-bit range.
        code = static_cast<std::int16_t>(code + delta);
    }
    return codepage.textOf(codes);
}

} // namespace

std::u16string EncodeText(const std::u16string& text) {
    return shiftText(text, -Shift);
}

std::u16string DecodeText(const std::u16string& text) {
    return shiftText(text, +Shift);
}

void decodeTable(SlotTable& table) {
    for (int slot = 0; slot < SlotTable::SlotCount; ++slot) {
        Sentence& sentence = table.at(slot);
        sentence.Chinese = DecodeText(sentence.Chinese);
        sentence.English = DecodeText(sentence.English);
    }
}

} // namespace qurimo
