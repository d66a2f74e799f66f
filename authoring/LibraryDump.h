// SPDX-License-Identifier: MIT
#pragma once

#include "AuthoringTypes.h"
#include "SlotTable.h"

#include <functional>
#include <string>
#include <string_view>

namespace qurimo {

// Where a dump goes, a piece at a time, so that the dump of a full library is never held
// whole; each text is written as shown gives it (a terminal is shown control characters as
// escapes).
struct DumpWriter {
    std::function<void(std::string_view)> write;
    std::function<std::u16string(std::u16string_view)> shown = [](std::u16string_view text) {
        return std::u16string(text);
    };
};

// The number of slots a dump writes: 0 up to the last slot that holds any text.
int dumpedSlots(const SlotTable& decoded);

// The authoring text of a decoded table: for every slot from 0 up to the last one that holds
// any text, blank or not, its English line and its Chinese line, so that compiling the text
// gives back the same slots. Code page 936 lines end with CR LF, as Windows editors write
// them; UTF-8 lines end with LF.
void DumpLibrary(const SlotTable& decoded, AuthoringEncoding encoding, const DumpWriter& writer);
std::string DumpLibrary(const SlotTable& decoded, AuthoringEncoding encoding);

} // namespace qurimo
