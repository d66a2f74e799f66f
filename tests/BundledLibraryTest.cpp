// SPDX-License-Identifier: MIT
#include "KeywordMatcher.h"
#include "LibraryDump.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <set>

using namespace qurimo;
using namespace qurimo::test;

namespace {

const std::string Library = QURIMO_BUNDLED_LIBRARY;
const std::string Text = QURIMO_BUNDLED_TEXT;

TEST(BundledLibrary, HoldsThreeHundredOneDistinctPairsInAnUnbrokenRun) {
    const SlotTable table = ReadDecodedLibrary(Library);
    std::set<std::u16string> english;
    for (int slot = 0; slot < SlotTable::SlotCount; ++slot) {
        const Sentence& sentence = table.at(slot);
        ASSERT_TRUE(isFilled(sentence)) << "slot " << slot;
        ASSERT_FALSE(sentence.Chinese.empty()) << "slot " << slot;
        EXPECT_TRUE(english.insert(KeywordMatcher::fold(sentence.English)).second)
            << "slot " << slot << " repeats an English sentence";
        for (char16_t c : sentence.English) {
            ASSERT_TRUE(c >= 0x20 && c <= 0x7E) << "slot " << slot << " has non-ASCII English";
        }
    }
}

// The keywords a writer would try each find several sentences.
TEST(BundledLibrary, CommonKeywordsFindSeveralSentences) {
    const SlotTable table = ReadDecodedLibrary(Library);
    for (const std::u16string keyword : {u"make", u"take", u"however", u"in order to",
                                         u"look forward", u"get", u"have", u"keep", u"give"}) {
        const KeywordMatcher matcher(keyword);
        int hits = 0;
        for (int slot = 0; slot < SlotTable::SlotCount; ++slot) {
            hits += matcher.occursIn(table.at(slot).English) ? 1 : 0;
        }
        EXPECT_GE(hits, 5) << std::string(keyword.begin(), keyword.end());
    }
}

TEST(BundledLibrary, DumpGivesBackTheText) {
    EXPECT_EQ(DumpLibrary(ReadDecodedLibrary(Library), AuthoringEncoding::Utf8), readFile(Text));
}

} // namespace
