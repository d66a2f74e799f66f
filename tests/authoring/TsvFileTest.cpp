// SPDX-License-Identifier: MIT
#include "TsvFile.h"

#include "CompileFixture.h"
#include "LibraryCompiler.h"
#include "RuntimeError.h"
#include "TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace qurimo;
using namespace qurimo::test;

namespace {

// The pairs every form below holds: a quote, a Chinese quote, an empty Chinese text.
const std::string Reference = "He said \"hi\".\n他说“嗨”。\nKeep in touch.\n\n";

class TsvTest : public CompileFixture {
protected:
    int compileTsv(const std::string& bytes, bool simplified = false) {
        return compileWith(bytes, {.format = AuthoringFormat::Tsv, .simplified = simplified});
    }
};

struct FormCase {
    const char* name;
    std::string text;
    bool swapped = false;              // Chinese first, as the export of the other language pair
    bool simplified = false;           // compiled with traditional characters made simplified
    std::string reference = Reference; // the same pairs as alternating lines
    AuthoringFormat format = AuthoringFormat::Tsv;

    friend void PrintTo(const FormCase& c, std::ostream* os) { *os << c.name; }
};

class TsvForms : public TsvTest, public testing::WithParamInterface<FormCase> {};

TEST_P(TsvForms, CompileToTheLibraryOfTheSamePairs) {
    writeFile(dir.file("lines.txt"), GetParam().reference);
    CompileLibrary(dir.file("lines.txt"), dir.file("reference.dat"), SlotTable{});
    ASSERT_EQ(compileWith(GetParam().text,
                          {.format = GetParam().format, .simplified = GetParam().simplified}),
              0)
        << lastError;
    EXPECT_EQ(readFile(output), readFile(dir.file("reference.dat")));
    EXPECT_EQ(compiled.check.swappedPairs, GetParam().swapped);
}

// Anki quotes a field that holds a quote and writes "" for each quote inside; Tatoeba's pairs
// are id TAB text TAB id TAB text.
INSTANTIATE_TEST_SUITE_P(
    Files, TsvForms,
    testing::Values(
        FormCase{"Plain", "He said \"hi\".\t他说“嗨”。\nKeep in touch.\t\n"},
        FormCase{"PlainCodepage936CrLf",
                 "He said \"hi\".\t\xCB\xFB\xCB\xB5\xA1\xB0\xE0\xCB\xA1\xB1\xA1\xA3\r\n"
                 "Keep in touch.\t\r\n"},
        FormCase{"AnkiNotesWithTags", "#separator:tab\n#html:false\n#tags column:3\n"
                                      "\"He said \"\"hi\"\".\"\t他说“嗨”。\tgreeting\n"
                                      "Keep in touch.\t\t\n"},
        // header keys in any case, as Anki reads them
        FormCase{"AnkiNotesWithGuidNotetypeAndDeck",
                 "#separator:Tab\n#HTML:false\n#GUID column:1\n#notetype column:2\n"
                 "#deck column:3\n#tags column:6\n"
                 "f]x1Q\tBasic\tEnglish\t\"He said \"\"hi\"\".\"\t他说“嗨”。\t\n"
                 "O8q;j\tBasic\tEnglish\tKeep in touch.\t\tlater\n"},
        FormCase{"TatoebaPairs", "1276\tHe said \"hi\".\t5091\t他说“嗨”。\n"
                                 "1277\tKeep in touch.\t5092\t\n"},
        // OpenCC keeps the corner quotes
        FormCase{"TatoebaTraditional",
                 "1276\tHe said \"hi\".\t5091\t他說「嗨」。\n1277\tKeep in touch.\t5092\t\n", false,
                 true, "He said \"hi\".\n他说「嗨」。\nKeep in touch.\n\n"},
        // by phrase: 乾 of a name stays, 乾 of 乾燥 becomes 干
        FormCase{"TatoebaTraditionalByPhrase",
                 "1276\tQianlong's hair is dry.\t5091\t乾隆的頭髮很乾燥。\n", false, true,
                 "Qianlong's hair is dry.\n乾隆的头发很干燥。\n"},
        // 儸 is stored as it is: its simplified form 㑩 is not in code page 936; the rest is
        // converted as it is beside it
        FormCase{"TatoebaTraditionalKeepsWhatOnlyItsOwnFormStores",
                 "1276\tHe said \"hi\".\t5091\t他說「嗨」儸乾隆。\n1277\tKeep in touch.\t5092\t\n",
                 false, true, "He said \"hi\".\n他说「嗨」儸乾隆。\nKeep in touch.\n\n"},
        // a line with Chinese on neither side follows the others
        FormCase{"PlainChineseFirst", "他说“嗨”。\tHe said \"hi\".\n\tKeep in touch.\n", true},
        FormCase{"TatoebaChineseFirst",
                 "5091\t他说“嗨”。\t1276\tHe said \"hi\".\n5092\t\t1277\tKeep in touch.\n", true},
        // no header Anki writes: pairs
        FormCase{"PlainPairsStartingWithHash", "#1 rule\t第一条\n#tag\t标签\n", false, false,
                 "#1 rule\n第一条\n#tag\n标签\n"},
        // alternating lines written Chinese first; and what the window reads as tab-separated
        FormCase{"LinesChineseFirst", "他说“嗨”。\nHe said \"hi\".\n\nKeep in touch.\n", true,
                 false, Reference, AuthoringFormat::Lines},
        FormCase{"DetectedAnkiExport",
                 "#separator:tab\n#html:false\n\"He said \"\"hi\"\".\"\t他说“嗨”。\n"
                 "Keep in touch.\t\n",
                 false, false, Reference, AuthoringFormat::Detect},
        FormCase{"DetectedTatoebaChineseFirst",
                 "5091\t他说“嗨”。\t1276\tHe said \"hi\".\n5092\t\t1277\tKeep in touch.\n", true,
                 false, Reference, AuthoringFormat::Detect},
        // a tab on some lines only: alternating lines, whose texts hold no tab
        FormCase{"DetectedLinesWithoutTabs", Reference, false, false, Reference,
                 AuthoringFormat::Detect}),
    RowName);

struct RefusalCase {
    const char* name;
    std::string text;
    int error;
    long line;
    std::vector<std::string> named;

