// SPDX-License-Identifier: MIT
#include "Sentence.h"

namespace qurimo {

bool isFilled(const Sentence& sentence) {
    for (char16_t c : sentence.English) {
        if (c != u' ' && c != u'\u3000') {
            return true;
        }
    }
    return false;
}

} // namespace qurimo
