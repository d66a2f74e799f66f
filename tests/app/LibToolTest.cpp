// SPDX-License-Identifier: MIT
#include "LibraryFile.h"
#include "Module1.h"
#include "TestSupport.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace qurimo::test;

namespace {

const std::string Tool = QURIMO_LIB_PATH;

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    int exitCode;
    std::string err = {}; // the whole of standard error, when given

    friend void PrintTo(const UsageCase& c, std::ostream* os) { *os << c.name; }
};

class ToolUsage : public testing::TestWithParam<UsageCase> {};

TEST_P(ToolUsage, ExitCode) {
    std::vector<std::string> argv{Tool};
    argv.insert(argv.end(), GetParam().args.begin(), GetParam().args.end());
    const ProcessResult result = runProgram(argv);
    EXPECT_EQ(result.exitCode, GetParam().exitCode) << result.err;
    if (GetParam().exitCode == 2) {
        EXPECT_NE(result.err.find("用法"), std::string::npos) << result.err;
    }
    if (!GetParam().err.empty()) {
        EXPECT_EQ(result.err, GetParam().err);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ToolUsage,
    testing::Values(
        UsageCase{"Help", {"--help"}, 0},
        UsageCase{"NoArguments", {}, 2, "qurimo-lib: 缺少命令\n用法见 qurimo-lib --help\n"},
        UsageCase{"UnknownCommand",
                  {"build", "a", "b"},
                  2,
                  "qurimo-lib: 没有 build 这个命令\n用法见 qurimo-lib --help\n"},
        UsageCase{"UnknownCommandEscaped",
                  {"\x1b]0;PWNED\x07"},
                  2,
                  "qurimo-lib: 没有 \\x1b]0;PWNED\\x07 这个命令\n用法见 qurimo-lib --help\n"},
        UsageCase{"UnknownOption",
                  {"dump", "--latin1", "a"},
                  2,
                  "qurimo-lib: dump 没有选项 --latin1\n用法见 qurimo-lib --help\n"},
        UsageCase{"CompileOneFile",
                  {"compile", "a"},
                  2,
                  "qurimo-lib: compile 需要输入文件和输出文件两个参数\n"
                  "用法见 qurimo-lib --help\n"},
        UsageCase{"DumpTsvInCodepage936", {"dump", "--tsv", "--gbk", "a"}, 2},
        UsageCase{"DumpTwoFiles", {"dump", "a", "b"}, 2},
        UsageCase{"BothEncodings", {"check", "--utf8", "--gbk", "a"}, 2},
        UsageCase{"OptionOfAnotherCommand", {"verify", "--tsv", "a"}, 2},
        UsageCase{"SearchWithoutKeyword", {"search"}, 2},
        UsageCase{"CheckTwoFiles", {"check", "a", "b"}, 2}),
    [](const testing::TestParamInfo<UsageCase>& info) { return std::string(info.param.name); });

class ToolTest : public testing::Test {
protected:
    TempDir dir;
};

TEST_F(ToolTest, ErrorsExitOneInChineseAndWriteNothing) {
    const std::string output = dir.file("out.dat");
    ProcessResult missing = runProgram({Tool, "compile", dir.file("none.txt"), output});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("文件未找到"), std::string::npos) << missing.err;

    writeFile(dir.file("odd.txt"), "one\r\ntwo\r\nthree\r\n");
    ProcessResult odd = runProgram({Tool, "compile", dir.file("odd.txt"), output});
    EXPECT_EQ(odd.exitCode, 1);
    EXPECT_NE(odd.err.find("输入超出文件尾"), std::string::npos) << odd.err;
    EXPECT_NE(odd.err.find("行: 3"), std::string::npos) << odd.err;
    EXPECT_FALSE(exists(output));

    ProcessResult dumpMissing = runProgram({Tool, "dump", dir.file("none.dat")});
    EXPECT_EQ(dumpMissing.exitCode, 1);
    EXPECT_FALSE(exists(dir.file("none.dat")));
}

