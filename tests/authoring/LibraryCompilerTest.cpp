// SPDX-License-Identifier: MIT
#include "LibraryCompiler.h"

#include "Codepage936.h"
#include "CompileFixture.h"
#include "HanScript.h"
#include "LibraryDump.h"
#include "LibraryFile.h"
#include "Module1.h"
#include "RuntimeError.h"
#include "TestSupport.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

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

class CompilerTest : public CompileFixture {
protected:
    int compile(const std::string& bytes,
                AuthoringEncoding encoding = AuthoringEncoding::Codepage936,
                Audience audience = Audience::Editor) {
        return compileWith(bytes, {.encoding = encoding, .audience = audience});
    }
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
    EXPECT_EQ(back, compiled.table);
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
                    LineEndCase{"Utf8WithMark", "\xEF\xBB\xBFone\n\xE4\xB8\x80\n\n two \n"},
                    // the mark wins over the code page 936 the test asks for
                    LineEndCase{"Utf16LeWithMark", utf16(u"one\r\n一\r\n\r\n two \r\n", false)},
                    LineEndCase{"Utf16BeWithMark", utf16(u"one\n一\n\n two ", true)}),
    RowName);

TEST_F(CompilerTest, SpacesAndEmptyLinesAreKept) {
    ASSERT_EQ(compile("  padded  \r\n\r\n\r\nonly Chinese\r\n"), 0);
    EXPECT_EQ(DecodeText(compiled.table.at(0).English), u"  padded  ");
    EXPECT_EQ(compiled.table.at(0).Chinese, u"");
    EXPECT_EQ(compiled.table.at(1).English, u"");
    EXPECT_EQ(DecodeText(compiled.table.at(1).Chinese), u"only Chinese");
}

struct BadInputCase {
    const char* name;
    std::string text;
    int error;
    long line;
    std::string named = {}; // in the error's detail

    friend void PrintTo(const BadInputCase& c, std::ostream* os) { *os << c.name; }
};

class BadInput : public CompilerTest, public testing::WithParamInterface<BadInputCase> {};

TEST_P(BadInput, IsRefusedAndWritesNothing) {
    EXPECT_EQ(compile(GetParam().text), GetParam().error);
    EXPECT_EQ(errorLine, GetParam().line) << lastError;
    EXPECT_NE(lastError.find(input), std::string::npos) << lastError;
    EXPECT_NE(lastError.find(GetParam().named), std::string::npos) << lastError;
    EXPECT_FALSE(exists(output));
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadInput,
    testing::Values(
        BadInputCase{"OddLineCount", "one\r\n\xD2\xBB\r\ntwo\r\n", 62, 3},
        BadInputCase{"SingleLine", "one", 62, 1},
        BadInputCase{"FinalEmptyLineMakesItOdd", "one\n\xD2\xBB\n\n", 62, 3},
        BadInputCase{"ThreeHundredTwoPairs", pairs(302), 9, 603, "分成几个文件"},
        // Reading stops before the 603rd line, which is not even decoded.
        BadInputCase{"NothingAfterLine602IsDecoded", pairs(301) + "\xD2\r\n", 9, 603},
        BadInputCase{"TabInEnglish", "one\ttwo\r\n\xD2\xBB\r\n", 5, 1},
        // 谢谢。 missing after line 3: every later pair reads Chinese first
        BadInputCase{"MissingTranslationSlipsThePairsAfterIt",
                     "See you.\n\xD4\xD9\xBC\xFB\xA1\xA3\nThank you.\nGood night.\n"
                     "\xCD\xED\xB0\xB2\xA1\xA3\nSorry.\n\xB6\xD4\xB2\xBB\xC6\xF0\xA1\xA3\nOK.\n",
                     5, 5, "而第 1 行起的一对是英文在前：在这两对之间可能少了一行译文"},
        BadInputCase{"TabInLaterChinese", "a\r\nb\r\nc\r\n\xD2\xBB\t\r\n", 5, 4},
        BadInputCase{"LoneLeadByte", "a\r\n\xD2\r\n", 5, 2},
        BadInputCase{"LineTooLongForTheFormat", "a\r\n" + std::string(0x10002, '\xD2') + "\r\n", 6,
                     2},
        // Longer than any text in any encoding: refused before its bytes 81 30 are decoded.
        BadInputCase{"LineLongerThanAnyTextIsNotDecoded",
                     "a\r\n\x81" + std::string(2 * 0xFFFF, '0') + "\r\n", 6, 2},
        BadInputCase{"Utf16LineLongerThanAnyText",
                     utf16(u"a\n" + std::u16string(0x10000, u'a') + u"\n", false), 6, 2,
                     "这一行长 131072 字节"}),
    RowName);

