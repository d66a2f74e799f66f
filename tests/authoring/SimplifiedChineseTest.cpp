// SPDX-License-Identifier: MIT
#include "SimplifiedChinese.h"

#include "Utf8.h"

#include <gtest/gtest.h>
#include <opencc/Config.hpp>
#include <opencc/Conversion.hpp>
#include <opencc/ConversionChain.hpp>
#include <opencc/Converter.hpp>
#include <opencc/Dict.hpp>
#include <opencc/Lexicon.hpp>
#include <opencc/SimpleConverter.hpp>
#include <random>
#include <string>
#include <vector>

using namespace qurimo;

namespace {

TEST(SimplifiedChineseTest, ConvertsByPhrase) {
    const struct {
        std::u16string traditional;
        std::u16string simplified;
    } rows[] = {
        {u"乾隆", u"乾隆"}, // a name: 乾 stays
        {u"頭髮", u"头发"}, // 髮 alone could be 发 or 髮
        {u"乾燥", u"干燥"}, // 乾 in a word of its own
        {u"這是乾隆的頭髮。", u"这是乾隆的头发。"},
        {u"儸", u"㑩"},               // beyond code page 936; the compiler keeps 儸
        {u"「好」 OK", u"「好」 OK"}, // quotes and Latin letters stay
    };
    for (const auto& row : rows) {
        EXPECT_EQ(toUtf8(toSimplified(row.traditional)), toUtf8(row.simplified));
    }
}

// The conversion gives what OpenCC's own converter gives, here for random mixtures of the
// keys of its t2s dictionaries, their first characters (phrases begun, not ended), Latin
// letters, spaces and characters it leaves alone.
TEST(SimplifiedChineseTest, GivesWhatOpenCCGives) {
    const opencc::SimpleConverter openCC("t2s.json");
    std::vector<std::string> pieces{
        "a", " ", "的", "。", "「", "」", "\xF0\xA0\x80\x80"}; // U+20000
    const opencc::ConverterPtr t2s = opencc::Config().NewFromFile("t2s.json");
    for (const auto& conversion : t2s->GetConversionChain()->GetConversions()) {
        const opencc::LexiconPtr lexicon = conversion->GetDict()->GetLexicon();
        for (const auto& entry : *lexicon) {
            const std::u16string key = fromUtf8(entry->Key());
            pieces.push_back(entry->Key());
            pieces.push_back(toUtf8(key.substr(0, (key[0] & 0xFC00) == 0xD800 ? 2 : 1)));
        }
    }
    ASSERT_GT(pieces.size(), 4000U);
    std::mt19937 random(3);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        for (int count = static_cast<int>(random() % 12); count > 0; --count) {
            text += pieces[random() % pieces.size()];
        }
        EXPECT_EQ(toUtf8(toSimplified(fromUtf8(text))), openCC.Convert(text)) << text;
    }
    std::string all;
    for (const std::string& piece : pieces) {
        all += piece;
    }
    EXPECT_EQ(toUtf8(toSimplified(fromUtf8(all))), openCC.Convert(all));
}

} // namespace