// A dump compiles back to the same bytes, its encoding detected: UTF-8 by default, code page
// 936, and tab-separated, also for texts Anki would misread unquoted (a leading quote, a leading
// #) and for a blank pair between filled ones.
TEST_F(ToolTest, DumpThenCompileIsByteExact) {
    const std::string text = "\"Quoted,\" he said.\n“引号”\n#1 rule\n第一条\n\n\n  spaced  \n\n";
    writeFile(dir.file("in.txt"), text);
    ASSERT_EQ(runProgram({Tool, "compile", dir.file("in.txt"), dir.file("a.dat")}).exitCode, 0);
    struct Form {
        std::string option; // of dump ("--" for none), and of compile for --tsv
        std::string dumped; // when given
    };
    for (const Form& form :
         {Form{"--tsv", "#separator:tab\n#html:false\n\"\"\"Quoted,\"\" he said.\"\t"
                        "“引号”\n\"#1 rule\"\t第一条\n\t\n  spaced  \t\n"},
          Form{"--", text}, Form{"--gbk", ""}}) {
        const ProcessResult dumped = runProgram({Tool, "dump", form.option, dir.file("a.dat")});
        ASSERT_EQ(dumped.exitCode, 0) << dumped.err;
        if (!form.dumped.empty()) {
            EXPECT_EQ(dumped.out, form.dumped);
        }
        writeFile(dir.file("dump.txt"), dumped.out);
        std::filesystem::remove(dir.file("b.dat"));
        const ProcessResult compiled =
            runProgram({Tool, "compile", form.option == "--tsv" ? "--tsv" : "--",
                        dir.file("dump.txt"), dir.file("b.dat")});
        ASSERT_EQ(compiled.exitCode, 0) << compiled.err;
        EXPECT_EQ(compiled.err, "") << form.option;
        EXPECT_EQ(readFile(dir.file("b.dat")), readFile(dir.file("a.dat"))) << form.option;
    }
}