// What an error about a character or bytes names: where (line 2 unless said), what, the
// encoding the file was read in, and what to do: with qurimo-lib's options on the command
// line, in an editor for the window, which never names an option.
struct UnsavableCase {
    const char* name;
    std::string text;
    AuthoringEncoding encoding;
    std::vector<std::string> named;       // in either words
    std::vector<std::string> commandLine; // in qurimo-lib's words only
    std::vector<std::string> editor;      // in the window's words only
    long line = 2;

    friend void PrintTo(const UnsavableCase& c, std::ostream* os) { *os << c.name; }
};

class Unsavable : public CompilerTest, public testing::WithParamInterface<UnsavableCase> {};

TEST_P(Unsavable, ErrorSaysWhereWhatAndWhatToDo) {
    for (const Audience audience : {Audience::CommandLine, Audience::Editor}) {
        const bool editor = audience == Audience::Editor;
        EXPECT_EQ(compile(GetParam().text, GetParam().encoding, audience), 5);
        EXPECT_EQ(errorLine, GetParam().line) << lastError;
        std::vector<std::string> parts = GetParam().named;
        const auto& own = editor ? GetParam().editor : GetParam().commandLine;
        parts.insert(parts.end(), own.begin(), own.end());
        for (const std::string& part : parts) {
            EXPECT_NE(lastError.find(part), std::string::npos) << part << " in " << lastError;
        }
        if (editor) {
            EXPECT_EQ(lastError.find("qurimo-lib"), std::string::npos) << lastError;
        }
        EXPECT_EQ(lastError.find("\xEF\xBF\xBD"), std::string::npos) << "U+FFFD in " << lastError;
        EXPECT_FALSE(exists(output));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, Unsavable,
    testing::Values(
        UnsavableCase{"TabInCodepage936File",
                      "one\r\n\xD2\xBB\t\r\n",
                      AuthoringEncoding::Detect,
                      {"第 2 列", "U+0009 (制表符)"},
                      {"--tsv"},
                      {"有的行没有制表符"}},
        // 一个 in code page 936 read as UTF-8, as asked: D2 BB is U+04BB, B8 no character
        UnsavableCase{"Codepage936ForcedAsUtf8",
                      "one\r\n\xD2\xBB\xB8\xF6\r\n",
                      AuthoringEncoding::Utf8,
                      {"第 2 列：字节 B8 无法解码", "按 UTF-8 读取"},
                      {"--gbk"},
                      {"另存为 UTF-8"}},
        UnsavableCase{"NoCodepage936Pair",
                      "one\r\n\xD2\xBB\x81\x30\r\n",
                      AuthoringEncoding::Detect,
                      {"第 2 列：字节 81 30 无法解码", "按代码页 936 (GBK) 读取"},
                      {"--utf8"},
                      {"另存为 GBK"}},
        // 一 and U+1F600 as two surrogates, each written as UTF-8
        UnsavableCase{"Cesu8IsBrokenUtf8",
                      "one\n\xE4\xB8\x80\xED\xA0\xBD\xED\xB8\x80\n",
                      AuthoringEncoding::Detect,
                      {"第 2 列：字节 ED A0 BD 无法解码", "CESU-8"},
                      {"uconv -f CESU-8"},
                      {"另存为 UTF-8"}},
        UnsavableCase{"Utf16LoneSurrogate",
                      utf16(u"one\n一\xD83D\n", false),
                      AuthoringEncoding::Detect,
                      {"第 2 列：字节 3D D8 无法解码", "UTF-16 LE", "删去或换掉"},
                      {},
                      {}},
        UnsavableCase{"Utf16HalfAUnitAtTheEnd",
                      utf16(u"one\n一", false) + "A",
                      AuthoringEncoding::Detect,
                      {"第 2 列：字节 41 无法解码", "UTF-16 LE"},
                      {},
                      {}},
        UnsavableCase{"Utf16WithoutMark",
                      utf16(u"Keep in touch.\r\n保持联系。\r\n", false, false),
                      AuthoringEncoding::Detect,
                      {"没有字节序标记的 UTF-16 LE"},
                      {"iconv -f UTF-16LE -t UTF-8"},
                      {"另存为 UTF-8"},
                      0},
        UnsavableCase{"TraditionalCharacterNamesSimplified",
                      "one\n\xE8\xBF\x99\xE9\x80\x99\n", // 这這
                      AuthoringEncoding::Detect,
                      {"第 2 列", "U+9019 “這”", "简体字“这”"},
                      {"--simplified"},
                      {"换成“这”"}},
        // a character beyond the code page, named whole although it takes two UTF-16 units
        UnsavableCase{"CharacterBeyondTheCodePage",
                      "one\n\xE4\xB8\x80\xF0\x9F\x98\x80\n",
                      AuthoringEncoding::Detect,
                      {"第 2 列", "U+1F600 “\xF0\x9F\x98\x80”", "UTF-8"},
                      {"--gbk"},
                      {"删去或换掉"}},
        UnsavableCase{"RightToLeftOverride",
                      "one\nr\u202e\n",
                      AuthoringEncoding::Detect,
                      {"第 2 列", "U+202E (控制字符)", "删去它"},
                      {},
                      {}}),
    RowName);

// Every control character is refused where it stands, those the scramble would carry too
// (U+0014 to U+001F, DEL); CR and LF end lines.
TEST_F(CompilerTest, EveryControlCharacterIsRefusedWithItsColumn) {
    for (int c = 0; c <= 0x7F; c = c == 0x1F ? 0x7F : c + 1) {
        if (c == '\r' || c == '\n') {
            continue;
        }
        char code[8];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
        EXPECT_EQ(compile("ok\r\n\xD2\xBB" + std::string(1, static_cast<char>(c)) + "\r\n"), 5)
            << code;
        EXPECT_EQ(errorLine, 2) << code;
        EXPECT_NE(lastError.find(std::string("第 2 列的字符 ") + code), std::string::npos)
            << lastError;
    }
    EXPECT_FALSE(exists(output));
}

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

// A library compiled from a file others may not read is no more readable than that file, also
// where the umask or an old output would have made it so.
TEST_F(CompilerTest, OutputIsNeverMoreReadableThanItsInput) {
    struct Row {
        mode_t input;
        mode_t oldOutput; // 0: none
        mode_t expected;
    };
    const mode_t umask = ::umask(022);
    for (const Row row : {Row{0600, 0, 0600}, Row{0640, 0, 0640}, Row{0644, 0, 0644},
                          Row{0640, 0666, 0640}, Row{0644, 0600, 0600}, Row{0400, 0644, 0600}}) {
        std::filesystem::remove(output);
        if (row.oldOutput != 0) {
            writeFile(output, "old");
            ::chmod(output.c_str(), row.oldOutput);
        }
        writeFile(input, "Keep it.\n留着吧。\n");
        ::chmod(input.c_str(), row.input);
        CompileLibrary(input, output, given);
        struct stat info {};
        ::stat(output.c_str(), &info);
        EXPECT_EQ(info.st_mode & 07777, row.expected)
            << std::oct << row.input << " input, " << row.oldOutput << " old output";
        ::chmod(input.c_str(), 0600);
    }
    ::umask(umask);
}

TEST_F(CompilerTest, CallersTableIsUntouchedAndOnlyReservedIsTaken) {
    for (int k = 0; k < SlotTable::SlotCount; ++k) {
        given.at(k) = Sentence{static_cast<std::int16_t>(k - 150), u"旧", u"old plain text"};
    }
    const SlotTable before = given;
    ASSERT_EQ(compile(pairs(2)), 0);
    EXPECT_EQ(given, before);
    EXPECT_EQ(compiled.table.at(1).Reserved, -149);
    EXPECT_EQ(compiled.table.at(2), (Sentence{-148, u"", u""}));
    EXPECT_EQ(compiled.table.at(300), (Sentence{150, u"", u""}));
    SlotTable back;
    ReadLibraryFile(output, back);
    EXPECT_EQ(back, compiled.table);
}

} // namespace

