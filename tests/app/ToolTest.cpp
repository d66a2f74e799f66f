// SPDX-License-Identifier: MIT
// qurimo-lib's commands run in the test's own process: what each writes, reports and exits with.
#include "LibraryFile.h"
#include "Module1.h"
#include "TestSupport.h"
#include "ToolRun.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

using namespace qurimo::test;

namespace {

std::string usage(const std::string& error) {
    return "qurimo-lib: " + error + "\n用法见 qurimo-lib --help\n";
}

std::string word(unsigned value) {
    return std::string{static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

class ToolTest : public testing::Test {
protected:
    TempDir dir;
};

struct CommandCase {
    const char* name;
    std::vector<std::string> args; // "@name" stands for the file name in the test's folder
    int status;
    std::string out;    // a part of standard output, or all of it when whole
    std::string err;    // likewise, "@" as in args; when empty, none at all
    bool whole = false; // out and err are the whole of what is written
};

void PrintTo(const CommandCase& c, std::ostream* os) {
    *os << c.name;
}

class ToolCommands : public ToolTest, public testing::WithParamInterface<CommandCase> {
protected:
    void SetUp() override {
        writeFile(dir.file("in.txt"), "Make it so.\n就这样办。\nI make tea.\n我泡茶。\n"
                                      "Nothing here.\n这里没有。\n");
        writeFile(dir.file("odd.txt"), "one\r\ntwo\r\nthree\r\n");
        writeFile(dir.file("tatoeba.tsv"),
                  "1\tThis is it.\t2\t這就是了。\n3\tKeep it.\t4\t留著吧。\n");
        writeFile(dir.file("reversed.tsv"), "就这样办。\tMake it so.\n我泡茶。\tI make tea.\n");
        writeFile(dir.file("close.txt"), "Version one.\n为V1\n"); // reads as 涓篤1 nearly as well
        writeFile(dir.file("long.txt"), "Make it so.\n\x81" + std::string(2 * 0xFFFF, '0'));
        writeFile(dir.file("anki.tsv"), "#separator:\x1b]0;PWNED\x07\x1b[2J\na\tb\n");
        writeFile(dir.file("tab.tsv"), "#separator:tab\n#html:false\n\"a\tb\"\t甲\n");
        writeFile(dir.file("empty.dat"), "");
        ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0666), 0);
        qurimo::SlotTable escape;
        escape.at(0) =
            qurimo::Sentence{0, qurimo::EncodeText(u"你好"), qurimo::EncodeText(u"\x1b[2J")};
        qurimo::WriteLibraryFile(dir.file("esc.dat"), escape);
        ASSERT_EQ(runTool({"compile", dir.file("in.txt"), dir.file("lib.dat")}).status, 0);
        // a library compiled without --simplified may hold traditional text
        writeFile(dir.file("trad.txt"),
                  "Qianlong's hair.\n乾隆的頭髮。\nDry hair.\n干燥的头发。\n");
        ASSERT_EQ(runTool({"compile", dir.file("trad.txt"), dir.file("trad.dat")}).status, 0);
        const std::string library = readFile(dir.file("lib.dat"));
        writeFile(dir.file("tail.dat"), library + "tail!");
        writeFile(dir.file("cut.dat"), library.substr(0, 30));
        std::mt19937 random(10);
        std::string noise(4000, '\0');
        for (char& c : noise) {
            c = static_cast<char>(random());
        }
        writeFile(dir.file("random.dat"), noise);
        // slot 1: Chinese FF FF is no character; English 00 decodes to the control U+0014
        writeFile(dir.file("bad.dat"), word(0) + word(0) + word(1) + "M" + word(0) + word(2) +
                                           "\xFF\xFF" + word(1) + std::string(1, '\0') +
                                           std::string(299 * 6, '\0'));
    }

    std::string named(std::string text) const {
        if (const std::size_t at = text.find('@'); at != std::string::npos) {
            text.replace(at, 1, dir.path().string() + "/");
        }
        return text;
    }
};

TEST_P(ToolCommands, PrintAndExit) {
    const CommandCase& c = GetParam();
    const auto before = std::distance(std::filesystem::directory_iterator(dir.path()), {});
    std::vector<std::string> args;
    for (const std::string& arg : c.args) {
        args.push_back(arg.starts_with("@") ? named(arg) : arg);
    }
    const ToolRun result = runTool(args);
    EXPECT_EQ(result.status, c.status) << result.out << result.err;
    if (c.whole) {
        EXPECT_EQ(result.out, c.out);
        EXPECT_EQ(result.err, named(c.err));
    } else {
        EXPECT_NE(result.out.find(c.out), std::string::npos) << result.out;
        EXPECT_NE(result.err.find(named(c.err)), std::string::npos) << result.err;
        EXPECT_TRUE(!c.err.empty() || result.err.empty()) << result.err;
    }
    for (const std::string raw : {"\x1b", "\x07", "\u202e"}) { // a report is always escaped
        EXPECT_EQ(result.err.find(raw), std::string::npos) << result.err;
    }
    const bool compiled = !c.args.empty() && c.args[0] == "compile" && c.status == 0;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}),
              before + (compiled ? 1 : 0))
        << "a file was written, or not the output";
}

