// SPDX-License-Identifier: MIT
// The bundled library and its sentences as a writer relies on them: the bytes the format
// gives, the phrases they were chosen for found by the window's search, and every pair of the
// authoring text keeping to the rules of its style.
#include "AuthoringFile.h"
#include "Codepage936.h"
#include "KeywordMatcher.h"
#include "LibraryCompiler.h"
#include "LibraryDump.h"
#include "LibraryFile.h"
#include "LibrarySearch.h"
#include "TestSupport.h"
#include "Utf8.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <gtest/gtest.h>
#include <unicode/ucnv.h>

using namespace qurimo;
using namespace qurimo::test;

namespace {

const std::string Library = QURIMO_BUNDLED_LIBRARY;
const std::string Text = QURIMO_BUNDLED_TEXT;

TEST(BundledLibrary, DumpGivesBackTheText) {
    EXPECT_EQ(DumpLibrary(readDecodedLibrary(Library), AuthoringEncoding::Utf8), readFile(Text));
}

std::string asCodepage936(const std::string& utf8) {
    return Codepage936::instance().fromUnicode(fromUtf8(utf8));
}

// The bytes of the library worked out from the text without the program's codec or scramble:
// ICU's code page 936 bytes, each character's code less 20 (a Chinese character's two bytes
// read high byte first), records of Reserved 0, the Chinese and the English, lengths in bytes,
// little endian. Compiling the text with itself would pass a fault shared by both sides.
TEST(BundledLibrary, BytesFollowTheFormatWorkedOutApart) {
    const auto scrambled = [](const std::string& utf8) {
        std::string bytes(utf8.size() * 2, '\0');
        UErrorCode error = U_ZERO_ERROR;
        bytes.resize(static_cast<std::size_t>(
            ucnv_convert("windows-936", "UTF-8", bytes.data(), static_cast<int32_t>(bytes.size()),
                         utf8.data(), static_cast<int32_t>(utf8.size()), &error)));
        EXPECT_TRUE(U_SUCCESS(error)) << utf8;
        std::string out;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const auto lead = static_cast<unsigned char>(bytes[i]);
            if (lead < 0x80) {
                out += static_cast<char>(lead - 20);
                continue;
            }
            const unsigned code = (lead << 8 | static_cast<unsigned char>(bytes[++i])) - 20;
            out += {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
        }
        return std::string{static_cast<char>(out.size() & 0xFF),
                           static_cast<char>(out.size() >> 8)} +
               out;
    };
    const std::string text = readFile(Text);
    const std::vector<std::string_view> lines = splitLines(text);
    ASSERT_EQ(lines.size(), 602u);
    std::string expected;
    for (std::size_t i = 0; i < lines.size(); i += 2) {
        expected += std::string(2, '\0') + scrambled(std::string(lines[i + 1])) +
                    scrambled(std::string(lines[i]));
    }
    EXPECT_EQ(readFile(Library), expected);
}

TEST(BundledLibrary, EveryEncodingCompilesToTheSameBytes) {
    const std::string utf8 = readFile(Text);
    TempDir dir;
    for (const auto& [name, bytes] :
         {std::pair{"code page 936", asCodepage936(utf8)}, std::pair{"UTF-8", utf8},
          std::pair{"UTF-8 with mark", "\xEF\xBB\xBF" + utf8}}) {
        writeFile(dir.file("in.txt"), bytes);
        std::filesystem::remove(dir.file("out.dat"));
        CompileLibrary(dir.file("in.txt"), dir.file("out.dat"), SlotTable{});
        EXPECT_EQ(readFile(dir.file("out.dat")), readFile(Library)) << name;
    }
}

// Each pair saved alone is read in the encoding it was saved in.
TEST(BundledLibrary, EachPairAloneIsReadInItsOwnEncoding) {
    const std::string text = readFile(Text);
    std::vector<std::string> pairs;
    std::vector<std::string_view> lines = splitLines(text);
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
        pairs.push_back(std::string(lines[i]) + "\n" + std::string(lines[i + 1]) + "\n");
    }
    ASSERT_EQ(pairs.size(), 301u);
    TempDir dir;
    const std::string input = dir.file("pair.txt");
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        writeFile(input, asCodepage936(pairs[k]));
        EXPECT_EQ(checkAuthoringFile(input).encoding, AuthoringEncoding::Codepage936)
            << "pair " << k << " saved as code page 936: " << pairs[k];
        writeFile(input, pairs[k]);
        EXPECT_EQ(checkAuthoringFile(input).encoding, AuthoringEncoding::Utf8)
            << "pair " << k << " saved as UTF-8: " << pairs[k];
    }
}

struct Pair {
    int slot;
    std::u16string english;
    std::u16string chinese;
};

std::vector<Pair> bundledPairs() {
    const std::string text = readFile(Text);
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
        // Both lines filled, in an unbroken run: the window lists no gaps.
        PairRule{"BothLinesFilled",
                 [](const Pair& p) {
                     return isFilled(Sentence{0, p.chinese, p.english}) && !p.chinese.empty();
                 }},
        PairRule{"EnglishInPrintableAscii",
                 [](const Pair& p) {
                     return std::ranges::all_of(p.english,
                                                [](char16_t c) { return c >= 0x20 && c <= 0x7E; });
                 }},
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
    RowName);

// A frame repeated with another ending ("We look forward to seeing you", "... to receiving your
// order") spends slots that another phrase could have: no two sentences share their first
// half, once that is three words or more, and none is there twice.
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
            EXPECT_FALSE((shared >= 3 && 2 * shared >= shorter) ||
                         KeywordMatcher::fold(pairs[i].english) ==
                             KeywordMatcher::fold(pairs[j].english))
                << "slots " << i << " and " << j << ": " << toUtf8(pairs[i].english) << " / "
                << toUtf8(pairs[j].english);
        }
    }
}

// Each phrase the sentences were chosen for, in the form a writer types it (English or
// Chinese), finds a sentence through the search of the window and of qurimo-lib search; the
// keywords a writer would try find several: the common verbs many, a phrase a few of its uses
// rather than one frame repeated. The keyword box's prompt finds none.
TEST(BundledSentences, KeywordsFindSentences) {
    const SlotTable library = readDecodedLibrary(Library);
    const std::string list = readFile(QURIMO_HEAD_PHRASES);
    std::vector<std::pair<std::u16string, std::size_t>> rows = {
        {u"make", 10},        {u"take", 10}, {u"get", 10},    {u"have", 10},
        {u"keep", 8},         {u"give", 8},  {u"however", 5}, {u"in order to", 3},
        {u"look forward", 3}, {u"期待", 3},  {u"建议", 3},    {u"请输入关键字", 0}};
    for (std::string_view phrase : splitLines(list)) {
        rows.emplace_back(fromUtf8(phrase), 1);
    }
    ASSERT_GT(rows.size(), 12u);
    for (const auto& [keyword, least] : rows) {
        const std::size_t found = FindSentences(library, {keyword}, sideOf(keyword)).size();
        EXPECT_TRUE(least == 0 ? found == 0 : found >= least) << toUtf8(keyword);
    }
}

} // namespace
