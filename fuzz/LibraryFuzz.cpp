// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to the library file reader and decodes every text, as a full listing
// does: whatever a library file holds must neither crash nor trip a sanitizer.

#include "LibraryFile.h"
#include "Module1.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qurimo::SlotTable table;
    qurimo::parseLibrary(std::string_view(reinterpret_cast<const char*>(data), size), table);
    qurimo::decodeTable(table);
    for (int slot = 0; slot < qurimo::SlotTable::SlotCount; ++slot) {
        (void)qurimo::isFilled(table.at(slot));
    }
    return 0;
}
