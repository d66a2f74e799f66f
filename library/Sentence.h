// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

namespace qurimo {

// One library entry. The member order is also the order in the library file.
struct Sentence {
    std::int16_t Reserved = 0; // carried through reads and writes, never interpreted
    std::u16string Chinese;
    std::u16string English;

    bool operator==(const Sentence&) const = default;
};

// A slot is filled when its English text holds something besides spaces; the ideographic
// space U+3000 that Chinese input methods type counts as a space too.
bool isFilled(const Sentence& sentence);

} // namespace qurimo