    friend void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }
};

class TsvRefusals : public TsvTest, public testing::WithParamInterface<RefusalCase> {};

TEST_P(TsvRefusals, NameTheLineAndWriteNothing) {
    EXPECT_EQ(compileTsv(GetParam().text), GetParam().error);
    EXPECT_EQ(errorLine, GetParam().line) << lastError;
    for (const std::string& part : GetParam().named) {
        EXPECT_NE(lastError.find(part), std::string::npos) << part << " in " << lastError;
    }
    EXPECT_FALSE(exists(output));
}

std::string manyPairs(int count) {
    std::string text;
    for (int k = 0; k < count; ++k) {
        text += "Sentence " + std::to_string(k) + "\t句\n";
    }
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Files, TsvRefusals,
    testing::Values(
        RefusalCase{"AnkiHtmlFields",
                    "#separator:tab\n#html:true\n<b>a</b>\tb\n",
                    5,
                    2,
                    {"HTML", "Notes in Plain Text", "Include HTML and media references"}},
        RefusalCase{"AnkiCommaSeparated",
                    "#separator:Comma\na,b\n",
                    5,
                    1,
                    {"Comma", "不是制表符", "Notes in Plain Text"}},
        RefusalCase{"QuoteLeftOpen", "#separator:tab\n\"a\tb\n", 5, 2, {"引号"}},
        RefusalCase{"ThreeColumns", "a\tb\nc\td\te\n", 5, 2, {"有 3 列", "应有 2 列"}},
        RefusalCase{"OneColumn", "a\tb\n\nc\td\n", 5, 2, {"有 1 列"}},
        RefusalCase{"TwoColumnsInTatoebaFile", "1\ta\t2\tb\nc\td\n", 5, 2, {"应有 4 列"}},
        RefusalCase{
            "TatoebaLineWithoutNumber", "1\ta\t2\tb\n3\tc\tx\td\n", 5, 2, {"第 3 列不是编号"}},
        RefusalCase{"ThreeHundredTwoPairs", manyPairs(302), 9, 302, {"最多容纳 301 对"}},
        RefusalCase{"MixedOrders",
                    "OK\tOK\n中文\tChinese\nEnglish\t英文\n",
                    5,
                    3,
                    {"这一行的中文在第二列，而第 2 行的中文在第一列"}},
        RefusalCase{"UnsavableCharacterAfterTheTab",
                    "a\tb\nKeep\t保持\x01\n",
                    5,
                    2,
                    {"第 8 列", "U+0001 (控制字符)"}}),
    RowName);

TEST(TsvDump, RefusesATextThatWouldBreakTheLineNamingItsSlot) {
    for (const auto& [slot, sentence] :
         {std::pair{5, Sentence{0, u"中", u"a\tb"}}, std::pair{7, Sentence{0, u"一\n二", u"x"}},
          std::pair{300, Sentence{0, u"中\r", u"x"}}}) {
        SlotTable table;
        table.at(0) = Sentence{0, u"中", u"fine"};
        table.at(slot) = sentence;
        try {
            dumpTsv(table, "lib.dat");
            ADD_FAILURE() << "slot " << slot << " was written";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.number(), 5);
            EXPECT_NE(error.detail().find("第 " + std::to_string(slot) + " 号槽"),
                      std::string::npos)
                << error.detail();
        }
        std::string written; // a dump written as it goes writes nothing
        EXPECT_THROW(dumpTsv(table, "lib.dat", {[&](std::string_view piece) { written += piece; }}),
                     RuntimeError);
        EXPECT_EQ(written, "");
    }
}

} // namespace
