// SPDX-License-Identifier: MIT
#include "KeywordMatcher.h"

#include <gtest/gtest.h>
#include <random>

using namespace qurimo;

namespace {

// The matcher finds a keyword exactly where a search from every position would: over texts
// of two letters, where a keyword starts again and again inside a false start.
TEST(KeywordMatcherTest, FindsWhatEveryPositionWouldFind) {
    std::mt19937 random(7);
    const auto text = [&random](std::size_t longest) {
        std::u16string made(random() % (longest + 1), u'a');
        for (char16_t& c : made) {
            c = random() % 3 == 0 ? u'b' : u'a';
        }
        return made;
    };
    for (int round = 0; round < 20000; ++round) {
        const std::u16string keyword = text(6);
        const std::u16string sentence = text(12);
        EXPECT_EQ(KeywordMatcher(keyword).occursIn(sentence),
                  !sentence.empty() && sentence.find(keyword) != std::u16string::npos)
            << "keyword " << keyword.size() << " units, text " << sentence.size();
    }
}

} // namespace

namespace {

// Letter case and width do not matter, and the quotes a Chinese input method types, opening or
// closing, match the ASCII ones both ways.
TEST(KeywordMatcherTest, CaseWidthAndQuotesDoNotMatter) {
    EXPECT_TRUE(KeywordMatcher(u"Make").occursIn(u"We MAKE progress."));
    EXPECT_TRUE(KeywordMatcher(u"ｍａｋｅ").occursIn(u"Make it so."));
    EXPECT_TRUE(KeywordMatcher(u"“make”").occursIn(u"Say \"make\" twice."));
    EXPECT_TRUE(KeywordMatcher(u"”make”").occursIn(u"Say \"make\" twice."));
    EXPECT_TRUE(KeywordMatcher(u"\"make\"").occursIn(u"Say “make” twice."));
    EXPECT_TRUE(KeywordMatcher(u"Don’t").occursIn(u"Don't"));
    EXPECT_FALSE(KeywordMatcher(u"“make”").occursIn(u"Say make twice."));
}

} // namespace