std::string word(unsigned value) {
    return std::string{static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

struct CommandCase {
    const char* name;
    std::vector<std::string> args; // "@name" stands for the file name in the test's folder
    int exitCode;
    std::string out; // expected on standard output; for verify and errors, a part of it
    std::string err; // a part of standard error, "@name" as in args; none at all when empty
};

void PrintTo(const CommandCase& c, std::ostream* os) {
    *os << c.name;
}

class ToolCommands : public ToolTest, public testing::WithParamInterface<CommandCase> {
protected:
    void SetUp() override {
        writeFile(dir.file("in.txt"), "Make it so.\n就这样办。\nI make tea.\n我泡茶。\n"
                                      "Nothing here.\n这里没有。\n");
        writeFile(dir.file("odd.txt"), "Make it so.\n就这样办。\nI make tea.\n");
        const std::u16string text = u"Make it so.\r\n就这样办。\r\nI make tea.\r\n我泡茶。\r\n";
        writeFile(dir.file("le.txt"), utf16(text, false));
        writeFile(dir.file("no-mark.txt"), utf16(text, false, false));
        writeFile(dir.file("tatoeba.tsv"),
                  "1\tThis is it.\t2\t這就是了。\n3\tKeep it.\t4\t留著吧。\n");
        writeFile(dir.file("reversed.tsv"), "就这样办。\tMake it so.\n我泡茶。\tI make tea.\n");
        writeFile(dir.file("close.txt"), "Version one.\n为V1\n"); // reads as 涓篤1 nearly as well
        std::filesystem::create_directory(dir.file("data"));      // no library of the user's
        writeFile(dir.file("long.txt"), "Make it so.\n\x81" + std::string(2 * 0xFFFF, '0'));
        writeFile(dir.file("anki.tsv"), "#separator:\x1b]0;PWNED\x07\x1b[2J\na\tb\n");
        writeFile(dir.file("tab.tsv"), "#separator:tab\n#html:false\n\"a\tb\"\t甲\n");
        qurimo::SlotTable escape;
        escape.at(0) =
            qurimo::Sentence{0, qurimo::EncodeText(u"你好"), qurimo::EncodeText(u"\x1b[2J")};
        qurimo::WriteLibraryFile(dir.file("esc.dat"), escape);
        ASSERT_EQ(runProgram({Tool, "compile", dir.file("in.txt"), dir.file("lib.dat")}).exitCode,
                  0);
        // a library compiled without --simplified may hold traditional text
        writeFile(dir.file("trad.txt"),
                  "Qianlong's hair.\n乾隆的頭髮。\nDry hair.\n干燥的头发。\n");
        ASSERT_EQ(
            runProgram({Tool, "compile", dir.file("trad.txt"), dir.file("trad.dat")}).exitCode, 0);
        const std::string library = readFile(dir.file("lib.dat"));
        writeFile(dir.file("tail.dat"), library + "tail!");
        writeFile(dir.file("cut.dat"), library.substr(0, 30));
        std::mt19937 random(10);
        std::string noise(4000, '\0');
        for (char& c : noise) {
            c = static_cast<char>(random());
        }
        writeFile(dir.file("random.dat"), noise);
        const std::string blank = std::string(6, '\0');
        std::string rest;
        for (int slot = 2; slot < 301; ++slot) {
            rest += blank;
        }
        // slot 1: Chinese FF FF is no character; English 00 decodes to the control U+0014
        writeFile(dir.file("bad.dat"), word(0) + word(0) + word(1) + "M" + word(0) + word(2) +
                                           "\xFF\xFF" + word(1) + std::string(1, '\0') + rest);
    }
};

TEST_P(ToolCommands, PrintAndExit) {
    const CommandCase& c = GetParam();
    const auto before = std::distance(std::filesystem::directory_iterator(dir.path()), {});
    std::vector<std::string> argv{"env", "XDG_DATA_HOME=" + dir.file("data"), Tool};
    for (const std::string& arg : c.args) {
        argv.push_back(arg.starts_with("@") ? dir.file(arg.substr(1)) : arg);
    }
    const ProcessResult result = runProgram(argv);
    std::string err = c.err;
    if (const std::size_t at = err.find('@'); at != std::string::npos) {
        err.replace(at, 1, dir.path().string() + "/");
    }
    EXPECT_EQ(result.exitCode, c.exitCode) << result.out << result.err;
    if (c.exitCode == 0 && (c.args[0] == "search" || c.args[0] == "dump")) {
        EXPECT_EQ(result.out, c.out);
    } else {
        EXPECT_NE(result.out.find(c.out), std::string::npos) << result.out;
    }
    if (err.empty()) {
        EXPECT_EQ(result.err, "");
    }
    EXPECT_NE(result.err.find(err), std::string::npos) << result.err;
    for (const std::string raw : {"\x1b", "\x07", "\u202e"}) { // a report is always escaped
        EXPECT_EQ(result.err.find(raw), std::string::npos) << result.err;
    }
    const bool compiled = c.args[0] == "compile" && c.exitCode == 0;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}),
              before + (compiled ? 1 : 0))
        << "a file was written, or not the output";
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ToolCommands,
    testing::Values(
        CommandCase{"SearchInSlotOrder",
                    {"search", "make", "@lib.dat"},
                    0,
                    "Make it so.\n就这样办。\nI make tea.\n我泡茶。\n",
                    ""},
        CommandCase{"SearchFullWidthKeyword",
                    {"search", "ＭＡＫＥ", "@lib.dat"},
                    0,
                    "Make it so.\n就这样办。\nI make tea.\n我泡茶。\n",
                    ""},
        CommandCase{"SearchChinese",
                    {"search", "--chinese", "茶", "@lib.dat"},
                    0,
                    "I make tea.\n我泡茶。\n",
                    ""},
        CommandCase{
            "SearchChineseKeyword", {"search", "茶", "@lib.dat"}, 0, "I make tea.\n我泡茶。\n", ""},
        CommandCase{
            "SearchChineseKeywordFoundNowhere", {"search", "这里有", "@lib.dat"}, 1, "", ""},
        CommandCase{"SearchTraditionalKeyword",
                    {"search", "這樣", "@lib.dat"},
                    0,
                    "Make it so.\n就这样办。\n",
                    ""},
        // the simplified form and, where different, the keyword as typed
        CommandCase{"SearchTraditionalKeywordAsTypedToo",
                    {"search", "頭髮", "@trad.dat"},
                    0,
                    "Qianlong's hair.\n乾隆的頭髮。\nDry hair.\n干燥的头发。\n",
                    ""},
        CommandCase{"SearchChineseDoesNotSearchEnglish",
                    {"search", "--chinese", "tea", "@lib.dat"},
                    1,
                    "",
                    ""},
        CommandCase{"SearchKeywordLikeAnOption", {"search", "--", "-x", "@lib.dat"}, 1, "", ""},
        // The keyword is looked for in the text, not in the escapes a terminal is shown.
        CommandCase{"SearchDoesNotFindEscapes", {"search", "x1b", "@esc.dat"}, 1, "", ""},
        CommandCase{"SearchMissingLibrary", {"search", "make", "@none.dat"}, 2, "", "文件未找到"},
        CommandCase{"SearchWindowsLibrary",
                    {"search", "look forward to hearing"},
                    0,
                    "I look forward to hearing from you.\n期待您的回复。\n",
                    ""},
        CommandCase{"CompileCloseCallIsNoted",
                    {"compile", "@close.txt", "@close.dat"},
                    0,
                    "",
                    "qurimo-lib: 注意: 按代码页 936 (GBK) 读取了 @close.txt；若是 UTF-8 "
                    "文件，请加 --utf8\n"},
        CommandCase{"CheckCloseCallIsNoted",
                    {"check", "@close.txt"},
                    0,
                    "close.txt: 1 对句子",
                    "读取了 @close.txt；若是 UTF-8 文件，请加 --utf8\n"},
        CommandCase{"CompileClearCallIsNot", {"compile", "@in.txt", "@in.dat"}, 0, "", ""},
        CommandCase{"CheckCountsAndNamesTheEncoding",
                    {"check", "@in.txt"},
                    0,
                    "in.txt: 3 对句子，按 UTF-8 读取",
                    ""},
        CommandCase{
            "CheckForcedEncoding", {"check", "--gbk", "@in.txt"}, 1, "", "按代码页 936 (GBK) 读取"},
        CommandCase{
            "CheckStandardInput", {"check", "-"}, 0, "标准输入: 0 对句子，按 UTF-8 读取", ""},
        CommandCase{
            "CheckUtf16Le", {"check", "@le.txt"}, 0, "le.txt: 2 对句子，按 UTF-16 LE 读取", ""},
        CommandCase{"CheckUtf16WithoutMark",
                    {"check", "@no-mark.txt"},
                    1,
                    "",
                    "没有字节序标记的 UTF-16 LE 文本。\n请用 iconv -f UTF-16LE -t UTF-8"},
        CommandCase{"CheckTraditionalNamesSimplified",
                    {"check", "--tsv", "@tatoeba.tsv"},
                    1,
                    "",
                    "简体字“这”可以保存：请用 qurimo-lib compile --simplified"},
        CommandCase{"CheckSimplified",
                    {"check", "--tsv", "--simplified", "@tatoeba.tsv"},
                    0,
                    "tatoeba.tsv: 2 对句子",
                    ""},
        CommandCase{"CheckChineseFirstIsNoted",
                    {"check", "--tsv", "@reversed.tsv"},
                    0,
                    "reversed.tsv: 2 对句子",
                    "reversed.tsv 的每一对句子都是中文在前，已按英文在前保存"},
        CommandCase{"CheckAnkiSeparatorEscaped",
                    {"check", "--tsv", "@anki.tsv"},
                    1,
                    "",
                    "分隔符是“\\x1b]0;PWNED\\x07\\x1b[2J”"},
        CommandCase{"CheckFileNameWithEscape", {"check", "@e\x1b[2J.txt"}, 1, "", "e\\x1b[2J.txt"},
        CommandCase{
            "CheckFileNameWithRtlOverride", {"check", "@r\u202e.txt"}, 1, "", "r\\u202e.txt"},
        CommandCase{"CheckTsvTabInQuotes",
                    {"check", "--tsv", "@tab.tsv"},
                    1,
                    "",
                    "句子的一部分，而句子中不能有制表符：请删去它"},
        CommandCase{"DumpCutFileWritesWhatItCan",
                    {"dump", "--utf8", "@cut.dat"},
                    1,
                    "Make it so.\n就这样办。\n",
                    "库文件不完整：第 1 号槽的记录（从偏移 27 开始）被文件尾截断"},
        CommandCase{"DumpNotesBytesAfterTheLastRecord",
                    {"dump", "--utf8", "@tail.dat"},
                    0,
                    "Make it so.\n就这样办。\nI make tea.\n我泡茶。\nNothing here.\n这里没有。\n",
                    "注意: "},
        // What compiles back to the same library; dump then compile is a property test of
        // its own.
        CommandCase{"DumpUtf8WithLfByDefault",
                    {"dump", "@lib.dat"},
                    0,
                    "Make it so.\n就这样办。\nI make tea.\n我泡茶。\nNothing here.\n这里没有。\n",
                    ""},
        CommandCase{"DumpCodepage936WithCrLf",
                    {"dump", "--gbk", "@lib.dat"},
                    0,
                    "Make it so.\r\n\xBE\xCD\xD5\xE2\xD1\xF9\xB0\xEC\xA1\xA3\r\nI make tea.\r\n"
                    "\xCE\xD2\xC5\xDD\xB2\xE8\xA1\xA3\r\nNothing here.\r\n"
                    "\xD5\xE2\xC0\xEF\xC3\xBB\xD3\xD0\xA1\xA3\r\n",
                    ""},
        CommandCase{
            "CheckGivesCompilesError", {"check", "@odd.txt"}, 1, "", "输入超出文件尾\n文件: "},
        CommandCase{"CheckLineLongerThanAnyText",
                    {"check", "--simplified", "@long.txt"},
                    1,
                    "",
                    "行: 2\n这一行长 131071 字节，超过库文件允许的 65535 字节"},
        CommandCase{"VerifyWholeLibrary",
                    {"verify", "@lib.dat"},
                    0,
                    "库文件完整，301 条记录中 3 条有句子",
                    ""},
        CommandCase{"VerifyNotesBytesAfterTheLastRecord",
                    {"verify", "@tail.dat"},
                    0,
                    "第 301 条记录之后还有 5 字节",
                    ""},
        CommandCase{"VerifyCutFile",
                    {"verify", "@cut.dat"},
                    1,
                    "第 1 号槽的记录（从偏移 27 开始）被文件尾截断：中文的长度字段在偏移 29 处",
                    ""},
        CommandCase{"VerifyRandomBytes", {"verify", "@random.dat"}, 1, "库文件不完整", ""},
        CommandCase{"VerifyUndecodableText",
                    {"verify", "@bad.dat"},
                    1,
                    "第 1 号槽的中文（偏移 11，2 字节）不能解码为代码页 936 的字符",
                    ""},
        CommandCase{"VerifyControlCharacter",
                    {"verify", "@bad.dat"},
                    1,
                    "第 1 号槽的英文（偏移 15，1 字节）解码后含有控制字符 U+0014",
                    ""}),
    [](const testing::TestParamInfo<CommandCase>& info) { return std::string(info.param.name); });

