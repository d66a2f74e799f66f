// SPDX-License-Identifier: MIT
#pragma once

#include "LibraryDump.h"
#include "SlotTable.h"

#include <cstddef>
#include <string>
#include <vector>

namespace qurimo {

// One text of an authoring file and where it starts: its 1-based line and the number of
// characters before it on that line.
struct AuthoringField {
    std::u16string text;
    long line = 0;
    std::size_t column = 0;
};

// The fields of a tab-separated file of sentence pairs, English then Chinese for each pair in
// order, and whether the file had them the other way round. Three forms are read:
// - one pair a line, English TAB Chinese;
// - Anki's plain-text export of notes: its leading "#key:value" lines with a key Anki writes
//   are its header, and are honoured ("#separator" must be a tab and "#html" false,
//   otherwise the file is refused with how to export it as plain text; the guid, notetype,
//   deck and tags columns are left out), and a field may be quoted as Anki quotes it, ""
//   standing for a quote; any other line, one starting with # too, is a pair;
// - Tatoeba's sentence pairs, four columns: id, English, id, Chinese.
// Any other number of columns is run-time error 5 naming the line. A file without Anki's
// header is put English first as putEnglishFirst does.
struct TsvPairs {
    std::vector<AuthoringField> fields;
    bool swapped = false;
};
// Whether lines read as a tab-separated file: every line but Anki's header lines holds a tab,
// and there is one such line at least.
bool holdsTabSeparatedPairs(const std::vector<std::u16string>& lines);

// How the two texts of a pair lie in the file, for the words of an error.
enum class PairLayout {
    Lines,   // alternating lines
    Columns, // two columns of one line
};

// Puts the pairs of fields (English, Chinese, English...) English first. A pair whose first
// text holds Chinese and whose second holds none, and is not blank, reads Chinese first; one
// with Chinese in both or neither, or a blank text, decides nothing. When every pair that
// decides reads Chinese first, the file is an export of the other language pair: every pair
// is swapped and true returned. A file with both orders is run-time error 5 at the first pair
// whose order differs, naming the latest pair before it in the other order: in alternating
// lines, a missing or extra line lies between them.
bool putEnglishFirst(std::vector<AuthoringField>& fields, PairLayout layout,
                     const std::string& path);

TsvPairs parseTsv(const std::vector<std::u16string>& lines, const std::string& path);

// The tab-separated text of a decoded table, UTF-8: Anki's two header lines, then English TAB
// Chinese a line for every slot from 0 up to the last slot with any text, quoted where Anki
// would misread the field. A text holding a TAB or a line break cannot be written so: run-time
// error 5 naming the slot, and nothing is returned or written.
// Written a line at a time to writer, after every text is checked.
void DumpTsv(const SlotTable& decoded, const std::string& path, const DumpWriter& writer);
std::string DumpTsv(const SlotTable& decoded, const std::string& path);

} // namespace qurimo
