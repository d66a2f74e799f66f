// SPDX-License-Identifier: MIT
#include "SimplifiedChinese.h"

#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <unicode/translit.h>
#include <unicode/uniset.h>
#include <vector>

using namespace qurimo;

namespace {

// The conversion passes over what ICU's transliterator never changes, and gives what the
// transliterator gives over the whole text: here for random mixtures of what its rules
// replace (phrases among them), Latin letters, spaces and characters it leaves alone.
TEST(SimplifiedChineseTest, GivesWhatTheWholeTransliteratorGives) {
    UErrorCode error = U_ZERO_ERROR;
    const std::unique_ptr<icu::Transliterator> whole(
        icu::Transliterator::createInstance("Traditional-Simplified", UTRANS_FORWARD, error));
    ASSERT_TRUE(U_SUCCESS(error)) << u_errorName(error);
    // The pieces: what each rule replaces ("key > replacement;" a line), and single characters.
    std::vector<icu::UnicodeString> pieces{u"a", u" ", u"的", u"。", u"「", u"」"};
    icu::UnicodeString rules;
    whole->toRules(rules, false);
    for (int32_t start = 0; start < rules.length();) {
        const int32_t end = rules.indexOf(u'\n', start);
        const int32_t arrow = rules.indexOf(u" > ", start);
        if (arrow > start && (end < 0 || arrow < end)) {
            const icu::UnicodeString key(rules, start, arrow - start);
            pieces.push_back(key);
            pieces.emplace_back(key, 0, 1); // a copy: tempSubString would alias key
        }
        start = end < 0 ? rules.length() : end + 1;
    }
    ASSERT_GT(pieces.size(), 1000U);
    std::mt19937 random(3);
    for (int round = 0; round < 2000; ++round) {
        icu::UnicodeString text;
        for (int count = static_cast<int>(random() % 12); count > 0; --count) {
            text.append(pieces[random() % pieces.size()]);
        }
        const std::u16string plain(text.getBuffer(), static_cast<std::size_t>(text.length()));
        whole->transliterate(text);
        EXPECT_EQ(toSimplified(plain),
                  std::u16string(text.getBuffer(), static_cast<std::size_t>(text.length())));
    }
}

} // namespace
