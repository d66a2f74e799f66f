// SPDX-License-Identifier: MIT
// qurimo-lib as a program, where the process matters: its exit status, where it lies, its
// standard input, a terminal, its working folder, its memory, another qurimo-lib at once.
#include "LibraryFile.h"
#include "Module1.h"
#include "TestSupport.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace qurimo::test;

namespace {

const std::string Tool = QURIMO_LIB_PATH;

class ProgramTest : public testing::Test {
protected:
    TempDir dir;
};

// Its arguments reach the commands, their status is the program's, and a library of the
// user's is none of the tool's business when it is given none.
TEST_F(ProgramTest, ExitStatusAndTheBundledLibrary) {
    const ProcessResult usage = runProgram({Tool});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_EQ(usage.err, "qurimo-lib: 缺少命令\n用法见 qurimo-lib --help\n");
    const ProcessResult version = runProgram({Tool, "--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("qurimo-lib ", 0), 0u) << version.out;

    // Without a library, search reads the one beside the program, as the window does.
    const std::string data = "XDG_DATA_HOME=" + dir.file("data");
    const ProcessResult found =
        runProgram({"env", data, Tool, "search", "look forward to hearing"});
    EXPECT_EQ(found.exitCode, 0) << found.err;
    EXPECT_EQ(found.out, "I look forward to hearing from you.\n期待您的回复。\n");
    const std::string bundled =
        std::filesystem::canonical(Tool).parent_path().string() + "/vorel.dat";
    EXPECT_EQ(runProgram({"env", data, Tool, "use"}).out,
              bundled + ": 程序所在文件夹中的词库：没有按用户设置的词库\n");
}

// OpenCC looks for the files its configuration names in the working directory first: files
// of those names there are not read.
TEST_F(ProgramTest, SimplifiedReadsOpenCCsOwnFiles) {
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
// Two compiles to one output at the same moment: the output is always one library whole,
// never a mix of the two, and no temporary file stays behind. The two are of one size, so
// that a compile after the other has no longer old file whose tail it would keep.
TEST_F(ProgramTest, TwoCompilesAtOnceLeaveOneWholeLibrary) {
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
TEST_F(ProgramTest, StandardInputThroughAPipe) {
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
// space, from a file and from a pipe: reading stops there. Within 80 MB it is error 7, as in
// the window. The times are printed, not judged.
TEST_F(ProgramTest, FloodOfLineEndsIsErrorNineWithinAGigabyte) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves far more address space than the limit";
#endif
    const std::string flood = dir.file("flood.txt");
    writeFile(flood, std::string(59'000'000, '\n'));
    const std::string nine = "运行时错误 9：下标越界\n文件: ";
    struct Run {
        std::string command;
        std::string reported;
    };
    for (const Run& run :
         {Run{"ulimit -v 1000000 && \"$0\" compile \"$1\" \"$2\"", nine + flood + "\n行: 603"},
          Run{"ulimit -v 1000000 && \"$0\" check \"$1\"", nine + flood + "\n行: 603"},
          Run{"ulimit -v 1000000 && cat \"$1\" | \"$0\" check -", nine + "标准输入\n行: 603"},
          Run{"ulimit -v 80000 && \"$0\" compile \"$1\" \"$2\"",
              "qurimo-lib: 运行时错误 "
              "7：内存不足\n操作没有完成，文件也没有改动。请关闭一些程序后再试。\n"}}) {
        const auto start = std::chrono::steady_clock::now();
        const ProcessResult result =
            runProgram({"/bin/sh", "-c", run.command, Tool, flood, dir.file("out.dat")});
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(result.exitCode, 1) << run.command;
        EXPECT_NE(result.err.find(run.reported), std::string::npos) << result.err;
        std::printf("%s: %.2f s\n", run.command.c_str(), took.count());
    }
    EXPECT_FALSE(exists(dir.file("out.dat")));
}

// A library's ESC reaches a terminal as the four characters \x1b, and anything else as it is;
// verify names such characters by their code and never writes them. The library's name holds
// one too, which no command may write either.
TEST_F(ProgramTest, ControlCharactersAreEscapedOnATerminal) {
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