namespace {

// Files that are not what they seem. Each kind is refused at once, with what it is, wherever
// it stands: as the window's library, as a library to dump, as the authoring file and as the
// output; a pipe that nothing writes to would otherwise hang every one of them.
struct KindCase {
    const char* name;
    const char* reason;
    std::function<std::string(const TempDir&)> make; // returns the path of the file
    bool output = true;                              // may serve as an output path

    friend void PrintTo(const KindCase& c, std::ostream* os) { *os << c.name; }
};

std::string makeFifo(const TempDir& dir) {
    const std::string path = dir.file("pipe");
    if (::mkfifo(path.c_str(), 0666) != 0) {
        throw std::runtime_error("mkfifo");
    }
    return path;
}

std::string makeSocket(const TempDir& dir) {
    const std::string path = dir.file("socket");
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        throw std::runtime_error("bind");
    }
    ::close(fd); // the name stays in the folder
    return path;
}

class FileKinds : public testing::TestWithParam<KindCase> {
protected:
    TempDir dir;
};

TEST_P(FileKinds, AreRefusedWithoutWaiting) {
    const std::string path = GetParam().make(dir);
    const std::string reason = GetParam().reason;
    const auto refusal = [&](const std::function<void()>& action) {
        try {
            action();
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.path(), path);
            return std::to_string(error.number()) + " " + error.detail();
        }
        return std::string("no error");
    };
    const std::string expected = "75 " + reason;
    SlotTable table;
    EXPECT_EQ(refusal([&] { ReadLibraryFile(path, table); }), expected) << "as the library";
    EXPECT_EQ(refusal([&] { readDecodedLibrary(path); }), expected) << "as a library to dump";
    const std::string output = dir.file("111.dat");
    EXPECT_EQ(refusal([&] { CompileLibrary(path, output, table); }), expected)
        << "as the authoring file";
    EXPECT_FALSE(exists(output));
    if (GetParam().output) {
        const std::string input = dir.file("范句.txt");
        writeFile(input, "a\r\nb\r\n");
        struct stat before {};
        ::stat(path.c_str(), &before);
        EXPECT_EQ(refusal([&] { CompileLibrary(input, path, table); }), expected) << "as output";
        struct stat after {};
        ::stat(path.c_str(), &after);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_ino, before.st_ino);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FileKinds,
    testing::Values(KindCase{"Fifo", "这不是普通文件：是一个管道", makeFifo},
                    KindCase{"LinkToFifo", "这不是普通文件：是一个管道",
                             [](const TempDir& dir) {
                                 makeFifo(dir);
                                 std::filesystem::create_symlink("pipe", dir.file("link"));
                                 return dir.file("link");
                             }},
                    KindCase{"CharacterDevice", "这不是普通文件：是一个字符设备",
                             [](const TempDir&) { return std::string("/dev/zero"); }, false},
                    KindCase{"LinkToDevFull", "这不是普通文件：是一个字符设备",
                             [](const TempDir& dir) {
                                 std::filesystem::create_symlink("/dev/full", dir.file("full"));
                                 return dir.file("full");
                             }},
                    KindCase{"Folder", "这不是普通文件：是一个文件夹",
                             [](const TempDir& dir) {
                                 std::filesystem::create_directory(dir.file("folder"));
                                 return dir.file("folder");
                             }},
                    KindCase{"Socket", "这不是普通文件：是一个套接字", makeSocket},
                    KindCase{"LinkLoop", "符号链接太多，或者链接成环",
                             [](const TempDir& dir) {
                                 std::filesystem::create_symlink("loop", dir.file("loop"));
                                 return dir.file("loop");
                             }}),
    RowName);

