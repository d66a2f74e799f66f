// SPDX-License-Identifier: MIT
#pragma once

#include "AuthoringFile.h"

#include <cstddef>
#include <string>
#include <vector>

namespace qurimo {

// One text of an authoring file and where it starts: its 1-based line and the number of
// characters before it on that line.
struct PairText {
    std::u16string text;
    long line = 0;
    std::size_t column = 0;
};

// The texts of an authoring file as pairs, English then Chinese for each pair in order, and
// whether the file had them the other way round.
struct AuthoringPairs {
    std::vector<PairText> texts;
    bool swapped = false;
};

// How the two texts of a pair lie in the file, for the words of an error.
enum class PairLayout {
    Lines,   // alternating lines
    Columns, // two columns of one line
};

// Puts the pairs of texts (English, Chinese, English...) English first. A pair whose first
// text holds Chinese and whose second holds none, and is not blank, reads Chinese first; one
// with Chinese in both or neither, or a blank text, decides nothing. When every pair that
// decides reads Chinese first, the file is an export of the other language pair: every pair
// is swapped and true returned. A file with both orders is run-time error 5 at the first pair
// whose order differs, naming the latest pair before it in the other order: in alternating
// lines, a missing or extra line lies between them.
bool putEnglishFirst(std::vector<PairText>& texts, PairLayout layout, const std::string& path);

// The pairs of the lines of an authoring file: of alternating lines, put English first, or of
// a tab-separated file as parseTsv reads them. The lines are moved from.
AuthoringPairs pairsOf(AuthoringText& text, const std::string& name);

} // namespace qurimo
