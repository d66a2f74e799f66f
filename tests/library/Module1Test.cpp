// SPDX-License-Identifier: MIT
#include "Module1.h"

#include "Codepage936.h"
#include "IcuError.h"
#include "RuntimeError.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

using namespace qurimo;
using namespace qurimo::test;

namespace {

std::u16string fromBytes(const std::string& bytes) {
    return Codepage936::instance().toUnicode(bytes);
}

std::string toBytes(const std::u16string& text) {
    return Codepage936::instance().fromUnicode(text);
}

// Printable ASCII, each character's code less 20.
std::u16string printable(int shift) {
    std::u16string all;
    for (int c = 0x20; c <= 0x7E; ++c) {
        all.push_back(static_cast<char16_t>(c - shift));
    }
    return all;
}

struct CodecCase {
    const char* name;
    std::u16string plain;
    std::u16string encoded;
    bool encodes = true; // false: only decoding gives plain

    friend void PrintTo(const CodecCase& c, std::ostream* os) { *os << c.name; }
};

class CodecExamples : public testing::TestWithParam<CodecCase> {};

TEST_P(CodecExamples, EncodeAndDecodeAreInverse) {
    const CodecCase& c = GetParam();
    if (c.encodes) {
        EXPECT_EQ(EncodeText(c.plain), c.encoded);
    }
    EXPECT_EQ(DecodeText(c.encoded), c.plain);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, CodecExamples,
    testing::Values(
        CodecCase{"Empty", u"", u""}, CodecCase{"Letters", u"abc", u"MNO"},
        CodecCase{"SpaceBecomesFormFeed", u" ", u"\f"},
        CodecCase{"ExclamationBecomesCarriageReturn", u"!", u"\r"},
        CodecCase{"PrintableAsciiOneCharacterEach", printable(0), printable(20)},
        // B0 A1 shifts to B0 8D
        CodecCase{"DoubleByteKeepsLeadByte", fromBytes("\xB0\xA1"), fromBytes("\xB0\x8D")},
        // A3 AC shifts to A3 98, a private-use character
        CodecCase{"FullWidthCommaToPrivateUse", u"，", fromBytes("\xA3\x98")},
        // B0 F0 + 20 is B1 04: the carry reaches the lead byte, and B1 followed by
        // 04 forms no character: the substitute and the control character 04.
        CodecCase{"DecodeCarriesIntoLeadByte", u"\uFFFD\x04", fromBytes("\xB0\xF0"), false}),
    RowName);

// Every character of GB 2312 (rows A1 to F7, columns A1 to FE) must survive the scramble and
// keep its lead byte, as the library file relies on it for every Chinese sentence.
TEST(Codec, EveryGb2312CharacterRoundTrips) {
    int checked = 0;
    for (int lead = 0xA1; lead <= 0xF7; ++lead) {
        for (int trail = 0xA1; trail <= 0xFE; ++trail) {
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            const std::u16string plain = fromBytes(bytes);
            if (plain.size() != 1 || plain[0] == 0xFFFD ||
                (plain[0] >= 0xE000 && plain[0] <= 0xF8FF)) {
                continue; // an empty cell of the GB 2312 table
            }
            const std::u16string encoded = EncodeText(plain);
            ASSERT_EQ(encoded.size(), 1u) << std::hex << lead << trail;
            const std::string expected{static_cast<char>(lead), static_cast<char>(trail - 20)};
            ASSERT_EQ(toBytes(encoded), expected) << std::hex << lead << trail;
            ASSERT_EQ(DecodeText(encoded), plain) << std::hex << lead << trail;
            ++checked;
        }
    }
    // 6,763 hanzi and 682 other symbols
    EXPECT_GE(checked, 7445);
}

TEST(Codec, CharactersBelowTwentyDoNotSurvive) {
    for (char16_t c : {u'\t', u'\n', u'\r', u'\x01'}) {
        const std::u16string one(1, c);
        EXPECT_NE(DecodeText(EncodeText(one)), one) << int(c);
    }
}

// Whole strings are converted in one go for speed; that must give exactly what converting
// each character on its own gives, also for codes that form no character or that would pair
// up with their neighbour.
TEST(Codec, RunsConvertAsSingleCharactersDo) {
    Codepage936& codepage = Codepage936::instance();
    std::mt19937 random(936);
    // B0 A1, B1 F0, A3 98 and 81 40 as the 16-bit codes they are
    const std::vector<int> awkward{0x20,
                                   0x0C,
                                   0x81,
                                   0x7F,
                                   0xFF,
                                   0x0123,
                                   -1,
                                   -20,
                                   0xB0A1 - 0x10000,
                                   0xB1F0 - 0x10000,
                                   0xA398 - 0x10000,
                                   0x8140 - 0x10000};
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::int16_t> codes;
        std::u16string units;
        for (int i = 0; i < 6; ++i) {
            codes.push_back(static_cast<std::int16_t>(
                random() % 2 ? awkward[random() % awkward.size()] : static_cast<int>(random())));
            units.push_back(static_cast<char16_t>(random() % 3 ? 0x4E00 + random() % 0x5000
                                                               : random() % 0x10000));
        }
        std::u16string oneByOne;
        std::vector<std::int16_t> unitCodes;
        for (std::size_t i = 0; i < codes.size(); ++i) {
            oneByOne += codepage.textOf({codes[i]});
            unitCodes.push_back(codepage.codesOf(units.substr(i, 1)).at(0));
        }
        ASSERT_EQ(codepage.textOf(codes), oneByOne) << "round " << round;
        ASSERT_EQ(codepage.codesOf(units), unitCodes) << "round " << round;
    }
}

TEST(Codec, SurrogatePairBecomesTwoQuestionMarks) {
    EXPECT_EQ(Codepage936::instance().codesOf(u"a😀b"),
              (std::vector<std::int16_t>{'a', '?', '?', 'b'}));
}

} // namespace

TEST(Codec, IcuFailureIsRuntimeErrorFiveInChinese) {
    requireIcu(U_USING_DEFAULT_WARNING, "按代码页 936 转换文本"); // a warning goes by
    try {
        requireIcu(U_MEMORY_ALLOCATION_ERROR, "按代码页 936 转换文本");
        FAIL() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), 5);
        EXPECT_STREQ(error.what(),
                     "运行时错误 5：无效的过程调用或参数\nICU 无法按代码页 936 转换文本"
                     "（U_MEMORY_ALLOCATION_ERROR）。请确认 ICU 库（Debian 的 "
                     "libicu 软件包）完好，然后再试。");
    }
}