// OpenCC looks for the files its configuration names in the working directory first: files
// of those names there are not read.
TEST_F(ToolTest, SimplifiedReadsOpenCCsOwnFiles) {
    for (const char* name : {"t2s.json", "TSPhrases.ocd2", "TSCharacters.ocd2"}) {
        writeFile(dir.file(name), "{}\n");
    }
    writeFile(dir.file("in.tsv"), "1\tDry.\t2\t乾燥\n");
    const ProcessResult result = runProgram({"/bin/sh", "-c",
                                             "cd \"$1\" && \"$0\" compile --tsv --simplified "
                                             "in.tsv out.dat && \"$0\" dump --utf8 out.dat",
                                             Tool, dir.path().string()});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Dry.\n干燥\n");
}

// check reads and checks exactly as compile does: the same error, word for word.
TEST_F(ToolTest, CheckGivesTheErrorCompileGives) {
    writeFile(dir.file("bad.txt"), "one\n\xD2\xBB\t\n");
    const ProcessResult checked = runProgram({Tool, "check", dir.file("bad.txt")});
    const ProcessResult compiled =
        runProgram({Tool, "compile", dir.file("bad.txt"), dir.file("out.dat")});
    EXPECT_EQ(checked.exitCode, 1);
    EXPECT_EQ(checked.err, compiled.err);
    EXPECT_NE(checked.err.find("U+0009"), std::string::npos) << checked.err;
}

} // namespace