const std::string Lib =
    "Make it so.\n就这样办。\nI make tea.\n我泡茶。\nNothing here.\n这里没有。\n";

INSTANTIATE_TEST_SUITE_P(
    Commands, ToolCommands,
    testing::Values(
        // the synopsis made of the table, the paths of the user's library from where it lies
        CommandCase{
            "Help",
            {"--help"},
            0,
            "  qurimo-lib use [库文件 | --bundled]\n"
            "      设定窗口读取的词库：像 verify 一样检查库文件，完好时把它原样复制为按用户设置的\n"
            "      词库 $XDG_DATA_HOME/qurimo/vorel.dat（默认 "
            "~/.local/share/qurimo/vorel.dat）并\n",
            ""},
        CommandCase{"NoArguments", {}, 2, "", usage("缺少命令"), true},
        CommandCase{"UnknownCommand", {"build", "a"}, 2, "", usage("没有 build 这个命令"), true},
        CommandCase{"UnknownCommandEscaped",
                    {"\x1b]0;PWNED\x07"},
                    2,
                    "",
                    usage("没有 \\x1b]0;PWNED\\x07 这个命令"),
                    true},
        CommandCase{"UnknownOption",
                    {"dump", "--latin1", "a"},
                    2,
                    "",
                    usage("dump 没有选项 --latin1"),
                    true},
        CommandCase{"OptionOfAnotherCommand",
                    {"verify", "--tsv", "a"},
                    2,
                    "",
                    usage("verify 没有选项 --tsv"),
                    true},
        CommandCase{"CompileOneFile",
                    {"compile", "a"},
                    2,
                    "",
                    usage("compile 需要输入文件和输出文件两个参数"),
                    true},
        CommandCase{
            "DumpTwoFiles", {"dump", "a", "b"}, 2, "", usage("dump 需要一个库文件参数"), true},
        CommandCase{"SearchWithoutKeyword",
                    {"search"},
                    2,
                    "",
                    usage("search 需要一个关键字，库文件可以不给"),
                    true},
        CommandCase{
            "UseTwoLibraries", {"use", "a", "b"}, 2, "", usage("use 最多带一个库文件参数"), true},
        CommandCase{"UseBundledAndALibrary",
                    {"use", "--bundled", "a"},
                    2,
                    "",
                    usage("use --bundled 不带库文件参数"),
                    true},
        CommandCase{"BothEncodings",
                    {"check", "--utf8", "--gbk", "a"},
                    2,
                    "",
                    usage("--utf8 和 --gbk 只能选一个"),
                    true},
        CommandCase{"DumpTsvInCodepage936",
                    {"dump", "--tsv", "--gbk", "a"},
                    2,
                    "",
                    usage("dump --tsv 总是输出 UTF-8，不能和 --gbk 一起用"),
                    true},
        CommandCase{"SearchInSlotOrder",
                    {"search", "make", "@lib.dat"},
                    0,
                    "Make it so.\n就这样办。\nI make tea.\n我泡茶。\n",
                    "",
                    true},
        CommandCase{"SearchFullWidthKeyword",
                    {"search", "ＭＡＫＥ", "@lib.dat"},
                    0,
                    "Make it so.\n就这样办。\nI make tea.\n我泡茶。\n",
                    "",
                    true},
        CommandCase{"SearchChinese",
                    {"search", "--chinese", "茶", "@lib.dat"},
                    0,
                    "I make tea.\n我泡茶。\n",
                    "",
                    true},
        CommandCase{"SearchChineseKeyword",
                    {"search", "茶", "@lib.dat"},
                    0,
                    "I make tea.\n我泡茶。\n",
                    "",
                    true},
        CommandCase{
            "SearchChineseKeywordFoundNowhere", {"search", "这里有", "@lib.dat"}, 1, "", "", true},
        CommandCase{"SearchTraditionalKeyword",
                    {"search", "這樣", "@lib.dat"},
                    0,
                    "Make it so.\n就这样办。\n",
                    "",
                    true},
        // the simplified form and, where different, the keyword as typed
        CommandCase{"SearchTraditionalKeywordAsTypedToo",
                    {"search", "頭髮", "@trad.dat"},
                    0,
                    "Qianlong's hair.\n乾隆的頭髮。\nDry hair.\n干燥的头发。\n",
                    "",
                    true},
        CommandCase{"SearchChineseDoesNotSearchEnglish",
                    {"search", "--chinese", "tea", "@lib.dat"},
                    1,
                    "",
                    "",
                    true},
        CommandCase{
            "SearchKeywordLikeAnOption", {"search", "--", "-x", "@lib.dat"}, 1, "", "", true},
        // The keyword is looked for in the text, not in the escapes a terminal is shown.
        CommandCase{"SearchDoesNotFindEscapes", {"search", "x1b", "@esc.dat"}, 1, "", "", true},
        CommandCase{"SearchMissingLibrary", {"search", "make", "@none.dat"}, 2, "", "文件未找到"},
        CommandCase{"CompileCloseCallIsNoted",
                    {"compile", "@close.txt", "@close.dat"},
                    0,
                    "",
                    "qurimo-lib: 注意: 按代码页 936 (GBK) 读取了 @close.txt；若是 UTF-8 "
                    "文件，请加 --utf8\n",
                    true},
        CommandCase{"CheckCloseCallIsNoted",
                    {"check", "@close.txt"},
                    0,
                    "close.txt: 1 对句子",
                    "读取了 @close.txt；若是 UTF-8 文件，请加 --utf8\n"},
        CommandCase{"CompileClearCallIsNot", {"compile", "@in.txt", "@in.dat"}, 0, "", "", true},
        CommandCase{"CompileOddLineCount",
                    {"compile", "@odd.txt", "@out.dat"},
                    1,
                    "",
                    "qurimo-lib: 运行时错误 62：输入超出文件尾\n文件: @odd.txt\n行: 3\n"},
        // one row of FileKinds (tests/authoring), through the tool
        CommandCase{"CompileFromPipe",
                    {"compile", "@pipe", "@out.dat"},
                    1,
                    "",
                    "运行时错误 75：路径/文件访问错误\n文件: @pipe\n这不是普通文件：是一个管道"},
        CommandCase{"CheckCountsAndNamesTheEncoding",
                    {"check", "@in.txt"},
                    0,
                    "in.txt: 3 对句子，按 UTF-8 读取\n",
                    ""},
        CommandCase{
            "CheckForcedEncoding", {"check", "--gbk", "@in.txt"}, 1, "", "按代码页 936 (GBK) 读取"},
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
        CommandCase{"CheckLineLongerThanAnyText",
                    {"check", "--simplified", "@long.txt"},
                    1,
                    "",
                    "行: 2\n这一行长 131071 字节，超过库文件允许的 65535 字节"},
        CommandCase{"DumpCutFileWritesWhatItCan",
                    {"dump", "--utf8", "@cut.dat"},
                    1,
                    "Make it so.\n就这样办。\n",
                    "库文件不完整：第 1 号槽的记录（从偏移 27 开始）被文件尾截断"},
        CommandCase{
            "DumpNotesBytesAfterTheLastRecord", {"dump", "--utf8", "@tail.dat"}, 0, Lib, "注意: "},
        CommandCase{"DumpMissingFile", {"dump", "@none.dat"}, 1, "", "文件未找到"},
        // What compiles back to the same library; dump then compile is a test of its own.
        CommandCase{"DumpUtf8WithLfByDefault", {"dump", "@lib.dat"}, 0, Lib, "", true},
        CommandCase{"DumpCodepage936WithCrLf",
                    {"dump", "--gbk", "@lib.dat"},
                    0,
                    "Make it so.\r\n\xBE\xCD\xD5\xE2\xD1\xF9\xB0\xEC\xA1\xA3\r\nI make tea.\r\n"
                    "\xCE\xD2\xC5\xDD\xB2\xE8\xA1\xA3\r\nNothing here.\r\n"
                    "\xD5\xE2\xC0\xEF\xC3\xBB\xD3\xD0\xA1\xA3\r\n",
                    "",
                    true},
        CommandCase{"VerifyWholeLibrary",
                    {"verify", "@lib.dat"},
                    0,
                    "库文件完整，301 条记录中 3 条有句子",
                    ""},
        CommandCase{"VerifyEmptyFile",
                    {"verify", "@empty.dat"},
                    0,
                    "empty.dat: 空的库文件 (0 字节)，窗口把它读作没有句子的库\n",
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

// A dump compiles back to the same bytes, its encoding detected: UTF-8 by default, code page
// 936, and tab-separated, also for texts Anki would misread unquoted (a leading quote, a leading
// #) and for a blank pair between filled ones.
TEST_F(ToolTest, DumpThenCompileIsByteExact) {
    const std::string text = "\"Quoted,\" he said.\n“引号”\n#1 rule\n第一条\n\n\n  spaced  \n\n";
    writeFile(dir.file("in.txt"), text);
    ASSERT_EQ(runTool({"compile", dir.file("in.txt"), dir.file("a.dat")}).status, 0);
    struct Form {
        std::string option; // of dump ("--" for none), and of compile for --tsv
        std::string dumped; // when given
    };
    for (const Form& form :
         {Form{"--tsv", "#separator:tab\n#html:false\n\"\"\"Quoted,\"\" he said.\"\t"
                        "“引号”\n\"#1 rule\"\t第一条\n\t\n  spaced  \t\n"},
          Form{"--", text}, Form{"--gbk", ""}}) {
        const ToolRun dumped = runTool({"dump", form.option, dir.file("a.dat")});
        ASSERT_EQ(dumped.status, 0) << dumped.err;
        if (!form.dumped.empty()) {
            EXPECT_EQ(dumped.out, form.dumped);
        }
        writeFile(dir.file("dump.txt"), dumped.out);
        std::filesystem::remove(dir.file("b.dat"));
        const ToolRun compiled = runTool({"compile", form.option == "--tsv" ? "--tsv" : "--",
                                          dir.file("dump.txt"), dir.file("b.dat")});
        ASSERT_EQ(compiled.status, 0) << compiled.err;
        EXPECT_EQ(compiled.err, "") << form.option;
        EXPECT_EQ(readFile(dir.file("b.dat")), readFile(dir.file("a.dat"))) << form.option;
    }
}

// check reads and checks exactly as compile does: the same error, word for word.
TEST_F(ToolTest, CheckGivesTheErrorCompileGives) {
    writeFile(dir.file("bad.txt"), "one\n\xD2\xBB\t\n");
    const ToolRun checked = runTool({"check", dir.file("bad.txt")});
    const ToolRun compiled = runTool({"compile", dir.file("bad.txt"), dir.file("out.dat")});
    EXPECT_EQ(checked.status, 1);
    EXPECT_EQ(checked.err, compiled.err);
    EXPECT_NE(checked.err.find("U+0009"), std::string::npos) << checked.err;
}

} // namespace
