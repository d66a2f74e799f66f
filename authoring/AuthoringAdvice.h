// SPDX-License-Identifier: MIT
#pragma once

#include "AuthoringTypes.h"

#include <string>

namespace qurimo {

// What an error about an authoring file tells its user to do, in the window's words (an
// editor's Save As) or in qurimo-lib's (its options, iconv). Each is one or two sentences
// that end the error's detail.

// A character that cannot be stored, or bytes that do not decode, in a file read as read.
std::string encodingRemedy(AuthoringEncoding read, Advice advice);
// A TAB in a text: in a file of alternating lines, or inside the quotes of an Anki field,
// where the file is tab-separated already.
std::string tabRemedy(AuthoringFormat format, Advice advice);
// More pairs than a library holds.
std::string tooManyPairsRemedy(AuthoringFormat format, Advice advice);
// A control character, which no encoding makes right.
std::string controlRemedy(Advice advice);
// A traditional character that cannot be stored while simplified, its simplified form, can.
std::string simplifiedRemedy(const std::string& simplified, Advice advice);
// Surrogates written one by one in UTF-8 (CESU-8).
std::string cesu8Remedy(Advice advice);
// UTF-16 without its byte-order mark.
std::string markLessUtf16Remedy(bool littleEndian, Advice advice);

} // namespace qurimo
