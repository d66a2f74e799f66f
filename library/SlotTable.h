// SPDX-License-Identifier: MIT
#pragma once

#include "Sentence.h"

#include <array>

namespace qurimo {

// A table of exactly 301 sentence slots, 0 to 300. Every access checks the slot number first,
// so a wrong number stops the operation with run-time error 9 instead of touching memory.
class SlotTable {
public:
    static constexpr int SlotCount = 301;

    Sentence& at(int slot);
    const Sentence& at(int slot) const;

    // Every slot: Reserved 0, both strings empty.
    void reset();
    // Every slot: both strings empty, Reserved left as it is.
    void clearStrings();

    bool operator==(const SlotTable&) const = default;

private:
    static void check(int slot);

    std::array<Sentence, SlotCount> slots_{};
};

} // namespace qurimo
