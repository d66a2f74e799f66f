// SPDX-License-Identifier: MIT
#include "SlotTable.h"

#include "RuntimeError.h"

namespace qurimo {

void SlotTable::check(int slot) {
    // Compared as unsigned, so negative numbers fail the same test as 301 and above.
    if (static_cast<unsigned>(slot) >= static_cast<unsigned>(SlotCount)) {
        throw RuntimeError(ErrorNumber::SubscriptOutOfRange, {}, 0,
                           "槽号 " + std::to_string(slot) + " 不在 0 到 " +
                               std::to_string(SlotCount - 1) + " 之间");
    }
}

Sentence& SlotTable::at(int slot) {
    check(slot);
    return slots_[static_cast<std::size_t>(slot)];
}

const Sentence& SlotTable::at(int slot) const {
    check(slot);
    return slots_[static_cast<std::size_t>(slot)];
}

void SlotTable::reset() {
    for (Sentence& s : slots_) {
        s = Sentence{};
    }
}

void SlotTable::clearStrings() {
    for (Sentence& s : slots_) {
        s.Chinese.clear();
        s.English.clear();
    }
}

} // namespace qurimo