// An output that is the authoring file itself, by any name, would destroy it.
struct SameFileCase {
    const char* name;
    std::function<std::string(const TempDir&, const std::string&)> outputFor;

    friend void PrintTo(const SameFileCase& c, std::ostream* os) { *os << c.name; }
};

class SameFile : public CompilerTest, public testing::WithParamInterface<SameFileCase> {};

TEST_P(SameFile, IsRefusedAndTheInputKept) {
    const std::string authoring = pairs(3);
    writeFile(input, authoring);
    output = GetParam().outputFor(dir, input);
    const int number = errorNumberOf([&] { CompileLibrary(input, output, given); });
    EXPECT_EQ(number, 75);
    EXPECT_EQ(readFile(input), authoring);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}),
              GetParam().name == std::string("SamePath") ? 1 : 2);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SameFile,
    testing::Values(SameFileCase{"SamePath",
                                 [](const TempDir&, const std::string& in) { return in; }},
                    SameFileCase{"ThroughLink",
                                 [](const TempDir& dir, const std::string& in) {
                                     std::filesystem::create_symlink(in, dir.file("link.dat"));
                                     return dir.file("link.dat");
                                 }},
                    SameFileCase{"HardLink",
                                 [](const TempDir& dir, const std::string& in) {
                                     std::filesystem::create_hard_link(in, dir.file("hard.dat"));
                                     return dir.file("hard.dat");
                                 }},
                    SameFileCase{"OtherSpelling",
                                 [](const TempDir& dir, const std::string&) {
                                     std::filesystem::create_directory(dir.file("sub"));
                                     return dir.file("sub/../范句.txt");
                                 }}),
    RowName);