namespace {

// A pipe nothing writes to, given to either command, is refused at once (the test's time limit
// fails a hang), and so is an endless device.
TEST_F(ToolTest, PipesAndDevicesAreRefusedAtOnce) {
    const std::string pipe = dir.file("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0666), 0);
    writeFile(dir.file("in.txt"), "a\r\nb\r\n");
    const std::string output = dir.file("out.dat");
    struct Run {
        std::vector<std::string> argv;
        const char* reason;
    };
    for (const Run& run : {Run{{Tool, "compile", pipe, output}, "是一个管道"},
                           Run{{Tool, "dump", pipe}, "是一个管道"},
                           Run{{Tool, "compile", "/dev/zero", output}, "是一个字符设备"},
                           Run{{Tool, "dump", "/dev/zero"}, "是一个字符设备"},
                           Run{{Tool, "compile", dir.file("in.txt"), pipe}, "是一个管道"},
                           Run{{"/bin/bash", "-o", "pipefail", "-c",
                                Tool + " compile " + dir.file("in.txt") + " /dev/stdout | cat"},
                               "是一个管道"}}) {
        const ProcessResult result = runProgram(run.argv);
        EXPECT_EQ(result.exitCode, 1) << run.argv[1] << " " << run.argv[2];
        EXPECT_NE(result.err.find("75"), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(run.reason), std::string::npos) << result.err;
    }
    EXPECT_FALSE(exists(output));
}

// Two compiles to one output at the same moment: the output is always one library whole,
// never a mix of the two, and no temporary file stays behind. The two are of one size, so
// that a compile after the other has no longer old file whose tail it would keep.
TEST_F(ToolTest, TwoCompilesAtOnceLeaveOneWholeLibrary) {
    std::string first;
    std::string second;
    for (int k = 0; k < 301; ++k) {
        first += "First library, sentence " + std::to_string(k) + "\n一\n";
        second += "Other library, sentence " + std::to_string(k) + "\n二\n";
    }
    writeFile(dir.file("first.txt"), first);
    writeFile(dir.file("second.txt"), second);
    const std::string output = dir.file("out.dat");
    ASSERT_EQ(
        runProgram({Tool, "compile", "--utf8", dir.file("first.txt"), dir.file("a.dat")}).exitCode,
        0);
    ASSERT_EQ(
        runProgram({Tool, "compile", "--utf8", dir.file("second.txt"), dir.file("b.dat")}).exitCode,
        0);
    const std::string libraries[] = {readFile(dir.file("a.dat")), readFile(dir.file("b.dat"))};
    ASSERT_EQ(libraries[0].size(), libraries[1].size());
    ASSERT_NE(libraries[0], libraries[1]);

    int seen[2] = {0, 0};
    for (int round = 0; round < 50; ++round) {
        std::filesystem::remove(output);
        pid_t children[2];
        for (int i = 0; i < 2; ++i) {
            const std::string input = dir.file(i == 0 ? "first.txt" : "second.txt");
            children[i] = ::fork();
            if (children[i] == 0) {
                ::execl(Tool.c_str(), Tool.c_str(), "compile", "--utf8", input.c_str(),
                        output.c_str(), static_cast<char*>(nullptr));
                ::_exit(127);
            }
        }
        for (const pid_t child : children) {
            int status = 0;
            ::waitpid(child, &status, 0);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "round " << round;
        }
        const std::string result = readFile(output);
        const bool isFirst = result == libraries[0];
        ASSERT_TRUE(isFirst || result == libraries[1]) << "a mix in round " << round;
        ++seen[isFirst ? 0 : 1];
        ASSERT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 5)
            << "a temporary file stayed in round " << round;
    }
    std::printf("first won %d times, second %d times\n", seen[0], seen[1]);
}

// "-" reads standard input, here a real pipe from grep; an output that standard input was
// redirected from is refused as the input itself.
TEST_F(ToolTest, StandardInputThroughAPipe) {
    writeFile(dir.file("pairs.tsv"), "1\tI look forward to it.\t2\t我期待着。\n"
                                     "3\tGood night.\t4\t晚安。\n"
                                     "5\tWe LOOK FORWARD to seeing you.\t6\t我们盼望见到你。\n");
    writeFile(dir.file("picked.tsv"), "1\tI look forward to it.\t2\t我期待着。\n"
                                      "5\tWe LOOK FORWARD to seeing you.\t6\t我们盼望见到你。\n");
    const std::string grep = "grep -i \"look forward\" \"$1\" | head -n 301 | ";
    const ProcessResult compiled =
        runProgram({"/bin/sh", "-c", grep + "\"$0\" compile --tsv - \"$2\"", Tool,
                    dir.file("pairs.tsv"), dir.file("piped.dat")});
    ASSERT_EQ(compiled.exitCode, 0) << compiled.err;
    ASSERT_EQ(runProgram({Tool, "compile", "--tsv", dir.file("picked.tsv"), dir.file("file.dat")})
                  .exitCode,
              0);
    EXPECT_EQ(readFile(dir.file("piped.dat")), readFile(dir.file("file.dat")));

    const ProcessResult checked =
        runProgram({"/bin/sh", "-c", grep + "\"$0\" check --tsv -", Tool, dir.file("pairs.tsv")});
    EXPECT_EQ(checked.out, "标准输入: 2 对句子，按 UTF-8 读取\n") << checked.err;

    const ProcessResult itself = runProgram(
        {"/bin/sh", "-c", "\"$0\" compile --tsv - \"$1\" < \"$1\"", Tool, dir.file("picked.tsv")});
    EXPECT_EQ(itself.exitCode, 1);
    EXPECT_NE(itself.err.find("输出文件就是输入文件 标准输入"), std::string::npos) << itself.err;
    EXPECT_EQ(readFile(dir.file("picked.tsv")).substr(0, 2), "1\t");
}

// 59 MB of line ends, well under the size limit, is error 9 at line 603 within 1 GB of address
// space, from a file and from a pipe: reading stops there. The times are printed, not judged.
TEST_F(ToolTest, FloodOfLineEndsIsErrorNineWithinAGigabyte) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves far more address space than the limit";
#endif
    const std::string flood = dir.file("flood.txt");
    writeFile(flood, std::string(59'000'000, '\n'));
    for (const std::string command :
         {"\"$0\" compile \"$1\" \"$2\"", "\"$0\" check \"$1\"", "cat \"$1\" | \"$0\" check -"}) {
        const auto start = std::chrono::steady_clock::now();
        const ProcessResult result = runProgram(
            {"/bin/sh", "-c", "ulimit -v 1000000 && " + command, Tool, flood, dir.file("out.dat")});
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(result.exitCode, 1) << command;
        EXPECT_NE(result.err.find("运行时错误 9：下标越界"), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("行: 603"), std::string::npos) << result.err;
        std::printf("%s: %.2f s\n", command.c_str(), took.count());
    }
    EXPECT_FALSE(exists(dir.file("out.dat")));
}

