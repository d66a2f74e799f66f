// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace qurimo {

// Finds a keyword in English sentences without regard to letter case or character width, so
// that "Make", "make" and the full-width "ｍａｋｅ" a Chinese input method types all match;
// the typographic quotes of that input method count as the ASCII ones. An empty keyword occurs
// in every non-empty text, and nothing occurs in an empty text.
class KeywordMatcher {
public:
    explicit KeywordMatcher(const std::u16string& keyword);

    bool occursIn(const std::u16string& text) const;

    // The comparable form of text: quotes made plain, then NFKC case folding.
    static std::u16string fold(const std::u16string& text);

private:
    std::u16string folded_;
    // For each prefix of folded_, the length of its longest proper prefix that is also its
    // suffix (Knuth-Morris-Pratt): each text is then scanned once, never once per position,
    // so a keyword like a...ab over a text of a takes time in the text's length alone.
    std::vector<std::size_t> fallback_;
};

} // namespace qurimo
