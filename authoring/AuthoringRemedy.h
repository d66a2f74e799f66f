// SPDX-License-Identifier: MIT
#pragma once

#include "AuthoringTypes.h"

#include <string>

namespace qurimo {

// The remedies of errors about an authoring file, what its user can do, in the window's words (an
// editor's Save As) or in qurimo-lib's (its options, iconv). Each is one or two sentences
// that end the error's detail.

// A character that cannot be stored, or bytes that do not decode, in a file read as read.
std::string encodingRemedy(AuthoringEncoding read, Audience audience);
// A TAB in a text: in a file of alternating lines, or inside the quotes of an Anki field,
// where the file is tab-separated already.
std::string tabRemedy(AuthoringFormat format, Audience audience);
// More pairs than a library holds.
std::string tooManyPairsRemedy(AuthoringFormat format, Audience audience);
// A control character, which no encoding makes right.
std::string controlRemedy(Audience audience);
// A traditional character that cannot be stored while simplified, its simplified form, can.
std::string simplifiedRemedy(const std::string& simplified, Audience audience);
// Surrogates written one by one in UTF-8 (CESU-8).
std::string cesu8Remedy(Audience audience);
// UTF-16 without its byte-order mark.
std::string markLessUtf16Remedy(bool littleEndian, Audience audience);

} // namespace qurimo