// A library's ESC reaches a terminal as the four characters \x1b, and anything else as it is;
// verify names such characters by their code and never writes them. The library's name holds
// one too, which no command may write either.
TEST_F(ToolTest, ControlCharactersAreEscapedOnATerminal) {
    if (std::system("command -v script > /dev/null") != 0) {
        GTEST_SKIP() << "no script(1) to give the tool a terminal";
    }
    const std::string library = dir.file("lib\x1b[2J.dat");
    qurimo::SlotTable table;
    table.at(0) = qurimo::Sentence{0, qurimo::EncodeText(u"你好"),
                                   qurimo::EncodeText(u"make \x1b]0;PWNED\x1b\\ tea")};
    qurimo::WriteLibraryFile(library, table);
    for (const std::string command : {"search make", "dump --utf8", "dump --tsv", "verify"}) {
        const std::string line = "\"" + Tool + "\" " + command + " \"" + library + "\"";
        const ProcessResult piped = runProgram({"/bin/sh", "-c", line});
        const ProcessResult shown = runProgram({"script", "-qec", line, "/dev/null"});
        EXPECT_EQ(shown.out.find('\x1b'), std::string::npos) << command << ": " << shown.out;
        if (command != "verify") {
            EXPECT_NE(shown.out.find("make \\x1b]0;PWNED\\x1b\\ tea"), std::string::npos)
                << command << ": " << shown.out;
            EXPECT_NE(piped.out.find("make \x1b]0;PWNED\x1b\\ tea"), std::string::npos)
                << command << ": " << piped.out;
        } else {
            EXPECT_NE(shown.out.find("控制字符 U+001B"), std::string::npos) << shown.out;
        }
    }
    // What a pipe does not find in the text (SearchDoesNotFindEscapes), a terminal does not either.
    const std::string miss = "\"" + Tool + "\" search x1b \"" + library + "\"";
    EXPECT_EQ(runProgram({"script", "-qec", miss, "/dev/null"}).exitCode, 1);
}

} // namespace
