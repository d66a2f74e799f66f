// SPDX-License-Identifier: MIT
#pragma once

#include "AuthoringPairs.h"
#include "LibraryDump.h"
#include "SlotTable.h"

#include <string>
#include <vector>

namespace qurimo {

// Whether lines read as a tab-separated file: every line but Anki's header lines holds a tab,
// and there is one such line at least.
bool holdsTabSeparatedPairs(const std::vector<std::u16string>& lines);

// The pairs of the decoded lines of a tab-separated file, and whether the file had them the
// other way round. Three forms are read:
// - one pair a line, English TAB Chinese;
// - Anki's plain-text export of notes: its leading "#key:value" lines with a key Anki writes
//   are its header, and are honoured ("#separator" must be a tab and "#html" false,
//   otherwise the file is refused with how to export it as plain text; the guid, notetype,
//   deck and tags columns are left out), and a field may be quoted as Anki quotes it, ""
//   standing for a quote; any other line, one starting with # too, is a pair;
// - Tatoeba's sentence pairs, four columns: id, English, id, Chinese.
// Any other number of columns is run-time error 5 naming the line. A file without Anki's
// header is put English first as putEnglishFirst does.
AuthoringPairs parseTsv(const std::vector<std::u16string>& lines, const std::string& path);

// The tab-separated text of a decoded table, UTF-8: Anki's two header lines, then English TAB
// Chinese a line for every slot from 0 up to the last slot with any text, quoted where Anki
// would misread the field. A text holding a TAB or a line break cannot be written so: run-time
// error 5 naming the slot, and nothing is returned or written.
// Written a line at a time to writer, after every text is checked.
void dumpTsv(const SlotTable& decoded, const std::string& path, const DumpWriter& writer);
std::string dumpTsv(const SlotTable& decoded, const std::string& path);

} // namespace qurimo
