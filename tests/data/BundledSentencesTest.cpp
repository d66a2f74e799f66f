// SPDX-License-Identifier: MIT
// The bundled sentences as a writer relies on them: the phrases they were chosen for are found
// by the window's search, and every pair of the authoring text keeps to the rules of its style.
#include "AuthoringFile.h"
#include "Codepage936.h"
#include "KeywordMatcher.h"
#include "LibraryDump.h"
#include "LibraryFile.h"
#include "LibrarySearch.h"
#include "TestSupport.h"
#include "Utf8.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <gtest/gtest.h>

using namespace qurimo;
using namespace qurimo::test;

namespace {

struct Pair {
    int slot;
    std::u16string english;
    std::u16string chinese;
};

std::vector<Pair> bundledPairs() {
    const std::string text = readFile(QURIMO_BUNDLED_TEXT);
    const std::vector<std::string_view> lines = splitLines(text);
    std::vector<Pair> pairs;
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
        pairs.push_back({static_cast<int>(i / 2), fromUtf8(lines[i]), fromUtf8(lines[i + 1])});
    }
    return pairs;
}

// The words of an English sentence in lower case, without the punctuation around them.
std::vector<std::u16string> wordsOf(const std::u16string& english) {
    std::vector<std::u16string> words(1);
    for (char16_t c : KeywordMatcher::fold(english)) {
        if (c == u' ') {
            words.emplace_back();
        } else if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'\'') {
            words.back() += c;
        }
    }
    std::erase(words, std::u16string());
    return words;
}

bool inCodepage936(const std::u16string& text) {
    Codepage936& codepage = Codepage936::instance();
    return codepage.toUnicode(codepage.fromUnicode(text)) == text;
}

bool hasDigit(const std::u16string& text) {
    return std::ranges::any_of(text, [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

// Spellings that give British English away; the sentences are American, and "email" is one
// word, as a user types it into the keyword box.
const std::u16string OtherSpellings[] = {
    u"colour",  u"favour",    u"behaviour", u"neighbour", u"centre",    u"theatre", u"organise",
    u"realise", u"apologise", u"travelled", u"cancelled", u"programme", u"licence", u"e-mail"};

struct PairRule {
    const char* name;
    std::function<bool(const Pair&)> holds;

    friend void PrintTo(const PairRule& rule, std::ostream* os) { *os << rule.name; }
};

class PairRules : public testing::TestWithParam<PairRule> {};

TEST_P(PairRules, HoldForEveryBundledPair) {
    const std::vector<Pair> pairs = bundledPairs();
    ASSERT_EQ(pairs.size(), static_cast<std::size_t>(SlotTable::SlotCount));
    for (const Pair& pair : pairs) {
        EXPECT_TRUE(GetParam().holds(pair)) << "slot " << pair.slot << ": " << toUtf8(pair.english)
                                            << " / " << toUtf8(pair.chinese);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Style, PairRules,
    testing::Values(
        PairRule{
            "CodePage936HoldsBothLines",
            [](const Pair& p) { return inCodepage936(p.english) && inCodepage936(p.chinese); }},
        // Chinese text takes the full-width marks: ，。？！；：
        PairRule{"NoAsciiPunctuationInTheChinese",
                 [](const Pair& p) {
                     return std::ranges::none_of(p.chinese, [](char16_t c) {
                         return c < 0x80 && std::ispunct(static_cast<unsigned char>(c));
                     });
                 }},
        PairRule{"AmericanSpelling",
                 [](const Pair& p) {
                     const std::u16string folded = KeywordMatcher::fold(p.english);
                     return std::ranges::none_of(OtherSpellings, [&](const std::u16string& word) {
                         return folded.find(word) != std::u16string::npos;
                     });
                 }},
        // Label1 shows a sentence of that length at one glance.
        PairRule{"FifteenWordsAtMost",
                 [](const Pair& p) { return wordsOf(p.english).size() <= 15; }},
        // A number is in digits in the Chinese exactly when the English writes it in digits.
        PairRule{"NumbersWrittenAsInTheEnglish",
                 [](const Pair& p) { return hasDigit(p.english) == hasDigit(p.chinese); }}),
    [](const testing::TestParamInfo<PairRule>& info) { return std::string(info.param.name); });

// A frame repeated with another ending ("We look forward to seeing you", "... to receiving your
// order") spends slots that another phrase could have: no two sentences share their first
// half, once that is three words or more.
TEST(BundledSentences, NoTwoDifferOnlyInTheirLastWords) {
    const std::vector<Pair> pairs = bundledPairs();
    std::vector<std::vector<std::u16string>> words;
    for (const Pair& pair : pairs) {
        words.push_back(wordsOf(pair.english));
    }
    for (std::size_t i = 0; i < words.size(); ++i) {
        for (std::size_t j = i + 1; j < words.size(); ++j) {
            const std::size_t shorter = std::min(words[i].size(), words[j].size());
            const std::size_t shared =
                std::mismatch(words[i].begin(), words[i].begin() + shorter, words[j].begin())
                    .first -
                words[i].begin();
            EXPECT_FALSE(shared >= 3 && 2 * shared >= shorter)
                << "slots " << i << " and " << j << ": " << toUtf8(pairs[i].english) << " / "
                << toUtf8(pairs[j].english);
        }
    }
}

// Each phrase the sentences were chosen for, in the form a writer types it (English or
// Chinese), finds at least one sentence through the search of the window and of qurimo-lib
// search; the keyword box's prompt finds none.
TEST(BundledSentences, EveryHeadPhraseIsFound) {
    const SlotTable library = readDecodedLibrary(QURIMO_BUNDLED_LIBRARY);
    const std::string list = readFile(QURIMO_HEAD_PHRASES);
    const std::vector<std::string_view> phrases = splitLines(list);
    ASSERT_FALSE(phrases.empty());
    for (std::string_view phrase : phrases) {
        const std::u16string keyword = fromUtf8(phrase);
        EXPECT_FALSE(FindSentences(library, {keyword}, sideOf(keyword)).empty()) << phrase;
    }
    EXPECT_TRUE(FindSentences(library, {u"请输入关键字"}, sideOf(u"请输入关键字")).empty());
}

} // namespace
