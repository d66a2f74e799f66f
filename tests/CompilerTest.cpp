// SPDX-License-Identifier: MIT
#include "Codepage936.h"
#include "LibraryCompiler.h"
#include "LibraryFile.h"
#include "Module1.h"
#include "RuntimeError.h"
#include "TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace qurimo;
using namespace qurimo::test;

namespace {

std::string word(unsigned value) {
    return std::string{static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

std::string pairs(int count, const std::string& terminator = "\r\n") {
    std::string text;
    for (int k = 0; k < count; ++k) {
        text += "Sentence " + std::to_string(k) + terminator + "\xBE\xE4" + terminator; // 句
    }
    return text;
}

class CompilerTest : public testing::Test {
protected:
    // Compiles bytes as the authoring file and returns the run-time error number, 0 if none.
    int compile(const std::string& bytes,
                AuthoringEncoding encoding = AuthoringEncoding::Codepage936) {
        writeFile(input, bytes);
        try {
            result = CompileLibrary(input, output, given, encoding);
        } catch (const RuntimeError& error) {
            lastError = error.report();
            errorLine = error.line();
            return error.number();
        }
        return 0;
    }

    TempDir dir;
    std::string input = dir.file("范句.txt");
    std::string output = dir.file("111.dat");
    SlotTable given;
    SlotTable result;
    std::string lastError;
    long errorLine = 0;
};

// ASCII, a GB 2312 character and full-width punctuation, written byte for byte as the format
// prescribes: every ASCII byte less 20, trail bytes less 20, lengths in bytes, little-endian.
TEST_F(CompilerTest, WritesExactBytes) {
    ASSERT_EQ(compile("abc\r\n\xB0\xA1\xA3\xAC\r\n"), 0);
    const std::string expected =
        word(0) + word(4) + "\xB0\x8D\xA3\x98" + word(3) + "MNO" + std::string(300 * 6, '\0');
    EXPECT_EQ(readFile(output), expected);
}

TEST_F(CompilerTest, ExactlyThreeHundredOnePairsFillEverySlot) {
    ASSERT_EQ(compile(pairs(301)), 0);
    SlotTable back;
    ReadLibraryFile(output, back);
    for (int k = 0; k < SlotTable::SlotCount; ++k) {
        const std::string n = "Sentence " + std::to_string(k);
        ASSERT_EQ(DecodeText(back.at(k).English), std::u16string(n.begin(), n.end()));
        ASSERT_EQ(DecodeText(back.at(k).Chinese), u"句");
    }
    EXPECT_EQ(back, result);
}

TEST_F(CompilerTest, EmptyFileWritesEmptyLibrary) {
    ASSERT_EQ(compile(""), 0);
    EXPECT_EQ(readFile(output), std::string(1806, '\0'));
}

struct LineEndCase {
    const char* name;
    std::string text;

    friend void PrintTo(const LineEndCase& c, std::ostream* os) { *os << c.name; }
};

class LineEnds : public CompilerTest, public testing::WithParamInterface<LineEndCase> {};

TEST_P(LineEnds, GiveTheSameLibrary) {
    ASSERT_EQ(compile("one\r\n\xD2\xBB\r\n\r\n two \r\n"), 0);
    const std::string reference = readFile(output);
    std::filesystem::remove(output);
    ASSERT_EQ(compile(GetParam().text), 0) << lastError;
    EXPECT_EQ(readFile(output), reference);
}

INSTANTIATE_TEST_SUITE_P(
    Files, LineEnds,
    testing::Values(LineEndCase{"CR", "one\r\xD2\xBB\r\r two \r"},
                    LineEndCase{"LF", "one\n\xD2\xBB\n\n two \n"},
                    LineEndCase{"Mixed", "one\r\xD2\xBB\n\r\n two \r\n"},
                    LineEndCase{"NoFinalTerminator", "one\n\xD2\xBB\n\n two "},
                    LineEndCase{"Utf8WithMark", "\xEF\xBB\xBFone\n\xE4\xB8\x80\n\n two \n"}),
    [](const testing::TestParamInfo<LineEndCase>& info) { return std::string(info.param.name); });

TEST_F(CompilerTest, SpacesAndEmptyLinesAreKept) {
    ASSERT_EQ(compile("  padded  \r\n\r\n\r\nonly Chinese\r\n"), 0);
    EXPECT_EQ(DecodeText(result.at(0).English), u"  padded  ");
    EXPECT_EQ(result.at(0).Chinese, u"");
    EXPECT_EQ(result.at(1).English, u"");
    EXPECT_EQ(DecodeText(result.at(1).Chinese), u"only Chinese");
}

struct BadInputCase {
    const char* name;
    std::string text;
    int error;
    long line;

    friend void PrintTo(const BadInputCase& c, std::ostream* os) { *os << c.name; }
};

class BadInput : public CompilerTest, public testing::WithParamInterface<BadInputCase> {};

TEST_P(BadInput, IsRefusedAndWritesNothing) {
    EXPECT_EQ(compile(GetParam().text), GetParam().error);
    EXPECT_EQ(errorLine, GetParam().line) << lastError;
    EXPECT_NE(lastError.find(input), std::string::npos) << lastError;
    EXPECT_FALSE(exists(output));
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadInput,
    testing::Values(BadInputCase{"OddLineCount", "one\r\n\xD2\xBB\r\ntwo\r\n", 62, 3},
                    BadInputCase{"SingleLine", "one", 62, 1},
                    BadInputCase{"FinalEmptyLineMakesItOdd", "one\n\xD2\xBB\n\n", 62, 3},
                    BadInputCase{"ThreeHundredTwoPairs", pairs(302), 9, 603},
                    BadInputCase{"TabInEnglish", "one\ttwo\r\n\xD2\xBB\r\n", 5, 1},
                    BadInputCase{"TabInLaterChinese", "a\r\nb\r\nc\r\n\xD2\xBB\t\r\n", 5, 4},
                    BadInputCase{"LoneLeadByte", "a\r\n\xD2\r\n", 5, 2},
                    BadInputCase{"LineTooLongForTheFormat",
                                 "a\r\n" + std::string(0x10002, '\xD2') + "\r\n", 6, 2}),
    [](const testing::TestParamInfo<BadInputCase>& info) { return std::string(info.param.name); });

struct UnsavableCase {
    const char* name;
    std::string text;
    AuthoringEncoding encoding;
    std::vector<std::string> named; // column, character, the encoding read, the other's option

    friend void PrintTo(const UnsavableCase& c, std::ostream* os) { *os << c.name; }
};

class Unsavable : public CompilerTest, public testing::WithParamInterface<UnsavableCase> {};

TEST_P(Unsavable, ErrorNamesColumnCharacterAndEncoding) {
    EXPECT_EQ(compile(GetParam().text, GetParam().encoding), 5);
    EXPECT_EQ(errorLine, 2) << lastError;
    for (const std::string& part : GetParam().named) {
        EXPECT_NE(lastError.find(part), std::string::npos) << part << " in " << lastError;
    }
    EXPECT_FALSE(exists(output));
}

INSTANTIATE_TEST_SUITE_P(
    Files, Unsavable,
    testing::Values(
        UnsavableCase{"TabInCodepage936File",
                      "one\r\n\xD2\xBB\t\r\n",
                      AuthoringEncoding::Detect,
                      {"第 2 列", "U+0009 (制表符)", "按代码页 936 (GBK) 读取", "--utf8", "--tsv"}},
        UnsavableCase{"TabInUtf8File",
                      "one\n\xE4\xB8\x80\t\n",
                      AuthoringEncoding::Detect,
                      {"第 2 列", "U+0009", "按 UTF-8 读取", "--gbk"}},
        // 一个 in code page 936 read as UTF-8, as asked: D2 BB is U+04BB, B8 F6 no character
        UnsavableCase{"Codepage936ForcedAsUtf8",
                      "one\r\n\xD2\xBB\xB8\xF6\r\n",
                      AuthoringEncoding::Utf8,
                      {"第 1 列", "U+04BB", "按 UTF-8 读取", "--gbk"}},
        // a character beyond the code page, named whole although it takes two UTF-16 units
        UnsavableCase{"CharacterBeyondTheCodePage",
                      "one\n\xE4\xB8\x80\xF0\x9F\x98\x80\n",
                      AuthoringEncoding::Detect,
                      {"第 2 列", "U+1F600 “\xF0\x9F\x98\x80”", "UTF-8"}}),
    [](const testing::TestParamInfo<UnsavableCase>& info) { return std::string(info.param.name); });

TEST_F(CompilerTest, MissingInputIsFileNotFound) {
    EXPECT_EQ(errorNumberOf([&] { CompileLibrary(dir.file("none.txt"), output, given); }), 53);
    EXPECT_FALSE(exists(output));
}

TEST_F(CompilerTest, OutputErrors) {
    writeFile(input, pairs(1));
    EXPECT_EQ(errorNumberOf([&] { CompileLibrary(input, dir.file("x/111.dat"), given); }), 76);
    std::filesystem::create_directory(output);
    EXPECT_EQ(errorNumberOf([&] { CompileLibrary(input, output, given); }), 75);
    EXPECT_TRUE(std::filesystem::is_empty(output));
}

TEST_F(CompilerTest, LongerExistingOutputKeepsItsTail) {
    writeFile(output, std::string(4000, 'T'));
    ASSERT_EQ(compile(pairs(2)), 0);
    const std::string bytes = readFile(output);
    const std::string written = serializeLibrary(result);
    ASSERT_EQ(bytes.size(), 4000u);
    EXPECT_EQ(bytes.substr(0, written.size()), written);
    EXPECT_EQ(bytes.substr(written.size()), std::string(4000 - written.size(), 'T'));
}

TEST_F(CompilerTest, CallersTableIsUntouchedAndOnlyReservedIsTaken) {
    for (int k = 0; k < SlotTable::SlotCount; ++k) {
        given.at(k) = Sentence{static_cast<std::int16_t>(k - 150), u"旧", u"old plain text"};
    }
    const SlotTable before = given;
    ASSERT_EQ(compile(pairs(2)), 0);
    EXPECT_EQ(given, before);
    EXPECT_EQ(result.at(1).Reserved, -149);
    EXPECT_EQ(result.at(2), (Sentence{-148, u"", u""}));
    EXPECT_EQ(result.at(300), (Sentence{150, u"", u""}));
    SlotTable back;
    ReadLibraryFile(output, back);
    EXPECT_EQ(back, result);
}

} // namespace
