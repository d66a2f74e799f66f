// SPDX-License-Identifier: MIT
#include "LibraryDump.h"

#include "Codepage936.h"
#include "Utf8.h"

namespace qurimo {

int dumpedSlots(const SlotTable& decoded) {
    int end = SlotTable::SlotCount;
    while (end > 0 && decoded.at(end - 1).English.empty() && decoded.at(end - 1).Chinese.empty()) {
        --end;
    }
    return end;
}

void DumpLibrary(const SlotTable& decoded, AuthoringEncoding encoding, const DumpWriter& writer) {
    const bool utf8 = encoding == AuthoringEncoding::Utf8;
    const char* terminator = utf8 ? "\n" : "\r\n";
    const int end = dumpedSlots(decoded);
    for (int slot = 0; slot < end; ++slot) {
        const Sentence& sentence = decoded.at(slot);
        for (const std::u16string* text : {&sentence.English, &sentence.Chinese}) {
            const std::u16string shown = writer.shown(*text);
            writer.write((utf8 ? toUtf8(shown) : Codepage936::instance().fromUnicode(shown)) +
                         terminator);
        }
    }
}

std::string DumpLibrary(const SlotTable& decoded, AuthoringEncoding encoding) {
    std::string out;
    DumpLibrary(decoded, encoding, {[&out](std::string_view piece) { out += piece; }});
    return out;
}

} // namespace qurimo