TEST_F(CompilerTest, AuthoringFileLongerThanAnyIsRefusedUnread) {
    writeFile(input, "");
    std::filesystem::resize_file(input, 80'000'000); // sparse: nothing to read but its size
    try {
        CompileLibrary(input, output, given);
        ADD_FAILURE() << "compiled";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), 75);
        EXPECT_NE(error.detail().find("80000000"), std::string::npos) << error.what();
    }
    EXPECT_FALSE(exists(output));
}

} // namespace

namespace {

// Dumping a library and compiling the dump gives the library back byte for byte, for every
// library whose Reserved fields are 0 and whose texts the dump's encoding carries: blank
// English lines, gaps between pairs and texts that begin like a byte-order mark included.
class DumpThenCompile : public testing::TestWithParam<AuthoringEncoding> {
protected:
    // Writes plain (encoded here), dumps it and compiles the dump; returns both libraries.
    std::pair<std::string, std::string> roundTrip(const SlotTable& plain) {
        SlotTable encoded;
        for (int k = 0; k < SlotTable::SlotCount; ++k) {
            encoded.at(k).English = EncodeText(plain.at(k).English);
            encoded.at(k).Chinese = EncodeText(plain.at(k).Chinese);
        }
        std::filesystem::remove(dir.file("a.dat")); // a longer old file would keep its tail
        WriteLibraryFile(dir.file("a.dat"), encoded);
        writeFile(dir.file("dump.txt"),
                  DumpLibrary(readDecodedLibrary(dir.file("a.dat")), GetParam()));
        std::filesystem::remove(dir.file("b.dat"));
        CompileLibrary(dir.file("dump.txt"), dir.file("b.dat"), SlotTable{},
                       {.encoding = GetParam()});
        return {readFile(dir.file("a.dat")), readFile(dir.file("b.dat"))};
    }

