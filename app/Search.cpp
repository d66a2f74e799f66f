// SPDX-License-Identifier: MIT
// qurimo-lib search: the sentences a keyword finds, as the window's "Go!" finds them.
#include "LibraryDump.h"
#include "LibraryLocation.h"
#include "LibrarySearch.h"
#include "SimplifiedChinese.h"
#include "ToolCommand.h"
#include "Utf8.h"

namespace qurimo::tool {

namespace {

constexpr int ExitNoHit = 1;
constexpr int ExitSearchError = 2;

} // namespace

int search(const Arguments& args, Console& console) {
    const SlotTable table =
        readDecodedLibrary(args.operands.size() > 1 ? args.operands[1] : windowLibrary());
    const std::u16string keyword = fromUtf8(args.operands[0]);
    const std::vector<int> hits = FindSentences(
        table, searchForms(keyword), args.has("--chinese") ? SearchSide::Chinese : sideOf(keyword));
    bool listed = false;
    for (int slot : hits) {
        const Sentence& sentence = table.at(slot);
        if (!isFilled(sentence)) {
            continue; // listed nowhere in the window either
        }
        listed = true;
        // The keyword was looked for in the texts themselves, not in their escapes; each hit
        // is written as it is found, so that escapes never fill memory.
        console.writePiece(console.shown(sentence.English) + "\n" +
                           console.shown(sentence.Chinese) + "\n");
    }
    if (!console.finish()) {
        return ExitSearchError;
    }
    return listed ? ExitOk : ExitNoHit;
}

} // namespace qurimo::tool
