// SPDX-License-Identifier: MIT
#include "AuthoringFile.h"
#include "Codepage936.h"
#include "KeywordMatcher.h"
#include "LibraryCompiler.h"
#include "LibraryDump.h"
#include "LibraryFile.h"
#include "LibrarySearch.h"
#include "TestSupport.h"
#include "Utf8.h"

#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <unicode/ucnv.h>
#include <unicode/ustring.h>

using namespace qurimo;
using namespace qurimo::test;

namespace {

const std::string Library = QURIMO_BUNDLED_LIBRARY;
const std::string Text = QURIMO_BUNDLED_TEXT;

TEST(BundledLibrary, HoldsThreeHundredOneDistinctPairsInAnUnbrokenRun) {
    const SlotTable table = readDecodedLibrary(Library);
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

// The keywords a writer would try, in English or in Chinese, each find several sentences
// through the window's search: the common verbs many, a phrase a few of its uses rather than
// one frame repeated.
TEST(BundledLibrary, CommonKeywordsFindSeveralSentences) {
    const SlotTable table = readDecodedLibrary(Library);
    const std::pair<std::u16string, std::size_t> rows[] = {
        {u"make", 10},        {u"take", 10}, {u"get", 10},    {u"have", 10},
        {u"keep", 8},         {u"give", 8},  {u"however", 5}, {u"in order to", 3},
        {u"look forward", 3}, {u"期待", 3},  {u"建议", 3},
    };
    for (const auto& [keyword, least] : rows) {
        EXPECT_GE(FindSentences(table, {keyword}, sideOf(keyword)).size(), least)
            << toUtf8(keyword);
    }
}

TEST(BundledLibrary, DumpGivesBackTheText) {
    EXPECT_EQ(DumpLibrary(readDecodedLibrary(Library), AuthoringEncoding::Utf8), readFile(Text));
}

std::string asCodepage936(const std::string& utf8) {
    std::u16string text(utf8.size() + 1, u'\0');
    int32_t length = 0;
    UErrorCode error = U_ZERO_ERROR;
    u_strFromUTF8(reinterpret_cast<UChar*>(text.data()), static_cast<int32_t>(text.size()), &length,
                  utf8.data(), static_cast<int32_t>(utf8.size()), &error);
    text.resize(static_cast<std::size_t>(length));
    return Codepage936::instance().fromUnicode(text);
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
    const std::string saved = asCodepage936(c.text);
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
    [](const testing::TestParamInfo<DetectionCase>& info) { return std::string(info.param.name); });

} // namespace