    TempDir dir;
};

// Printable ASCII, the ideographic space and every GB 2312 character of rows 16 to 55 that
// the scramble carries.
const std::u16string& alphabet() {
    static const std::u16string letters = [] {
        std::u16string all;
        for (char16_t c = 0x20; c < 0x7F; ++c) {
            all += c;
        }
        all += u"\u3000，。！？";
        for (int lead = 0xB0; lead <= 0xD7; ++lead) {
            for (int trail = 0xA1; trail <= 0xFE; ++trail) {
                const std::u16string one = Codepage936::instance().toUnicode(
                    std::string{static_cast<char>(lead), static_cast<char>(trail)});
                if (one.size() == 1 && DecodeText(EncodeText(one)) == one) {
                    all += one;
                }
            }
        }
        return all;
    }();
    return letters;
}

TEST_P(DumpThenCompile, GivesBackTheSameBytes) {
    struct Example {
        const char* name;
        std::vector<std::pair<std::u16string, std::u16string>> slots; // English, Chinese
    };
    const std::vector<Example> examples{
        {"Empty", {}},
        {"BlankEnglishPair", {{u"", u"2"}}},
        {"SpacesOnlyEnglishBetweenPairs", {{u"one", u"一"}, {u"   ", u"空"}, {u"three", u"三"}}},
        {"GapBeforeLastPair", {{u"one", u"一"}, {u"", u""}, {u"", u""}, {u"four", u""}}},
        {"StartsLikeByteOrderMark", {{u"锘俊 abc", u"x 中"}}},
    };
    for (const Example& example : examples) {
        SlotTable plain;
        for (std::size_t k = 0; k < example.slots.size(); ++k) {
            plain.at(static_cast<int>(k)).English = example.slots[k].first;
            plain.at(static_cast<int>(k)).Chinese = example.slots[k].second;
        }
        const auto [library, again] = roundTrip(plain);
        EXPECT_TRUE(library == again) << example.name;
    }

    const std::u16string& letters = alphabet();
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 rng(seed);
        const auto text = [&](std::size_t maxLength) {
            std::u16string t(rng() % (maxLength + 1), u' ');
            for (char16_t& c : t) {
                c = letters[rng() % letters.size()];
            }
            return t;
        };
        SlotTable plain;
        const int last = static_cast<int>(rng() % SlotTable::SlotCount);
        for (int k = 0; k <= last; ++k) {
            switch (rng() % 5) {
            case 0: // an empty slot
                break;
            case 1:
                plain.at(k).English = std::u16string(rng() % 4, u' ');
                plain.at(k).Chinese = text(12);
                break;
            default:
                plain.at(k).English = text(40);
                // A translation holds Chinese: a pair whose English holds some and whose
                // translation none reads as the other language pair, stored the other way round.
                plain.at(k).Chinese = text(20);
                if (!plain.at(k).Chinese.empty() && !holdsHan(plain.at(k).Chinese)) {
                    plain.at(k).Chinese += u'中';
                }
            }
        }
        const auto [library, again] = roundTrip(plain);
        ASSERT_TRUE(library == again) << "seed " << seed;
    }
}

INSTANTIATE_TEST_SUITE_P(Encodings, DumpThenCompile,
                         testing::Values(AuthoringEncoding::Codepage936, AuthoringEncoding::Utf8),
                         [](const testing::TestParamInfo<AuthoringEncoding>& info) {
                             return std::string(
                                 info.param == AuthoringEncoding::Utf8 ? "Utf8" : "Codepage936");
                         });

} // namespace
