// SPDX-License-Identifier: MIT
#include "EncodingDetection.h"

#include "AuthoringFile.h"
#include "Codepage936.h"
#include "TestSupport.h"
#include "Utf8.h"

#include <gtest/gtest.h>
#include <optional>

using namespace qurimo;
using namespace qurimo::test;

namespace {

// Short files whose bytes are text in either encoding. Saved in code page 936, each is read
// so; saved in UTF-8, as utf8 says where it says: a UTF-8 file whose Chinese holds fewer than
// three common characters may be taken for code page 936.
struct DetectionCase {
    const char* name;
    std::string text;
    AuthoringFormat format;
    std::optional<AuthoringEncoding> utf8;

    friend void PrintTo(const DetectionCase& c, std::ostream* os) { *os << c.name; }
};

class Detection : public testing::TestWithParam<DetectionCase> {};

TEST_P(Detection, ReadsTheFileInItsOwnEncoding) {
    const DetectionCase& c = GetParam();
    const std::string saved = Codepage936::instance().fromUnicode(fromUtf8(c.text));
    ASSERT_EQ(Codepage936::instance().toUnicode(saved), fromUtf8(c.text));
    const auto read = [&](const std::string& bytes) {
        return decodeAuthoring(bytes, AuthoringEncoding::Detect, c.format, "in.txt",
                               Audience::CommandLine)
            .encoding;
    };
    EXPECT_EQ(read(saved), AuthoringEncoding::Codepage936) << "saved in code page 936";
    if (c.utf8) {
        EXPECT_EQ(read(c.text), *c.utf8) << "saved in UTF-8";
    }
}

constexpr AuthoringFormat Lines = AuthoringFormat::Lines;
constexpr AuthoringFormat Tsv = AuthoringFormat::Tsv;
constexpr AuthoringEncoding Utf8 = AuthoringEncoding::Utf8;

INSTANTIATE_TEST_SUITE_P(
    Files, Detection,
    testing::Values(
        // in UTF-8 the code page 936 bytes of 小 are U+0421, of 路 U+00B7, of 茅 U+00E9
        DetectionCase{"Cyrillic", "Small.\n小\n", Lines, Utf8},
        DetectionCase{"MiddleDot", "Road.\n路\n", Lines, Utf8},
        DetectionCase{"Accented", "Thatch.\n茅\n", Lines, Utf8},
        DetectionCase{"TwoCharacters", "A\n小路\n", Lines, Utf8},
        // 鏈結 is E6 9C BD 59, in UTF-8 "朽Y": a common character glued to a letter
        DetectionCase{"CharacterGluedToLetter", "Link.\n鏈結\n", Lines, std::nullopt},
        DetectionCase{"EverydayTraditional", "Video.\n視訊\n", Lines, Utf8},
        DetectionCase{"EverydayTraditionalCommonCharacter", "Loop.\n迴圈\n", Lines, Utf8},
        // Cyrillic read as code page 936 is common Chinese characters, in the English text
        DetectionCase{"RussianInEnglish", "the Force. А что ты сделал\n一春长费买花钱\n", Lines,
                      Utf8},
        DetectionCase{"RussianInEnglishColumn",
                      "Thus I went and thus I go.\tdebug訊息\n"
                      "-- Dorothy Parker, \"Theory\"\tforce-election訊息\n"
                      "It hangs down from the chandelier О тощей женщине: худая\tping訊息\n",
                      Tsv, Utf8},
        DetectionCase{"RussianInEnglishColumnChineseFirst",
                      "鏈結\tLink.\n一春长费买花钱\tthe Force. А что ты сделал\n", Tsv, Utf8},
        // no Chinese in either reading but the é that code page 936 reads as 茅
        DetectionCase{"AccentedEnglishAlone", "Café.\n\n", Lines, Utf8},
        // two rare characters in UTF-8, three in code page 936: a tie
        DetectionCase{"TieIsCodepage936", "Signal.\n訊號\n", Lines,
                      AuthoringEncoding::Codepage936}),
    RowName);

} // namespace
